// Ends a benchmark program once its first window's first frame is painted and handed to the
// screen. Installed on the application before any window exists, so that every program
// measured pays the same for it.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>

#include <cstdlib>

class FirstFrame final : public QObject
{
public:
    FirstFrame() { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // The window paints first, its children after it, and the frame goes to the screen
        // when the paint pass ends: the queued call runs after that. It leaves at once, so
        // that what is measured is start to first frame, not the tidying up after it.
        if (event->type() == QEvent::Paint && !m_seen && watched->isWidgetType()
            && static_cast<QWidget *>(watched)->isWindow()) {
            m_seen = true;
            QMetaObject::invokeMethod(qApp, [] { std::_Exit(0); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    bool m_seen = false;
};
