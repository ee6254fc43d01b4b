// The picture box, the one place that turns Qt's mouse events into event-procedure data.
#include "picturebox.h"

#include "runtimeerror.h"

#include <QMouseEvent>
#include <QPainter>
#include <qdrawutil.h>

#include <cmath>

namespace Runtime {

namespace {
constexpr int kBorder = 2;

qint16 buttonBit(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return Button::Left;
    case Qt::RightButton: return Button::Right;
    case Qt::MiddleButton: return Button::Middle;
    default: return 0;
    }
}

qint16 buttonBits(Qt::MouseButtons buttons)
{
    qint16 bits = 0;
    if (buttons & Qt::LeftButton) bits |= Button::Left;
    if (buttons & Qt::RightButton) bits |= Button::Right;
    if (buttons & Qt::MiddleButton) bits |= Button::Middle;
    return bits;
}

qint16 shiftBits(Qt::KeyboardModifiers modifiers)
{
    qint16 bits = 0;
    if (modifiers & Qt::ShiftModifier) bits |= ShiftKey::Shift;
    if (modifiers & Qt::ControlModifier) bits |= ShiftKey::Ctrl;
    if (modifiers & Qt::AltModifier) bits |= ShiftKey::Alt;
    return bits;
}

float unitsPerPixel(int scaleMode)
{
    return scaleMode == Scale::Twips ? float(Scale::TwipsPerPixel) : 1.0f;
}
} // namespace

PictureBox::PictureBox(QWidget *parent) : QWidget(parent)
{
    // Driven by the pointer alone.
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
}

void PictureBox::setBorder(bool border)
{
    if (m_border == border)
        return;
    m_border = border;
    update();
}

QRect PictureBox::drawingArea() const
{
    return m_border ? rect().adjusted(kBorder, kBorder, -kBorder, -kBorder) : rect();
}

void PictureBox::setPicture(const Picture &picture)
{
    if (m_picture.sharesWith(picture))
        return; // the same face: nothing to repaint
    m_picture = picture;
    update(drawingArea());
}

void PictureBox::setScaleMode(int mode)
{
    if (mode != Scale::Twips && mode != Scale::Pixels)
        throw RuntimeError(Err::InvalidPropertyValue, QStringLiteral("Invalid property value"));
    m_scaleMode = mode;
}

qint32 PictureBox::Point(float x, float y) const
{
    const float unit = unitsPerPixel(m_scaleMode);
    const int px = int(std::floor(x / unit));
    const int py = int(std::floor(y / unit));
    return qint32(m_picture.pixelColour(px, py));
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect area = drawingArea();
    if (m_border)
        qDrawWinPanel(&painter, rect(), palette(), /*sunken=*/true);
    painter.fillRect(area, palette().window());
    if (!m_picture.isNull()) {
        painter.setClipRect(area);
        painter.drawImage(area.topLeft(), m_picture.image());
    }
}

QPoint PictureBox::pixelPosition(const QMouseEvent *event) const
{
    // Rounded down once, here: a fractional position never disagrees with a whole pixel.
    const QPointF p = event->position();
    const QPoint origin = drawingArea().topLeft();
    return QPoint(int(std::floor(p.x())) - origin.x(), int(std::floor(p.y())) - origin.y());
}

MouseArgs PictureBox::args(QPoint pixel, qint16 button, Qt::KeyboardModifiers modifiers) const
{
    const float unit = unitsPerPixel(m_scaleMode);
    return MouseArgs{button, shiftBits(modifiers), float(pixel.x()) * unit,
                     float(pixel.y()) * unit};
}

void PictureBox::moveTo(QPoint pixel, qint16 buttons, Qt::KeyboardModifiers modifiers)
{
    m_lastMove = pixel;
    emit mouseMove(args(pixel, buttons, modifiers));
}

void PictureBox::press(QMouseEvent *event)
{
    const qint16 bit = buttonBit(event->button());
    if (bit == 0)
        return;
    // Other buttons are down that were never pressed here (a popup menu or a modal window took
    // the pointer meanwhile): the toolkit will bring this press's release to no control, and
    // taking the press would leave this one pressed for good.
    if (m_held == 0 && (buttonBits(event->buttons()) & ~bit) != 0)
        return;
    const QPoint pixel = pixelPosition(event);
    // A pointer that came to rest here without moving (a window opened or closed under it)
    // is announced before the press, so a press never acts on a stale position.
    if (m_held == 0 && m_lastMove != pixel)
        moveTo(pixel, buttonBits(event->buttons()) & ~bit, event->modifiers());
    m_held |= bit;
    if (bit == Button::Left)
        m_leftPressedHere = true;
    emit mouseDown(args(pixel, bit, event->modifiers()));
}

void PictureBox::mousePressEvent(QMouseEvent *event)
{
    press(event);
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double-click is a press like any other; where the toolkit has
    // already delivered that press, this is the same one.
    if (!(m_held & buttonBit(event->button())))
        press(event);
}

void PictureBox::mouseMoveEvent(QMouseEvent *event)
{
    // Buttons held here that the pointer no longer holds were let go where this box could
    // not hear it (another client took the pointer meanwhile).
    if (m_held & ~buttonBits(event->buttons()))
        cancelPointer();
    moveTo(pixelPosition(event), buttonBits(event->buttons()), event->modifiers());
}

void PictureBox::mouseReleaseEvent(QMouseEvent *event)
{
    const qint16 bit = buttonBit(event->button());
    if (bit == 0 || !(m_held & bit))
        return;
    m_held &= ~bit;
    emit mouseUp(args(pixelPosition(event), bit, event->modifiers()));
    if (bit == Button::Left) {
        const bool completed = m_leftPressedHere && rect().contains(event->position().toPoint());
        m_leftPressedHere = false;
        // Letting go off the box cancels the click, as on every desktop.
        if (completed)
            emit click();
    }
}

bool PictureBox::event(QEvent *event)
{
    // A modal window over this one takes the pointer: the toolkit forgets which control was
    // pressed and brings none of the held buttons' releases here.
    if (event->type() == QEvent::WindowBlocked)
        cancelPointer();
    return QWidget::event(event);
}

void PictureBox::hideEvent(QHideEvent *event)
{
    cancelPointer();
    QWidget::hideEvent(event);
}

void PictureBox::cancelPointer()
{
    if (m_held == 0)
        return;
    const qint16 held = m_held;
    m_held = 0;
    m_leftPressedHere = false;
    m_lastMove.reset();
    const QPoint away(-1, -1); // just beyond the top-left corner, off every picture
    emit mouseMove(args(away, held, {}));
    for (qint16 bit : {Button::Left, Button::Right, Button::Middle}) {
        if (held & bit)
            emit mouseUp(args(away, bit, {}));
    }
}

void PictureBox::leaveEvent(QEvent *event)
{
    if (m_held == 0)
        m_lastMove.reset();
    QWidget::leaveEvent(event);
}

} // namespace Runtime
