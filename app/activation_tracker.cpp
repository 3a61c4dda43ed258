#include "activation_tracker.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

ActivationTracker &ActivationTracker::instance()
{
    static ActivationTracker *tracker = new ActivationTracker;
    return *tracker;
}

ActivationTracker::ActivationTracker()
{
    qApp->installEventFilter(this);
}

void ActivationTracker::addProgramWindow(QWidget *window)
{
    m_programWindows.insert(window);
    connect(window, &QObject::destroyed, this, [this, window] { m_programWindows.remove(window); });
}

void ActivationTracker::reset()
{
    m_last = nullptr;
}

void ActivationTracker::windowActivated(QWidget *window)
{
    if (!window || !m_programWindows.contains(window))
        return; // another application, or a message box of ours
    const bool cameFromElsewhere = m_last != window;
    m_last = window;
    if (cameFromElsewhere)
        emit activated(window);
}

bool ActivationTracker::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::WindowActivate && watched->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(watched);
        if (widget->isWindow() && widget == QApplication::activeWindow())
            windowActivated(widget);
    }
    return QObject::eventFilter(watched, event);
}
