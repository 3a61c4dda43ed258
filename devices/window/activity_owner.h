#pragma once

#include "activity_tables.h"
#include "request_chain.h"
#include "status_messages.h"

#include <QList>
#include <QObject>

#include <cstdint>
#include <exception>
#include <functional>
#include <map>

class Link;
class QTimer;

// The one place where a window's work starts, ends and stops. The window
// does one activity at a time (activity_tables.h); its table says what each
// event does meanwhile. Every event first lets the chain make the exchanges
// it holds the line for (LineArbiter), then gets the table's answer.
//
// An activity starts with the command controls off (BtnAllOFF), noting the
// timers it runs on. Every ending, success, failure or stop, stops those
// timers and gives the controls back as the window at rest shows them
// (BtnAllOFF, then BtnAllON, so buttons only a running point had are off
// again), unless work the activity let run inside it goes on: that work then
// becomes the window's activity. Trim writes and mode changes leave the
// controls alone.
// A stop sends nothing more, clears the part's own state (onStop) and never
// leaves "Transmission..." in the status label.
//
// Exceptions stop here: a handler run through caught() or a chain step that
// throws fails the work it started (its failure status, the controls back)
// and the application's error box shows the exception.
//
// The parts of a window (trim, live values, calibration points, the zero/span
// run) know the window only through this.
class ActivityOwner : public QObject
{
    Q_OBJECT

public:
    // What the owner switches on its window.
    struct Window
    {
        std::function<void()> commandsOff; // BtnAllOFF
        std::function<void()> commandsOn;  // BtnAllON
        std::function<void(i18n::Status)> showStatus;
        std::function<void()> lineLost; // tells that the adapter is gone for good
    };

    ActivityOwner(Link &link, const ActivityTable &table, Window window, QObject *parent);

    Link &link() const { return m_link; }
    ChainRunner &chain() { return m_chain; }
    const ActivityTable &table() const { return m_table; }
    Activity current() const { return m_current.activity; }
    // Work running inside the current activity (Idle for none).
    Activity inner() const { return m_inner.activity; }
    // The table's answer to an event now.
    Response responseTo(WindowEvent event) const;

    // A command control: true when its work may go on. Go (after a Stop)
    // starts the command's activity, running on `timers`, with the command
    // controls off unless controlsOff is false; Within lets it run inside
    // the current one.
    bool begin(WindowEvent event, const QList<QTimer *> &timers = {}, bool controlsOff = true);
    // An event of the shell (Scan > Start, closing, the end of service mode,
    // a file command, the confirmation's answer): the table's answer, the
    // activity already stopped when it says Stop.
    Response shellEvent(WindowEvent event);
    // The running activity's own controls ("Done", "Stop", a later point)
    // wait for the held exchanges too.
    void awaitLine();
    // The activity ends (success or failure); with a status shown first.
    void end(Activity activity);
    void end(Activity activity, i18n::Status status);
    // Stops the current activity and the work inside it; with keep, an
    // activity of that kind goes on and only the work inside it stops.
    void stop(Activity keep = Activity::Idle);
    // A part's own clean-up when its activity is stopped.
    void onStop(Activity activity, std::function<void()> cleanUp);
    // BtnAllOFF, for a part that switches its own controls within its activity.
    void commandsOff() { m_window.commandsOff(); }

    // Runs a chain for the work under way (the work inside the activity, or
    // the activity). An exception in a step fails that work with `failure`.
    // A port lost since the last command (the adapter pulled out) is opened
    // once more, the same port at the same rate; when it stays closed the
    // work fails with `failure`, nothing sent, and the window says that a new
    // scan is needed.
    void runChain(RequestChain chain, ChainRunner::Finished finished, i18n::Status failure);
    Activity work() const;

    void showStatus(i18n::Status status);

    // Runs a handler as its control, menu or timer calls it: an exception
    // fails the work it started and shows the error box.
    void caught(const std::function<void()> &handler);
    // The body of a handler that may throw after starting its work: the
    // exception fails that work with `failure`, then goes on to the caller.
    void guarded(i18n::Status failure, const std::function<void()> &body);
    static void showError(std::exception_ptr error);

private:
    struct Running
    {
        Activity activity = Activity::Idle;
        QList<QTimer *> timers;
    };

    Response respond(WindowEvent event);
    void stopInner();
    void fail(Activity activity, i18n::Status status);
    void cleanUp(const Running &running);
    void statusAfterStop(Activity stopped);
    // The command controls as a window at rest shows them.
    void controlsBack();

    Link &m_link;
    const ActivityTable &m_table;
    Window m_window;
    ChainRunner m_chain;
    Running m_current;
    Running m_inner;
    std::map<Activity, std::function<void()>> m_cleanUps;
    i18n::Status m_status = i18n::Status::ReadSuccess;
    std::uint64_t m_begun = 0; // activities and inner work started so far
    Activity m_lastBegun = Activity::Idle;
    bool m_lineGone = false; // work is failing because its port could not be reopened
};
