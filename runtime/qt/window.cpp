// A form's window, and the keys of every window.
#include "runtime/qt/window.h"

#include "runtime/qt/peers.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QScreen>
#include <QWindow>

#include <optional>

namespace Runtime::QtUi {

// ---- the form's window ------------------------------------------------------------------

FormWindow::FormWindow(FormView form, QWidget *owner)
    : QWidget(owner, owner ? Qt::Dialog : Qt::Window), m_form(form)
{
    setObjectName(QString::fromStdString(form.name()));
    setWindowTitle(QString::fromStdString(form.caption()));
    // The stored placement and size are the client area's, so geometry, not move().
    const Rect client = form.storedClient();
    setGeometry(client.x, client.y, client.width, client.height);
    setFixedSize(client.width, client.height);
    // The runtime decides what closing a window means.
    setAttribute(Qt::WA_QuitOnClose, false);
}

void FormWindow::show(Point clientOrigin, bool modal)
{
    if (!QWidget::isVisible())
        setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
    setGeometry(QRect(QPoint(clientOrigin.x, clientOrigin.y), size()));
    if (QWidget::isVisible()) {
        // Shown again: brought to the front, as a first show does by itself.
        raise();
        activateWindow();
    }
    QWidget::show();
    if (QWindow *window = windowHandle(); window != m_watched) {
        window->installEventFilter(this);
        m_watched = window;
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

bool FormWindow::focusNextPrevChild(bool)
{
    // The runtime alone moves the focus from one control to another (the buttons' own arrow
    // keys would move it in the toolkit's order).
    return true;
}

bool FormWindow::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (watched != m_watched)
        return false;
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease)
        return keyEvent(static_cast<QKeyEvent *>(event));
    if (type == QEvent::Expose) {
        if (m_watched->isExposed())
            Report::windowShown(m_form); // on the screen, so framed
        else
            Report::windowHidden(m_form); // unmapped, by the window system or another client
    }
    return false;
}

void FormWindow::closeEvent(QCloseEvent *event)
{
    // The frame's close command: the runtime closes the form or ends the program.
    event->ignore();
    Report::closeRequested(m_form);
}

void FormWindow::hideEvent(QHideEvent *event)
{
    // Hidden, or minimised by the window system (a spontaneous hide).
    if (event->spontaneous())
        Report::windowMinimised(m_form);
    else
        Report::windowHidden(m_form);
    QWidget::hideEvent(event);
}

void FormWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        Report::windowMinimised(m_form);
    // Activated: the runtime gives the focus back before the toolkit would, so the toolkit,
    // which gives it to the same widget, finds it there and moves nothing.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Report::windowActivated(m_form);
    QWidget::changeEvent(event);
}

// ---- the keys ---------------------------------------------------------------------------

namespace {

std::optional<Key> runtimeKey(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return Key::Tab;
    case Qt::Key_Escape: return Key::Escape;
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

std::int16_t keyShiftBits(const QKeyEvent *event)
{
    // Shift+Tab comes as Backtab.
    return shiftBits(event->modifiers()) | (event->key() == Qt::Key_Backtab ? ShiftKey::Shift : 0);
}

} // namespace

bool FormWindow::keyEvent(QKeyEvent *key)
{
    const std::optional<Key> known = runtimeKey(key->key());
    if (!known)
        return false;
    // A held key's repeats come as releases and presses; only its last release lets it go.
    const bool press = key->type() == QEvent::KeyPress;
    if (!press && key->isAutoRepeat())
        return false;
    const bool taken = press ? Report::keyPressed(m_form, *known, keyShiftBits(key), key->isAutoRepeat())
                             : Report::keyReleased(m_form, *known, keyShiftBits(key));
    // Taken, the key goes to no widget.
    return taken;
}

} // namespace Runtime::QtUi
