#pragma once

#include "live_rules.h"
#include "request_chain.h"

#include <QList>
#include <QObject>

#include <functional>
#include <vector>

class DeviceWindow;
class QTimer;
class QWidget;

// The live "Measuring Value": "Read" (or "Start") tells the module to deliver
// live values (the start code, echo checked, sent once more on a mismatch),
// then polls the live registers on the window's repeating timer. Each tick
// collects the reply to the previous tick's request: a sound one is shown and
// "Read Success" reported, anything else "Read Fail" with the values kept.
// During polling only the "Stop" buttons are enabled; "Stop" and every action
// that stops the window's timers end it.
class LivePoll : public QObject
{
    Q_OBJECT

public:
    // Called with the live registers of a sound reply, as unsigned words.
    using Show = std::function<void(const std::vector<int> &words)>;

    LivePoll(DeviceWindow &window, QTimer *timer, const LiveRules &rules,
             const QList<QWidget *> &stopButtons, Show show);

    void start();
    void stop();
    // The repeating timer's tick.
    void tick();
    bool isRunning() const { return m_poll.isRunning(); }

private:
    void report(bool sound);

    DeviceWindow &m_window;
    LiveRules m_rules;
    QList<QWidget *> m_stopButtons;
    Show m_show;
    Poll m_poll;
};
