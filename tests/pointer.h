// Drives the real pointer through a window, remembering which buttons a test holds so that
// cleanup() can let them go after a failure.
#pragma once

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include "runtime/form.h"
#include "runtime/qt/peers.h"

#include <functional>

// The toolkit's window of a form, and the widget that shows a control (none for a hidden
// store): their peers, as the Qt back end made them.
inline QWidget *windowOf(const Runtime::Form &form)
{
    return dynamic_cast<QWidget *>(form.peer());
}

inline QWidget *widgetOf(const Runtime::Control &control)
{
    const auto *peer = dynamic_cast<const Runtime::QtUi::WidgetPeer *>(control.peer());
    return peer ? peer->widget() : nullptr;
}

// Where a position is measured from: a widget, or the widget that shows a control.
struct On
{
    const QWidget *widget = nullptr;
    On() = default;
    On(const QWidget *w) : widget(w) { }
    On(const Runtime::Control *c) : widget(c ? widgetOf(*c) : nullptr) { }
};

class Pointer
{
public:
    explicit Pointer(QWidget *window = nullptr) : m_window(window) { }
    void setWindow(QWidget *window) { m_window = window; }
    void setWindow(const Runtime::Form &form) { m_window = windowOf(form); }

    // Positions are in the window's client coordinates, or relative to `on` when given.
    QPoint at(On on, QPoint pos) const
    {
        return on.widget ? on.widget->mapTo(m_window, pos) : pos;
    }
    void move(QPoint pos, On on = {})
    {
        QTest::mouseMove(handle(), at(on, pos));
    }
    void press(Qt::MouseButton button, QPoint pos, On on = {}, Qt::KeyboardModifiers modifiers = {})
    {
        m_held |= button;
        QTest::mousePress(handle(), button, modifiers, at(on, pos));
    }
    void release(Qt::MouseButton button, QPoint pos, On on = {}, Qt::KeyboardModifiers modifiers = {})
    {
        m_held &= ~Qt::MouseButtons(button);
        QTest::mouseRelease(handle(), button, modifiers, at(on, pos));
    }
    // A whole click: a move onto the place (as a hand would make), press, release.
    void click(Qt::MouseButton button, QPoint pos, On on = {})
    {
        move(pos, on);
        press(button, pos, on);
        release(button, pos, on);
    }
    void releaseAll()
    {
        if (!m_window)
            return;
        for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
            if (m_held & b)
                release(b, QPoint(1, 1));
        }
    }

private:
    QWindow *handle() const { return m_window->windowHandle(); }

    QWidget *m_window;
    Qt::MouseButtons m_held;
};

// While it lives, an event loop that never ends is left after ten seconds with status 99.
class NeverHang
{
public:
    NeverHang()
    {
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, qApp, [] { QCoreApplication::exit(99); });
        m_timer.start(10000);
    }

private:
    QTimer m_timer;
};

// Runs `action` on the next modal window to open, from inside its event loop. Arm it before
// the call that opens the window.
inline void onNextModal(std::function<void(QWidget *)> action, int attempts = 200)
{
    QTimer::singleShot(10, [action, attempts] {
        if (QWidget *modal = QApplication::activeModalWidget(); modal && modal->isVisible())
            action(modal);
        else if (attempts > 0)
            onNextModal(action, attempts - 1);
    });
}
