// The peers of a form's controls.
#include "runtime/qt/peers.h"

#include "runtime/qt/accessibility.h"
#include "runtime/qt/look.h"
#include "runtime/qt/pictures.h"
#include "runtime/qt/window.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <qdrawutil.h>

#include <cmath>
#include <limits>

namespace Runtime::QtUi {

namespace {

// The control each peer's widget shows.
QHash<const QObject *, ControlView> &shown()
{
    static QHash<const QObject *, ControlView> controls;
    return controls;
}

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

std::string stdText(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), std::size_t(utf8.size()));
}

// An option button whose selection the runtime decides: a click says it was chosen and leaves
// the selection as it is, checked or not, until the runtime sets it.
class OptionButton final : public QRadioButton
{
public:
    // The runtime keeps a group's selection to one button: no grouping of Qt's own, from the
    // start (assistive technology knows a button by what it was when its text was first set).
    OptionButton(const QString &text, QWidget *parent) : QRadioButton(parent)
    {
        setAutoExclusive(false);
        setText(text);
    }

protected:
    void nextCheckState() override { }
};

// A label names the control beside it to assistive technology as its buddy, which the toolkit
// reads as the relation between the two. Linked as the later of the two is made.
void linkLabel(QWidget *label, QWidget *control)
{
    if (auto *shown = qobject_cast<QLabel *>(label); shown && control)
        shown->setBuddy(control);
}

} // namespace

std::int16_t shiftBits(Qt::KeyboardModifiers modifiers)
{
    std::int16_t bits = 0;
    if (modifiers & Qt::ShiftModifier) bits |= ShiftKey::Shift;
    if (modifiers & Qt::ControlModifier) bits |= ShiftKey::Ctrl;
    if (modifiers & Qt::AltModifier) bits |= ShiftKey::Alt;
    return bits;
}

// ---- the picture box --------------------------------------------------------------------

PictureBoxWidget::PictureBoxWidget(ControlView box, QWidget *parent) : QWidget(parent), m_box(box)
{
    const Rect area = box.drawingArea();
    m_area = QRect(area.x, area.y, area.width, area.height);
    // A box drawn as a control takes the focus when the runtime gives it, never from a click.
    setFocusPolicy(box.takesFocus() ? Qt::TabFocus : Qt::NoFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
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
    if (m_box.focusIndicator()) {
        // The classic dotted focus rectangle.
        painter.setClipRect(area);
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(area.adjusted(0, 0, -1, -1));
    }
}

Pixel PictureBoxWidget::pixelOf(const QMouseEvent *event) const
{
    // Rounded down once, here: a fractional position never disagrees with a whole pixel.
    const QPointF p = event->position();
    const QPoint origin = drawingArea().topLeft();
    return {int(std::floor(p.x())) - origin.x(), int(std::floor(p.y())) - origin.y()};
}

void PictureBoxWidget::press(const QMouseEvent *event)
{
    const std::int16_t button = buttonBit(event->button());
    m_reported |= button;
    Report::pointerPressed(m_box, pixelOf(event), button, buttonBits(event->buttons()), shiftBits(event->modifiers()));
}

void PictureBoxWidget::mousePressEvent(QMouseEvent *event)
{
    press(event);
}

void PictureBoxWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double-click is a press like any other; where the toolkit has
    // already delivered that press, this is the same one.
    if (!(m_reported & buttonBit(event->button())))
        press(event);
}

void PictureBoxWidget::mouseMoveEvent(QMouseEvent *event)
{
    Report::pointerMoved(m_box, pixelOf(event), buttonBits(event->buttons()), shiftBits(event->modifiers()));
}

void PictureBoxWidget::mouseReleaseEvent(QMouseEvent *event)
{
    const std::int16_t button = buttonBit(event->button());
    m_reported &= std::int16_t(~button);
    Report::pointerReleased(m_box, pixelOf(event), button, shiftBits(event->modifiers()));
}

void PictureBoxWidget::leaveEvent(QEvent *event)
{
    Report::pointerLeft(m_box);
    QWidget::leaveEvent(event);
}

void PictureBoxWidget::hideEvent(QHideEvent *event)
{
    // A hidden box hears no release of what it holds.
    m_reported = 0;
    Report::pointerCancelled(m_box);
    QWidget::hideEvent(event);
}

// ---- every peer -------------------------------------------------------------------------

WidgetPeer::WidgetPeer(ControlView control, QWidget *widget) : m_control(control), m_widget(widget)
{
    shown().insert(widget, control);
}

WidgetPeer::~WidgetPeer()
{
    // Forgotten first: the focus that leaves a widget as it goes is no control's any more.
    shown().remove(m_widget.data());
    delete m_widget.data();
}

void WidgetPeer::pictureChanged()
{
    if (auto *box = dynamic_cast<PictureBoxWidget *>(m_widget.data()))
        box->update(box->drawingArea());
}

void WidgetPeer::textChanged()
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

void WidgetPeer::valueChanged()
{
    // Set, not clicked: nothing goes back to the runtime.
    if (auto *button = qobject_cast<QAbstractButton *>(m_widget))
        button->setChecked(m_control.value());
}

void WidgetPeer::stateChanged(Change change)
{
    // A standard control's focus and state are the toolkit's to show and to tell.
    auto *box = dynamic_cast<PictureBoxWidget *>(m_widget.data());
    if (!box)
        return;
    if (change.has(Change::FocusIndicator))
        box->update(box->drawingArea());
    announce(box, m_control, change);
}

void WidgetPeer::setFocus()
{
    // As the keyboard moves the focus: a text box selects its text.
    m_widget->setFocus(Qt::TabFocusReason);
}

void WidgetPeer::restoreFocus()
{
    // As the toolkit gives the focus back on activation, which then finds it given already.
    m_widget->setFocus(Qt::ActiveWindowFocusReason);
}

std::unique_ptr<WidgetPeer> createPeer(ControlView control, QWidget *parent)
{
    const QString text = qText(control.text());
    QWidget *w = nullptr;
    switch (control.kind()) {
    case Kind::PictureBox:
        w = new PictureBoxWidget(control, parent);
        break;
    case Kind::TextBox: {
        auto *edit = new QLineEdit(parent);
        // A text box takes as much as the user types or pastes: the line edit alone would cut
        // it at 32,767 characters.
        edit->setMaxLength(std::numeric_limits<int>::max());
        edit->setText(text);
        edit->setCursorPosition(0);
        QObject::connect(edit, &QLineEdit::textEdited, edit,
                         [control](const QString &typed) { Report::textEdited(control, stdText(typed)); });
        // Named by the label beside it, not by the frame around it.
        edit->setAccessibleName(qText(control.accessibleName()));
        w = edit;
        break;
    }
    case Kind::Label: {
        auto *label = new LabelWidget(control, parent);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
        label->setText(text);
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
    case Kind::CheckBox: {
        auto *box = new CheckBox(text, parent);
        box->setChecked(control.value());
        QObject::connect(box, &QAbstractButton::clicked, box, [control] { Report::checkBoxClicked(control); });
        w = box;
        break;
    }
    case Kind::OptionButton: {
        auto *option = new OptionButton(text, parent);
        option->setChecked(control.value());
        QObject::connect(option, &QAbstractButton::clicked, option, [control] { Report::optionChosen(control); });
        w = option;
        break;
    }
    }
    w->setObjectName(QString::fromStdString(control.key()));
    Look::applyLook(w, control);
    linkLabel(widgetShowing(control.labelledBy()), w);
    for (const ControlView &named : control.namedControls())
        linkLabel(w, widgetShowing(named));
    const Rect r = control.rect();
    w->setGeometry(r.x, r.y, r.width, r.height);
    w->show();
    // Within a container, a control stored earlier lies above one stored later.
    w->lower();
    return std::make_unique<WidgetPeer>(control, w);
}

ControlView controlShownBy(const QObject *widget)
{
    return widget ? shown().value(widget) : ControlView();
}

QWidget *widgetShowing(ControlView control)
{
    if (!control)
        return nullptr;
    const QObject *widget = shown().key(control);
    return widget ? static_cast<QWidget *>(const_cast<QObject *>(widget)) : nullptr;
}

void reportFocusChange(QWidget *old, QWidget *now)
{
    if (const ControlView lost = controlShownBy(old))
        Report::focusLost(lost);
    if (const ControlView gained = controlShownBy(now))
        Report::focusGained(gained);
}

} // namespace Runtime::QtUi
