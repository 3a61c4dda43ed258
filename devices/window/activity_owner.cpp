#include "activity_owner.h"

#include "application.h"
#include "link.h"

#include <QTimer>

using i18n::Status;

namespace {
// What a stopped or failed activity reports instead of "Transmission...".
Status failureOf(Activity activity)
{
    switch (activity) {
    case Activity::Activation:
    case Activity::Read:
    case Activity::LivePoll: return Status::ReadFail;
    default: return Status::WriteFail;
    }
}
} // namespace

ActivityOwner::ActivityOwner(Link &link, const ActivityTable &table, Window window, QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_table(table)
    , m_window(std::move(window))
    , m_chain(link, this)
{}

Response ActivityOwner::responseTo(WindowEvent event) const
{
    if (m_inner.activity != Activity::Idle) {
        const Response inner = m_table.response(m_inner.activity, event);
        if (inner == Response::Refuse)
            return inner;
    }
    return m_table.response(m_current.activity, event);
}

Response ActivityOwner::respond(WindowEvent event)
{
    // The work inside the activity answers first: it may refuse the event
    // or stop for it.
    if (m_inner.activity != Activity::Idle) {
        const Response inner = m_table.response(m_inner.activity, event);
        if (inner == Response::Refuse)
            return inner;
        if (inner == Response::Stop)
            stopInner();
    }
    return m_table.response(m_current.activity, event);
}

void ActivityOwner::awaitLine()
{
    m_link.arbiter().awaitFree();
}

bool ActivityOwner::begin(WindowEvent event, const QList<QTimer *> &timers, bool controlsOff)
{
    awaitLine();
    const Activity wanted = activityOf(event);
    switch (respond(event)) {
    case Response::Refuse: return false;
    case Response::Within:
        if (wanted != Activity::Idle) {
            m_inner = {wanted, timers};
            ++m_begun;
            m_lastBegun = wanted;
        }
        return true;
    case Response::Stop: stop(); [[fallthrough]];
    case Response::Go:
        if (wanted == Activity::Idle)
            return true;
        m_current = {wanted, timers};
        ++m_begun;
        m_lastBegun = wanted;
        if (controlsOff && holdsCommandControls(wanted))
            m_window.commandsOff();
        return true;
    }
    return false;
}

Response ActivityOwner::shellEvent(WindowEvent event)
{
    awaitLine();
    const Response response = respond(event);
    if (response == Response::Stop)
        stop();
    return response;
}

void ActivityOwner::end(Activity activity, Status status)
{
    showStatus(status);
    end(activity);
}

void ActivityOwner::end(Activity activity)
{
    if (activity == Activity::Idle)
        return;
    if (activity == m_inner.activity) {
        const Running ended = std::exchange(m_inner, {});
        for (QTimer *timer : ended.timers)
            timer->stop();
        return;
    }
    if (activity != m_current.activity)
        return; // the ending of work that was stopped meanwhile
    for (QTimer *timer : std::as_const(m_current.timers))
        timer->stop();
    // Work that ran inside the activity goes on as the window's own.
    const Activity ended = std::exchange(m_current, std::exchange(m_inner, {})).activity;
    if (m_current.activity == Activity::Idle && holdsCommandControls(ended))
        controlsBack();
}

void ActivityOwner::controlsBack()
{
    m_window.commandsOff();
    m_window.commandsOn();
}

void ActivityOwner::stop(Activity keep)
{
    if (m_current.activity == keep && keep != Activity::Idle) {
        stopInner();
        return;
    }
    const Running inner = std::exchange(m_inner, {});
    const Running outer = std::exchange(m_current, {});
    m_chain.stop(); // nothing more is sent
    cleanUp(inner);
    cleanUp(outer);
    statusAfterStop(inner.activity != Activity::Idle ? inner.activity : outer.activity);
    if (holdsCommandControls(outer.activity))
        controlsBack();
}

void ActivityOwner::stopInner()
{
    if (m_inner.activity == Activity::Idle)
        return;
    const Running inner = std::exchange(m_inner, {});
    m_chain.stop();
    cleanUp(inner);
    statusAfterStop(inner.activity);
}

void ActivityOwner::cleanUp(const Running &running)
{
    for (QTimer *timer : running.timers)
        timer->stop();
    if (const auto it = m_cleanUps.find(running.activity); it != m_cleanUps.end())
        it->second();
}

void ActivityOwner::statusAfterStop(Activity stopped)
{
    // A command cut short never stays "under way".
    if (m_status == Status::Transmission)
        showStatus(failureOf(stopped));
}

void ActivityOwner::onStop(Activity activity, std::function<void()> cleanUp)
{
    m_cleanUps[activity] = std::move(cleanUp);
}

Activity ActivityOwner::work() const
{
    return m_inner.activity != Activity::Idle ? m_inner.activity : m_current.activity;
}

void ActivityOwner::runChain(RequestChain chain, ChainRunner::Finished finished, Status failure)
{
    const Activity work = this->work();
    if (m_lineGone)
        return; // a chain the failing work's ending started: nothing is sent either
    if (m_link.lineLost() && !m_link.reopenLost()) {
        m_lineGone = true;
        m_chain.stop();
        fail(work, failure);
        if (m_window.lineLost)
            m_window.lineLost();
        m_lineGone = false;
        return;
    }
    m_chain.start(std::move(chain), std::move(finished),
                  [this, work, failure](std::exception_ptr error) {
                      fail(work, failure);
                      showError(error);
                  });
}

void ActivityOwner::fail(Activity activity, Status status)
{
    if (activity != Activity::Idle && activity == m_inner.activity)
        stopInner();
    else if (activity != Activity::Idle && activity == m_current.activity)
        stop();
    showStatus(status);
}

void ActivityOwner::showStatus(Status status)
{
    m_status = status;
    m_window.showStatus(status);
}

void ActivityOwner::caught(const std::function<void()> &handler)
{
    const std::uint64_t begun = m_begun;
    try {
        handler();
    } catch (...) {
        // The work this handler started, if it still runs, fails with it.
        if (m_begun != begun && m_lastBegun != Activity::Idle &&
            (m_lastBegun == m_current.activity || m_lastBegun == m_inner.activity))
            fail(m_lastBegun, failureOf(m_lastBegun));
        showError(std::current_exception());
    }
}

void ActivityOwner::guarded(Status failure, const std::function<void()> &body)
{
    try {
        body();
    } catch (...) {
        if (work() != Activity::Idle)
            fail(work(), failure);
        throw;
    }
}

void ActivityOwner::showError(std::exception_ptr error)
{
    Application::runHandler([&error] { std::rethrow_exception(error); });
}
