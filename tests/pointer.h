// Drives the real pointer through a window, remembering which buttons a test holds so that
// cleanup() can let them go after a failure.
#pragma once

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <functional>

class Pointer
{
public:
    explicit Pointer(QWidget *window = nullptr) : m_window(window) { }
    void setWindow(QWidget *window) { m_window = window; }

    // Positions are in the window's client coordinates, or relative to `widget` when given.
    QPoint at(const QWidget *widget, QPoint pos) const
    {
        return widget ? widget->mapTo(m_window, pos) : pos;
    }
    void move(QPoint pos, const QWidget *widget = nullptr)
    {
        QTest::mouseMove(handle(), at(widget, pos));
    }
    void press(Qt::MouseButton button, QPoint pos, const QWidget *widget = nullptr,
               Qt::KeyboardModifiers modifiers = {})
    {
        m_held |= button;
        QTest::mousePress(handle(), button, modifiers, at(widget, pos));
    }
    void release(Qt::MouseButton button, QPoint pos, const QWidget *widget = nullptr,
                 Qt::KeyboardModifiers modifiers = {})
    {
        m_held &= ~Qt::MouseButtons(button);
        QTest::mouseRelease(handle(), button, modifiers, at(widget, pos));
    }
    // A whole click: a move onto the place (as a hand would make), press, release.
    void click(Qt::MouseButton button, QPoint pos, const QWidget *widget = nullptr)
    {
        move(pos, widget);
        press(button, pos, widget);
        release(button, pos, widget);
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
