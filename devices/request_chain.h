#pragma once

#include "line_arbiter.h"

#include <QObject>
#include <QTimer>

#include <cstdint>
#include <exception>
#include <functional>
#include <vector>

class Link;

// What a step checks of the reply it collected.
enum class ReplyCheck {
    None,      // nothing: the step passes whatever came back
    Echo,      // a write's echo, received in this exchange
    Registers, // a sound answer to a read: address, function, byte count and CRC
};

// What a step does when its check fails.
enum class Retry {
    None,      // no second attempt
    Once,      // the request goes out once more and is checked again
    Unchecked, // the request goes out once more and the step passes whatever comes back
};

// One step of a chain: usually one exchange with a module ([drain,] request,
// reply, check), sometimes only a request whose reply a later step collects,
// only a receive, or only an action on the window.
struct ChainStep
{
    QTimer *timer = nullptr;    // wait for this timer's interval first (a window's named timer)
    std::function<bool()> when; // checked when the step comes up; false skips it
    bool drain = false;         // ReadReply before the request
    bool drainRetry = false;    // ReadReply before the repeated request
    bool send = false;          // the step sends a request
    int address = -1;           // -1: DevAddr when the request goes out
    int function = 0;
    int reg = 0;
    int value = 0;                 // value written, or register count of a read
    std::function<int()> valueNow; // the value, worked out when the request goes out
    bool collect = false;          // ReadReply after the request
    ReplyCheck check = ReplyCheck::None;
    int registers = 0; // count a Registers check expects
    Retry retry = Retry::None;
    int retryFunction = 0;        // function of the repeated request; 0: the same
    bool mustPass = true;         // false: a failed check lets the chain go on
    std::function<bool()> then;   // after the step passed; false fails the chain
    std::function<void()> failed; // when the step fails the chain

    ChainStep &waitFor(QTimer *t);
    ChainStep &onlyIf(std::function<bool()> condition);
    // ReadReply before the request, and before its repetition when retry is set.
    ChainStep &drained(bool first = true, bool again = true);
    ChainStep &to(int slaveAddress);
    ChainStep &valueFrom(std::function<int()> value);
    ChainStep &echo();
    ChainStep &sound(int count);
    ChainStep &retryOnce();
    ChainStep &retryUnchecked();
    // The repeated request goes out with another function (store codes first
    // sent with function 6 are repeated with function 5).
    ChainStep &retryAs(int function);
    ChainStep &orCarryOn();
    // Runs after the step passed; false fails the chain.
    ChainStep &andThen(std::function<bool()> next);
    // Runs after the step passed.
    ChainStep &andDo(std::function<void()> next);
    ChainStep &onFail(std::function<void()> handler);
};

// The steps of one command of a window, in the order they go on the wire.
class RequestChain
{
public:
    // A request and its reply: request, ReadReply.
    ChainStep &exchange(int function, int reg, int value);
    // A write with its echo check (function 5 or 6).
    ChainStep &write(int function, int reg, int value);
    // A read with its reply checked for soundness (function 3 or 4).
    ChainStep &read(int function, int reg, int count);
    // A request whose reply a later step collects (collect()).
    ChainStep &send(int function, int reg, int value);
    // Collects the reply to the request last sent.
    ChainStep &collect();
    // ReadReply alone, to drain the line.
    ChainStep &drain();
    // A step without traffic.
    ChainStep &action(std::function<void()> run);
    // A step without traffic that may fail the chain (false).
    ChainStep &verify(std::function<bool()> run);

    void append(const RequestChain &other);
    bool empty() const { return m_steps.empty(); }
    std::size_t size() const { return m_steps.size(); }
    const std::vector<ChainStep> &steps() const { return m_steps; }
    std::vector<ChainStep> &steps() { return m_steps; }

private:
    ChainStep &add();
    std::vector<ChainStep> m_steps;
};

// Runs one chain at a time for a window. The first steps run at once; after
// every step that waited on the line (a drain or a reply) the runner returns
// to the event loop and goes on from a zero-time continuation, so no handler
// holds the window longer than one exchange. A step with a timer waits for
// that timer: the window's named handler (Timer4Timer...) hands the tick back
// with timerFired(). A repeated request is an exchange of its own.
//
// The runner holds the line (LineArbiter) from a start or a timer's tick until
// the chain waits for its next timer or ends: the exchanges that one handler
// of the window makes in one go are never split by another user of the line,
// who makes them happen first (completeHeld) and then follows.
//
// Stopping sends nothing more. An exception from a step stops the chain and
// goes no further: the abort handler gets it (without one, the chain ends as
// failed).
class ChainRunner
    : public QObject
    , public LineArbiter::Holder
{
    Q_OBJECT

public:
    using Finished = std::function<void(bool ok)>;
    using Aborted = std::function<void(std::exception_ptr error)>;

    explicit ChainRunner(Link &link, QObject *parent = nullptr);
    ~ChainRunner() override;

    // Stops any chain still running, then starts this one.
    void start(RequestChain chain, Finished finished, Aborted aborted = {});
    void stop();
    bool isRunning() const { return m_running; }

    // The named timer the chain waits for, or nullptr.
    QTimer *awaitedTimer() const { return m_running ? m_awaited : nullptr; }
    // The next step runs from the event loop.
    bool continuing() const { return m_continue.isActive(); }
    // A window timer ticked: its step runs when the chain waits for it.
    void timerFired(QTimer *timer);
    // Runs the pending continuation at once (tests, which drive the event loop
    // themselves).
    void continueNow();
    // Runs the continuations of the held exchanges at once, up to the chain's
    // next timer or its end (someone else waits for the line).
    bool completeHeld() override;

    // Position of the step that failed the last chain, -1 for none.
    int failedStep() const { return m_failedStep; }

private:
    enum class Outcome { Passed, Again, Failed };

    void run();
    void runSteps();
    Outcome attempt(ChainStep &step, bool &waited);
    bool checkPasses(const ChainStep &step) const;
    void finish(bool ok);

    Link &m_link;
    std::vector<ChainStep> m_steps;
    std::size_t m_index = 0;
    int m_attempt = 0;
    bool m_timerDone = false;
    bool m_running = false;
    bool m_inRun = false; // a step runs: the line is in use right now
    int m_failedStep = -1;
    std::uint64_t m_generation = 0;
    QTimer *m_awaited = nullptr;
    QTimer m_continue;
    Finished m_finished;
    Aborted m_aborted;
};

// A periodic exchange on a repeating named timer (live values, calibration
// counts): each tick collects and checks the reply to the previous tick's
// request, reports it, and sends the next request. Its reply is read by the
// next tick, so the window is free between ticks.
class Poll
{
public:
    struct Request
    {
        int function = 4;
        int reg = 0;
        int count = 1;
        bool drain = false; // ReadReply before each request, the first one included
    };
    // Called with each reply: sound or not.
    using Report = std::function<void(bool sound)>;

    Poll(Link &link, QTimer *timer);

    // Starts the timer; with sendNow the first request goes out at once, so
    // that the first tick finds its reply.
    void start(const Request &request, Report report, bool sendNow);
    void stop();
    bool isRunning() const;
    void tick();
    QTimer *timer() const { return m_timer; }

private:
    void sendRequest();

    Link &m_link;
    QTimer *m_timer;
    Request m_request;
    Report m_report;
    bool m_running = false;
};
