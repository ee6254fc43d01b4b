// The Qt widgets of forms and controls.
#include "runtime/qt/widgets.h"

#include "runtime/form.h"
#include "runtime/qt/accessibility.h"
#include "runtime/qt/look.h"
#include "runtime/qt/qtbackend.h"
#include "runtime/qt/qtbitmap.h"
#include "runtime/units.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QWindow>
#include <qdrawutil.h>

#include <cmath>
#include <limits>
#include <optional>

namespace Runtime::QtUi {

namespace {

std::int16_t buttonBit(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return Button::Left;
    case Qt::RightButton: return Button::Right;
    case Qt::MiddleButton: return Button::Middle;
    default: return 0;
    }
}

std::int16_t buttonBits(Qt::MouseButtons buttons)
{
    std::int16_t bits = 0;
    if (buttons & Qt::LeftButton) bits |= Button::Left;
    if (buttons & Qt::RightButton) bits |= Button::Right;
    if (buttons & Qt::MiddleButton) bits |= Button::Middle;
    return bits;
}

std::int16_t shiftBits(Qt::KeyboardModifiers modifiers)
{
    std::int16_t bits = 0;
    if (modifiers & Qt::ShiftModifier) bits |= ShiftKey::Shift;
    if (modifiers & Qt::ControlModifier) bits |= ShiftKey::Ctrl;
    if (modifiers & Qt::AltModifier) bits |= ShiftKey::Alt;
    return bits;
}

// The keys that drive a bitmap control, as Qt names them.
std::optional<Key> keyOf(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Space: return Key::Space;
    case Qt::Key_Return:
    case Qt::Key_Enter: return Key::Enter;
    case Qt::Key_Home: return Key::Home;
    case Qt::Key_Left: return Key::Left;
    case Qt::Key_Up: return Key::Up;
    case Qt::Key_Right: return Key::Right;
    case Qt::Key_Down: return Key::Down;
    default: return std::nullopt;
    }
}

QRect toQRect(Rect r)
{
    return QRect(r.x, r.y, r.width, r.height);
}

QString qText(const std::string &text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

void applyColours(QWidget *w, const Control &control)
{
    const ControlDescription &d = control.description();
    if (!d.back.isDefault()) {
        QPalette p = w->palette();
        // A text box's back colour is its field; any other control's is its surface, which
        // the controls it contains keep their own fields on.
        p.setColor(d.kind == Kind::TextBox ? QPalette::Base : QPalette::Window, Look::colour(d.back));
        w->setPalette(p);
        w->setAutoFillBackground(d.kind != Kind::TextBox);
    }
    if (!d.fore.isDefault()) {
        QPalette p = w->palette();
        const QColor c = Look::textColour(control);
        p.setColor(QPalette::WindowText, c);
        p.setColor(QPalette::Text, c);
        p.setColor(QPalette::ButtonText, c);
        w->setPalette(p);
    }
}

} // namespace

// ---- the form's window ------------------------------------------------------------------

FormWindow::FormWindow(Form &form, QWidget *owner)
    : QWidget(owner, owner ? Qt::Dialog : Qt::Window), m_form(form)
{
    const FormDescription &d = form.description();
    setObjectName(QString::fromUtf8(d.name));
    setWindowTitle(QString::fromUtf8(d.caption));
    // The stored placement and size are the client area's, so geometry, not move().
    const QRect client(twipsToPixels(d.client.left), twipsToPixels(d.client.top),
                       twipsToPixels(d.client.width), twipsToPixels(d.client.height));
    setGeometry(client);
    setFixedSize(client.size());
    // The runtime decides what closing a window means.
    setAttribute(Qt::WA_QuitOnClose, false);
}

void FormWindow::show(Point clientOrigin, bool modal)
{
    if (!QWidget::isVisible())
        setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
    // A control named by the label beside it has the label as its buddy, so that assistive
    // technology links the two and reads the name once; the label exists once every control
    // of the form is there.
    for (const auto &c : m_form.controls()) {
        QWidget *w = widgetOf(*c);
        if (!w || !c->description().labelledBy)
            continue;
        for (const auto &label : m_form.controls()) {
            if (label->key() == c->description().labelledBy) {
                if (auto *l = qobject_cast<QLabel *>(widgetOf(*label)))
                    l->setBuddy(w);
            }
        }
    }
    setGeometry(QRect(QPoint(clientOrigin.x, clientOrigin.y), size()));
    if (QWidget::isVisible()) {
        // Shown again: brought to the front, as a first show does by itself.
        raise();
        activateWindow();
    }
    QWidget::show();
    if (QWindow *window = windowHandle()) {
        window->removeEventFilter(this);
        window->installEventFilter(this);
    }
}

void FormWindow::hide()
{
    QWidget::hide();
}

void FormWindow::runModal()
{
    QEventLoop loop;
    m_modalLoop = &loop;
    loop.exec(QEventLoop::DialogExec);
    m_modalLoop = nullptr;
    setWindowModality(Qt::NonModal);
}

void FormWindow::endModal()
{
    if (m_modalLoop)
        m_modalLoop->quit();
}

Rect FormWindow::clientRect() const
{
    const QRect g = geometry();
    return {g.x(), g.y(), g.width(), g.height()};
}

Margins FormWindow::frameMargins() const
{
    const QMargins m = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    return {m.left(), m.top(), m.right(), m.bottom()};
}

Rect FormWindow::screenArea(Point point) const
{
    QScreen *screen = QGuiApplication::screenAt(QPoint(point.x, point.y));
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {0, 0, 1 << 15, 1 << 15};
    const QRect area = screen->availableGeometry();
    return {area.x(), area.y(), area.width(), area.height()};
}

void FormWindow::setTabOrder(const std::vector<Control *> &order)
{
    QWidget *previous = nullptr;
    for (Control *c : order) {
        QWidget *w = widgetOf(*c);
        if (!w)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, w);
        else
            w->setFocus(Qt::OtherFocusReason);
        previous = w;
    }
}

bool FormWindow::focusNextPrevChild(bool next)
{
    // Tab and Shift+Tab go the form's way: by TabIndex, a group of option buttons one stop.
    setKeyboardUsed();
    const Control *current = nullptr;
    for (QWidget *w = QApplication::focusWidget(); w && !current && w != this; w = w->parentWidget()) {
        for (const auto &c : m_form.controls()) {
            if (widgetOf(*c) == w)
                current = c.get();
        }
    }
    Control *target = m_form.nextTabStop(current, !next);
    if (!target || !widgetOf(*target))
        return QWidget::focusNextPrevChild(next);
    widgetOf(*target)->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

bool FormWindow::event(QEvent *event)
{
    // A modal window over this one takes the pointer: the toolkit brings none of the held
    // buttons' releases here.
    if (event->type() == QEvent::WindowBlocked)
        m_form.pointerLost();
    return QWidget::event(event);
}

bool FormWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Expose) // most events: the pointer's on its way in
        return false;
    QWindow *window = windowHandle();
    if (watched == window) {
        if (!window->isExposed())
            m_form.pointerLost(); // unmapped, by the window system or another client
        else
            m_form.frameKnown(); // on screen, so framed: a small screen may need a move
    }
    return QWidget::eventFilter(watched, event);
}

void FormWindow::closeEvent(QCloseEvent *event)
{
    // The frame's close command: the runtime closes the form (and hides this window) or
    // ends the program.
    event->ignore();
    if (m_closing)
        return;
    m_closing = true;
    m_form.closeRequested();
    m_closing = false;
}

void FormWindow::hideEvent(QHideEvent *event)
{
    // Hidden, or minimised by the window system (a spontaneous hide, which closes nothing).
    m_form.pointerLost();
    QWidget::hideEvent(event);
}

void FormWindow::keyPressEvent(QKeyEvent *event)
{
    // A modally shown form closes on Escape as any dialog does; a window system without
    // frames offers no other way to close it.
    if (m_form.isModal() && event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        m_form.closeRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}

// ---- the picture box --------------------------------------------------------------------

PictureBoxWidget::PictureBoxWidget(PictureBox &box, QWidget *parent) : QWidget(parent), m_box(box)
{
    // A box drawn as a control takes the keyboard focus from the keyboard only: a pointer
    // click leaves the focus where it was.
    setFocusPolicy(box.takesFocus() ? Qt::TabFocus : Qt::NoFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
}

QRect PictureBoxWidget::drawingArea() const
{
    return toQRect(m_box.drawingArea());
}

void PictureBoxWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect area = drawingArea();
    if (m_box.hasBorder())
        qDrawWinPanel(&painter, rect(), palette(), /*sunken=*/true);
    painter.fillRect(area, palette().window());
    if (const auto *bitmap = dynamic_cast<const QtBitmap *>(m_box.picture().bitmap())) {
        painter.setClipRect(area);
        painter.drawImage(area.topLeft(), bitmap->image());
    }
    // The classic dotted focus rectangle, once the keyboard has been used.
    if (hasFocus() && keyboardUsed()) {
        painter.setClipRect(area);
        QPen pen(Qt::black, 1, Qt::DotLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(area.adjusted(0, 0, -1, -1));
    }
}

void PictureBoxWidget::keyPressEvent(QKeyEvent *event)
{
    const auto key = keyOf(event->key());
    if (key && event->modifiers() == Qt::NoModifier) {
        if (event->isAutoRepeat() || m_box.keyDown(*key))
            return;
    }
    QWidget::keyPressEvent(event);
}

void PictureBoxWidget::keyReleaseEvent(QKeyEvent *event)
{
    const auto key = keyOf(event->key());
    if (key && !event->isAutoRepeat() && m_box.keyUp(*key))
        return;
    QWidget::keyReleaseEvent(event);
}

void PictureBoxWidget::focusInEvent(QFocusEvent *event)
{
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason)
        setKeyboardUsed();
    update();
    QWidget::focusInEvent(event);
}

void PictureBoxWidget::focusOutEvent(QFocusEvent *event)
{
    m_box.focusLost();
    update();
    QWidget::focusOutEvent(event);
}

Pixel PictureBoxWidget::pixelOf(const QMouseEvent *event) const
{
    // Rounded down once, here: a fractional position never disagrees with a whole pixel.
    const QPointF p = event->position();
    const QPoint origin = drawingArea().topLeft();
    return {int(std::floor(p.x())) - origin.x(), int(std::floor(p.y())) - origin.y()};
}

void PictureBoxWidget::press(QMouseEvent *event)
{
    m_box.pointer().press(pixelOf(event), buttonBit(event->button()), buttonBits(event->buttons()),
                          shiftBits(event->modifiers()));
}

void PictureBoxWidget::mousePressEvent(QMouseEvent *event)
{
    press(event);
}

void PictureBoxWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double-click is a press like any other; where the toolkit has
    // already delivered that press, this is the same one.
    if (!(m_box.pointer().held() & buttonBit(event->button())))
        press(event);
}

void PictureBoxWidget::mouseMoveEvent(QMouseEvent *event)
{
    m_box.pointer().move(pixelOf(event), buttonBits(event->buttons()), shiftBits(event->modifiers()));
}

void PictureBoxWidget::mouseReleaseEvent(QMouseEvent *event)
{
    const Pixel at = pixelOf(event);
    m_box.pointer().release(at, buttonBit(event->button()), shiftBits(event->modifiers()), m_box.contains(at));
}

void PictureBoxWidget::leaveEvent(QEvent *event)
{
    m_box.pointer().leave();
    QWidget::leaveEvent(event);
}

void PictureBoxWidget::hideEvent(QHideEvent *event)
{
    m_box.pointer().cancel();
    QWidget::hideEvent(event);
}

// ---- standard controls ------------------------------------------------------------------

namespace {

// The widget is Qt's child of its container's: gone with it, if that goes first.
class Peer final : public WidgetPeer
{
public:
    Peer(Control &control, QWidget *widget) : m_control(control), m_widget(widget) { }
    ~Peer() override { delete m_widget.data(); }

    QWidget *widget() const override { return m_widget; }

    void pictureChanged() override
    {
        if (auto *box = dynamic_cast<PictureBoxWidget *>(m_widget.data()))
            box->update(box->drawingArea());
    }

    void textChanged() override
    {
        const QString text = qText(m_control.text());
        if (auto *edit = qobject_cast<QLineEdit *>(m_widget)) {
            edit->setText(text);
            edit->setCursorPosition(0);
        } else if (auto *label = qobject_cast<QLabel *>(m_widget)) {
            label->setText(text);
        } else if (auto *frame = qobject_cast<QGroupBox *>(m_widget)) {
            frame->setTitle(text);
        } else if (auto *button = qobject_cast<QAbstractButton *>(m_widget)) {
            button->setText(text);
        }
    }

    void valueChanged() override
    {
        if (auto *button = qobject_cast<QAbstractButton *>(m_widget))
            button->setChecked(m_control.value());
    }

    void setFocus() override { m_widget->setFocus(Qt::OtherFocusReason); }
    bool hasFocus() const override { return m_widget->hasFocus(); }
    void stateChanged() override
    {
        m_widget->update();
        checkedStateChanged(m_widget);
    }

private:
    Control &m_control;
    QPointer<QWidget> m_widget;
};

} // namespace

std::unique_ptr<ControlPeer> createPeer(Control &control, QWidget *parent)
{
    const ControlDescription &d = control.description();
    const QString text = qText(control.text());
    QWidget *w = nullptr;
    switch (d.kind) {
    case Kind::PictureBox:
        w = new PictureBoxWidget(static_cast<PictureBox &>(control), parent);
        break;
    case Kind::TextBox: {
        auto *edit = new QLineEdit(parent);
        // A text box takes as much as the user types or pastes: the line edit alone would cut
        // it at 32,767 characters.
        edit->setMaxLength(std::numeric_limits<int>::max());
        edit->setText(text);
        edit->setCursorPosition(0);
        QObject::connect(edit, &QLineEdit::textEdited, edit,
                         [&control](const QString &typed) { control.userEditedText(typed.toStdString()); });
        w = edit;
        break;
    }
    case Kind::Label: {
        auto *label = new QLabel(text, parent);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
        w = label;
        break;
    }
    case Kind::Frame:
        w = new QGroupBox(text, parent);
        break;
    case Kind::CommandButton: {
        auto *button = new QPushButton(text, parent);
        button->setAutoDefault(false);
        w = button;
        break;
    }
    case Kind::CheckBox:
    case Kind::OptionButton: {
        QAbstractButton *button = d.kind == Kind::CheckBox ? static_cast<QAbstractButton *>(new QCheckBox(text, parent))
                                                           : new QRadioButton(text, parent);
        button->setChecked(control.value());
        QObject::connect(button, &QAbstractButton::toggled, button,
                         [&control](bool on) { control.userChangedValue(on); });
        w = button;
        break;
    }
    }
    w->setObjectName(QString::fromStdString(control.key()));
    // A text box is named by the label beside it, not by the frame around it.
    if (d.kind == Kind::TextBox)
        w->setAccessibleName(QString::fromStdString(control.accessibleName()));
    if (d.font.family)
        w->setFont(Look::font(d.font));
    applyColours(w, control);
    w->setGeometry(toQRect(control.rect()));
    w->show();
    // Within a container, a control stored earlier lies above one stored later.
    w->lower();
    return std::make_unique<Peer>(control, w);
}

} // namespace Runtime::QtUi
