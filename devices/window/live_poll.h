#pragma once

#include "live_rules.h"
#include "request_chain.h"

#include <QList>
#include <QObject>

#include <functional>
#include <vector>

class ActivityOwner;
class QTimer;
class QWidget;

// The live "Measuring Value": "Read" (or "Start") tells the module to deliver
// live values (the start code, echo checked, sent once more on a mismatch),
// then polls the live registers on the window's repeating timer. Each tick
// collects the reply to the previous tick's request: a sound one is shown and
// "Read Success" reported, anything else "Read Fail" with the values kept.
// During polling only the "Stop" buttons are enabled; "Stop" ends it, and
// every event the window's table lets stop it does so too.
class LivePoll : public QObject
{
    Q_OBJECT

public:
    // Called with the live registers of a sound reply, as unsigned words.
    using Show = std::function<void(const std::vector<int> &words)>;
    // Steps a window makes before the start code (a check of the module);
    // when one fails, `failed` reports it instead of "Read Fail".
    struct Before
    {
        std::function<void(RequestChain &chain)> steps;
        std::function<void()> failed;
    };

    LivePoll(ActivityOwner &owner, QTimer *timer, const LiveRules &rules,
             const QList<QWidget *> &stopButtons, Show show);

    // Starts polling unless the window's table refuses it now; starting
    // runs once it has started.
    void start(const std::function<void()> &starting = {}, const Before &before = {});
    void stop();
    // The repeating timer's tick.
    void tick();
    bool isRunning() const { return m_poll.isRunning(); }

signals:
    // The poll runs (its first request is out).
    void started();
    // A poll tick: its reply was sound (and shown) or not.
    void polled(bool sound);
    // The live values ended: "Stop", a failed start, or a stop by the window.
    void ended();

private:
    void report(bool sound);

    ActivityOwner &m_owner;
    LiveRules m_rules;
    QList<QWidget *> m_stopButtons;
    Show m_show;
    Poll m_poll;
};
