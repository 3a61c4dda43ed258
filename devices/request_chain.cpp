#include "request_chain.h"

#include "link.h"

// --- steps -------------------------------------------------------------------

ChainStep &ChainStep::waitFor(QTimer *t)
{
    timer = t;
    return *this;
}

ChainStep &ChainStep::onlyIf(std::function<bool()> condition)
{
    when = std::move(condition);
    return *this;
}

ChainStep &ChainStep::drained(bool first, bool again)
{
    drain = first;
    drainRetry = again;
    return *this;
}

ChainStep &ChainStep::to(int slaveAddress)
{
    address = slaveAddress;
    return *this;
}

ChainStep &ChainStep::valueFrom(std::function<int()> value)
{
    valueNow = std::move(value);
    return *this;
}

ChainStep &ChainStep::echo()
{
    check = ReplyCheck::Echo;
    return *this;
}

ChainStep &ChainStep::sound(int count)
{
    check = ReplyCheck::Registers;
    registers = count;
    return *this;
}

ChainStep &ChainStep::retryOnce()
{
    retry = Retry::Once;
    return *this;
}

ChainStep &ChainStep::retryUnchecked()
{
    retry = Retry::Unchecked;
    return *this;
}

ChainStep &ChainStep::retryAs(int function)
{
    retryFunction = function;
    return *this;
}

ChainStep &ChainStep::orCarryOn()
{
    mustPass = false;
    return *this;
}

ChainStep &ChainStep::andThen(std::function<bool()> next)
{
    then = std::move(next);
    return *this;
}

ChainStep &ChainStep::andDo(std::function<void()> next)
{
    if (!next) {
        then = nullptr;
        return *this;
    }
    then = [next = std::move(next)] {
        next();
        return true;
    };
    return *this;
}

ChainStep &ChainStep::onFail(std::function<void()> handler)
{
    failed = std::move(handler);
    return *this;
}

// --- chains ------------------------------------------------------------------

ChainStep &RequestChain::add()
{
    return m_steps.emplace_back();
}

ChainStep &RequestChain::exchange(int function, int reg, int value)
{
    ChainStep &step = add();
    step.send = true;
    step.collect = true;
    step.function = function;
    step.reg = reg;
    step.value = value;
    return step;
}

ChainStep &RequestChain::write(int function, int reg, int value)
{
    return exchange(function, reg, value).echo();
}

ChainStep &RequestChain::read(int function, int reg, int count)
{
    return exchange(function, reg, count).sound(count);
}

ChainStep &RequestChain::send(int function, int reg, int value)
{
    ChainStep &step = exchange(function, reg, value);
    step.collect = false;
    return step;
}

ChainStep &RequestChain::collect()
{
    ChainStep &step = add();
    step.collect = true;
    return step;
}

ChainStep &RequestChain::drain()
{
    ChainStep &step = add();
    step.drain = true;
    return step;
}

ChainStep &RequestChain::action(std::function<void()> run)
{
    return add().andDo(std::move(run));
}

ChainStep &RequestChain::verify(std::function<bool()> run)
{
    return add().andThen(std::move(run));
}

void RequestChain::append(const RequestChain &other)
{
    m_steps.insert(m_steps.end(), other.m_steps.begin(), other.m_steps.end());
}

// --- runner ------------------------------------------------------------------

ChainRunner::ChainRunner(Link &link, QObject *parent)
    : QObject(parent)
    , m_link(link)
{
    m_continue.setSingleShot(true);
    m_continue.setInterval(0);
    connect(&m_continue, &QTimer::timeout, this, &ChainRunner::run);
}

ChainRunner::~ChainRunner()
{
    m_link.arbiter().release(*this);
}

void ChainRunner::start(RequestChain chain, Finished finished, Aborted aborted)
{
    stop();
    m_steps = std::move(chain.steps());
    m_index = 0;
    m_attempt = 0;
    m_timerDone = false;
    m_failedStep = -1;
    m_finished = std::move(finished);
    m_aborted = std::move(aborted);
    m_running = true;
    run();
}

void ChainRunner::stop()
{
    ++m_generation;
    m_continue.stop();
    if (m_running && m_awaited)
        m_awaited->stop();
    m_awaited = nullptr;
    m_running = false;
    m_link.arbiter().release(*this);
}

void ChainRunner::timerFired(QTimer *timer)
{
    if (!m_running || timer != m_awaited)
        return; // a tick left over from a chain that has ended
    timer->stop();
    m_awaited = nullptr;
    m_timerDone = true;
    run();
}

void ChainRunner::continueNow()
{
    if (!m_continue.isActive())
        return;
    m_continue.stop();
    run();
}

bool ChainRunner::completeHeld()
{
    // A step of this chain is the one that asks: the line is its own.
    if (m_inRun)
        return false;
    for (int i = 0; i < 100000 && m_running && m_continue.isActive(); ++i) {
        m_continue.stop();
        run();
    }
    return true;
}

void ChainRunner::run()
{
    LineArbiter &arbiter = m_link.arbiter();
    arbiter.awaitFree(this);
    arbiter.hold(*this);
    const bool outer = !m_inRun;
    m_inRun = true;
    runSteps();
    if (outer)
        m_inRun = false;
    // Between two held exchanges the line stays this chain's.
    if (!m_continue.isActive())
        arbiter.release(*this);
}

void ChainRunner::runSteps()
{
    const std::uint64_t generation = m_generation;
    // A step's own action may stop this chain or start another one.
    const auto replaced = [this, generation] { return m_generation != generation || !m_running; };
    try {
        while (m_index < m_steps.size()) {
            ChainStep &step = m_steps[m_index];
            if (m_attempt == 0 && !m_timerDone) {
                if (step.when && !step.when()) {
                    if (replaced())
                        return;
                    ++m_index;
                    continue;
                }
                if (step.timer) {
                    m_awaited = step.timer;
                    step.timer->start();
                    return;
                }
            }
            m_timerDone = false;
            bool waited = false;
            const Outcome outcome = attempt(step, waited);
            if (replaced())
                return;
            if (outcome == Outcome::Failed) {
                m_failedStep = static_cast<int>(m_index);
                if (step.failed)
                    step.failed();
                if (!replaced())
                    finish(false);
                return;
            }
            if (outcome == Outcome::Again) {
                m_attempt = 1;
            } else {
                ++m_index;
                m_attempt = 0;
            }
            if (waited && m_index < m_steps.size()) {
                m_continue.start();
                return;
            }
        }
        finish(true);
    } catch (...) {
        // The chain ends here (unless a step had already put another in its
        // place); its abort handler reports what went wrong.
        if (replaced())
            return;
        Finished finished = std::move(m_finished);
        Aborted aborted = std::move(m_aborted);
        stop();
        m_steps.clear();
        if (aborted)
            aborted(std::current_exception());
        else if (finished)
            finished(false);
    }
}

ChainRunner::Outcome ChainRunner::attempt(ChainStep &step, bool &waited)
{
    LineArbiter &line = m_link.arbiter();
    if (m_attempt == 0 ? step.drain : step.drainRetry) {
        line.receive();
        waited = true;
    }
    if (step.send) {
        const int address = step.address >= 0 ? step.address : m_link.ComBuf[cb::DevAddr];
        const int value = step.valueNow ? step.valueNow() : step.value;
        const int function =
            m_attempt == 1 && step.retryFunction ? step.retryFunction : step.function;
        line.send(address, function, step.reg, value);
    }
    if (step.collect) {
        line.receive();
        waited = true;
    }
    bool passed = checkPasses(step);
    if (!passed && m_attempt == 0 && step.retry != Retry::None)
        return Outcome::Again;
    if (!passed && m_attempt == 1 && step.retry == Retry::Unchecked)
        passed = true;
    if (!passed)
        return step.mustPass ? Outcome::Failed : Outcome::Passed;
    if (step.then && !step.then())
        return Outcome::Failed;
    return Outcome::Passed;
}

bool ChainRunner::checkPasses(const ChainStep &step) const
{
    switch (step.check) {
    case ReplyCheck::Echo: return m_link.EchoOk();
    case ReplyCheck::Registers: return m_link.ReplyOk(step.registers);
    case ReplyCheck::None: break;
    }
    return true;
}

void ChainRunner::finish(bool ok)
{
    m_running = false;
    m_awaited = nullptr;
    m_link.arbiter().release(*this);
    m_steps.clear();
    Finished finished = std::move(m_finished);
    m_finished = nullptr;
    m_aborted = nullptr;
    if (finished)
        finished(ok);
}

// --- polls -------------------------------------------------------------------

Poll::Poll(Link &link, QTimer *timer)
    : m_link(link)
    , m_timer(timer)
{}

void Poll::start(const Request &request, Report report, bool sendNow)
{
    m_request = request;
    m_report = std::move(report);
    m_running = true;
    if (sendNow)
        sendRequest();
    m_timer->start();
}

void Poll::stop()
{
    m_running = false;
    m_timer->stop();
}

bool Poll::isRunning() const
{
    return m_running && m_timer->isActive();
}

void Poll::tick()
{
    // A tick that falls due while a command holds the line follows its exchanges.
    m_link.arbiter().awaitFree();
    if (!isRunning())
        return;
    m_link.arbiter().receive();
    const bool sound = m_link.ReplyOk(m_request.count);
    if (m_report)
        m_report(sound);
    // The report may have stopped the poll (a window switching work).
    if (!isRunning())
        return;
    sendRequest();
}

void Poll::sendRequest()
{
    LineArbiter &line = m_link.arbiter();
    line.awaitFree();
    if (m_request.drain)
        line.receive();
    line.send(m_link.ComBuf[cb::DevAddr], m_request.function, m_request.reg, m_request.count);
}
