// Forms built from stored descriptions.
#include "form.h"

#include "application.h"
#include "look.h"
#include "picturebox.h"
#include "placement.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QApplication>
#include <QScreen>
#include <QWindow>

#include <algorithm>

namespace Runtime {

namespace {

QList<QPointer<Form>> &shownForms()
{
    static QList<QPointer<Form>> forms;
    return forms;
}

QString keyOf(const QString &name, int index)
{
    return index < 0 ? name : QStringLiteral("%1(%2)").arg(name).arg(index);
}

QRect pixelRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                 twipsToPixels(height));
}

void applyColours(QWidget *w, const ControlDescription &d)
{
    if (d.back.source != Colour::Source::Default) {
        QPalette p = w->palette();
        // A text box's back colour is its field; any other control's is its surface, which
        // the controls it contains keep their own fields on.
        p.setColor(d.kind == Kind::TextBox ? QPalette::Base : QPalette::Window, Look::colour(d.back));
        w->setPalette(p);
        w->setAutoFillBackground(d.kind != Kind::TextBox);
    }
    if (d.fore.source != Colour::Source::Default) {
        QPalette p = w->palette();
        const QColor c = Look::colour(d.fore);
        p.setColor(QPalette::WindowText, c);
        p.setColor(QPalette::Text, c);
        p.setColor(QPalette::ButtonText, c);
        w->setPalette(p);
    }
}

} // namespace

Form::Form(const FormDescription &description, const PictureSource &pictures, QWidget *parent)
    : QWidget(parent, parent ? Qt::Dialog : Qt::Window), m_name(QString::fromUtf8(description.name))
    , m_stored(twipsToPixels(description.left), twipsToPixels(description.top))
{
    setObjectName(m_name);
    setWindowTitle(QString::fromUtf8(description.caption));
    // The stored placement and size are the client area's, so geometry, not move().
    const QRect client = pixelRect(description.left, description.top, description.width,
                                   description.height);
    setGeometry(client);
    setFixedSize(client.size());
    setAttribute(Qt::WA_QuitOnClose, parent == nullptr);

    for (const ControlDescription &d : description.controls) {
        QWidget *container = this;
        if (d.container) {
            container = control(QString::fromUtf8(d.container));
        }
        QWidget *w = create(d, container, pictures);
        const QString key = keyOf(QString::fromUtf8(d.name), d.index);
        w->setObjectName(key);
        m_byKey.insert(key, w);
        m_controls.append({w, &d});
    }
    applyStacking();
    applyTabOrder();
}

Form::~Form()
{
    shownForms().removeAll(this);
}

QWidget *Form::create(const ControlDescription &d, QWidget *container, const PictureSource &pictures)
{
    QWidget *w = nullptr;
    const QString text = d.text ? QString::fromUtf8(d.text) : QString();
    switch (d.kind) {
    case Kind::PictureBox: {
        auto *box = new PictureBox(container);
        box->setBorder(d.border);
        if (d.picture) {
            if (!pictures)
                throw RuntimeError(Err::InvalidPicture,
                                   QStringLiteral("No pictures for %1").arg(QString::fromUtf8(d.name)));
            box->setPicture(pictures(d.picture));
        }
        w = box;
        break;
    }
    case Kind::TextBox: {
        auto *edit = new QLineEdit(text, container);
        edit->setCursorPosition(0);
        w = edit;
        break;
    }
    case Kind::Label: {
        auto *label = new QLabel(text, container);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
        w = label;
        break;
    }
    case Kind::Frame:
        w = new QGroupBox(text, container);
        break;
    case Kind::CommandButton: {
        auto *button = new QPushButton(text, container);
        button->setAutoDefault(false);
        w = button;
        break;
    }
    case Kind::CheckBox: {
        auto *box = new QCheckBox(text, container);
        box->setChecked(d.value);
        w = box;
        break;
    }
    case Kind::OptionButton: {
        auto *option = new QRadioButton(text, container);
        option->setChecked(d.value);
        w = option;
        break;
    }
    }
    if (d.font.family)
        w->setFont(Look::font(d.font));
    applyColours(w, d);
    w->setGeometry(pixelRect(d.left, d.top, d.width, d.height));
    if (!d.visible) {
        // A hidden store: it holds a picture and is never shown or focused.
        w->setFocusPolicy(Qt::NoFocus);
        w->setVisible(false);
    }
    return w;
}

void Form::applyStacking()
{
    // Within a container, a control stored earlier lies above one stored later.
    for (const Entry &e : std::as_const(m_controls))
        e.widget->lower();
}

void Form::applyTabOrder()
{
    // Keyboard order follows TabIndex, not the order of creation.
    QList<Entry> order;
    for (const Entry &e : std::as_const(m_controls)) {
        if (e.widget->focusPolicy() & Qt::TabFocus)
            order.append(e);
    }
    std::stable_sort(order.begin(), order.end(), [](const Entry &a, const Entry &b) {
        return a.description->tabIndex < b.description->tabIndex;
    });
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1].widget, order[i].widget);
    if (!order.isEmpty())
        order.first().widget->setFocus(Qt::OtherFocusReason);
}

QWidget *Form::control(const QString &name, int index) const
{
    if (QWidget *w = m_byKey.value(keyOf(name, index)))
        return w;
    if (index >= 0 && m_byKey.contains(keyOf(name, 0)))
        throw RuntimeError(Err::ControlArrayElementMissing,
                           QStringLiteral("Control array element '%1' doesn't exist").arg(index));
    throw RuntimeError(Err::ControlNotFound,
                       QStringLiteral("Control '%1' not found on %2").arg(keyOf(name, index), m_name));
}

void Form::load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    if (m_load)
        dispatch(m_load);
}

void Form::setScaleMode(int mode)
{
    if (mode != 1 && mode != 3)
        throw RuntimeError(Err::InvalidPropertyValue, QStringLiteral("Invalid property value"));
    m_scaleMode = mode;
}

void Form::showForm(int modal)
{
    if (modal != 0 && modal != 1)
        throw RuntimeError(Err::InvalidPropertyValue, QStringLiteral("Invalid property value"));
    if (modal == 0) {
        show();
        raise();
        activateWindow();
        return;
    }
    if (m_modalLoop || isVisible())
        throw RuntimeError(Err::FormAlreadyShown,
                           QStringLiteral("Form already displayed; can't show modally"));
    QEventLoop loop;
    m_modalLoop = &loop;
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    loop.exec(QEventLoop::DialogExec);
    m_modalLoop = nullptr;
    setWindowModality(Qt::NonModal);
}

void Form::closeEvent(QCloseEvent *event)
{
    // Closing a form hides it; the object lives on and can be shown again.
    event->accept();
}

void Form::hideEvent(QHideEvent *event)
{
    // Closed, hidden or ended: a modal show returns. A window system that minimises the
    // window hides it too, spontaneously; that is no closing, and the form stays modal.
    if (m_modalLoop && !event->spontaneous())
        m_modalLoop->quit();
    QWidget::hideEvent(event);
}

void Form::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        auto &forms = shownForms();
        forms.removeAll(this);
        forms.append(this);
        place();
        if (QWindow *window = windowHandle()) {
            window->removeEventFilter(this);
            window->installEventFilter(this);
        }
        m_placing = true;
    }
    QWidget::showEvent(event);
}

bool Form::eventFilter(QObject *watched, QEvent *event)
{
    QWindow *window = windowHandle();
    if (watched == window && event->type() == QEvent::Expose) {
        if (!window->isExposed()) {
            // Unmapped by the window system or another client: the releases of any held
            // buttons will go elsewhere.
            cancelPointer();
        } else if (m_placing) {
            // The frame is known once the window is on screen; a small screen may need the
            // window moved now that it is.
            m_placing = false;
            if (geometry().topLeft() == m_placedAt)
                place();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form::place()
{
    const Form *owner = qobject_cast<const Form *>(parentWidget());
    Point origin{m_stored.x(), m_stored.y()};
    if (owner && owner->isVisible()) {
        const QPoint ownerClient = owner->geometry().topLeft();
        origin = placedRelativeTo({ownerClient.x(), ownerClient.y()}, {owner->m_stored.x(), owner->m_stored.y()},
                                  origin);
    }
    QScreen *screen = owner && owner->isVisible() ? owner->screen()
                                                  : QGuiApplication::screenAt(QPoint(origin.x, origin.y));
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    // The frame this window had when last shown, else that of the window it is shown over.
    QMargins frame;
    if (windowHandle())
        frame = windowHandle()->frameMargins();
    if (frame.isNull() && owner && owner->windowHandle())
        frame = owner->windowHandle()->frameMargins();
    if (screen) {
        const QRect area = screen->availableGeometry();
        origin = keepOnScreen({origin.x, origin.y, width(), height()},
                              {frame.left(), frame.top(), frame.right(), frame.bottom()},
                              {area.x(), area.y(), area.width(), area.height()});
    }
    m_placedAt = QPoint(origin.x, origin.y);
    setGeometry(QRect(m_placedAt, size()));
}

void Form::cancelPointer()
{
    for (const Entry &e : std::as_const(m_controls)) {
        if (auto *box = qobject_cast<PictureBox *>(e.widget))
            box->cancelPointer();
    }
}

void Form::keyPressEvent(QKeyEvent *event)
{
    // A modally shown form closes on Escape as any dialog does; a window system without
    // frames offers no other way to close it.
    if (m_modalLoop && event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

Form *Form::activeForm()
{
    if (auto *active = qobject_cast<Form *>(QApplication::activeWindow()))
        return active;
    const auto &forms = shownForms();
    for (auto it = forms.crbegin(); it != forms.crend(); ++it) {
        if (*it && (*it)->isVisible())
            return *it;
    }
    return nullptr;
}

QString tagOf(const QWidget *control)
{
    if (auto *box = qobject_cast<const PictureBox *>(control))
        return box->tag();
    return control->property("Tag").toString();
}

void setTagOf(QWidget *control, const QString &tag)
{
    if (auto *box = qobject_cast<PictureBox *>(control))
        box->setTag(tag);
    else
        control->setProperty("Tag", tag);
}

} // namespace Runtime
