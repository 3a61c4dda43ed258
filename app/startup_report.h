#pragma once

// The start-up benchmark's view of a program: with QUORELWIN_STARTUP_REPORT
// set, the program prints "visible" once its main window has painted, then
// runs `settle` (what start-up still does after that), prints "ready" and
// ends. The benchmark times both lines from the moment it started the
// program. Header only: the bare reference window of the benchmark uses it
// too, without the program's libraries.
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>

#include <cstdio>
#include <functional>
#include <utility>

class StartupReport : public QObject
{
public:
    StartupReport(QWidget &window, std::function<void()> settle)
        : QObject(&window)
        , m_settle(std::move(settle))
    {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            // Queued: runs once this paint has reached the window.
            QMetaObject::invokeMethod(
                this, [this] { report(); }, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void report()
    {
        std::fputs("visible\n", stdout);
        std::fflush(stdout);
        if (m_settle)
            m_settle();
        std::fputs("ready\n", stdout);
        std::fflush(stdout);
        QCoreApplication::exit(0);
    }

    std::function<void()> m_settle;
    bool m_seen = false;
};
