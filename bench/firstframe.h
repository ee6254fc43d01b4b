// Ends a benchmark program once its window's first frame is painted and handed to the screen.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>

#include <cstdlib>

class FirstFrame final : public QObject
{
public:
    explicit FirstFrame(QWidget *window) : QObject(window), m_window(window) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // The window paints first, its children after it, and the frame goes to the screen
        // when the paint pass ends: the queued call runs after that. It leaves at once, so
        // that what is measured is start to first frame, not the tidying up after it.
        if (watched == m_window && event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QMetaObject::invokeMethod(qApp, [] { std::_Exit(0); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    QWidget *m_window;
    bool m_seen = false;
};
