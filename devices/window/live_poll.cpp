#include "live_poll.h"

#include "activity_owner.h"
#include "link.h"

#include <QTimer>
#include <QWidget>

using i18n::Status;

LivePoll::LivePoll(ActivityOwner &owner, QTimer *timer, const LiveRules &rules,
                   const QList<QWidget *> &stopButtons, Show show)
    : QObject(&owner)
    , m_owner(owner)
    , m_rules(rules)
    , m_stopButtons(stopButtons)
    , m_show(std::move(show))
    , m_poll(owner.link(), timer)
{
    m_owner.onStop(Activity::LivePoll, [this] {
        m_poll.stop();
        emit ended();
    });
}

void LivePoll::start(const std::function<void()> &starting, const Before &before)
{
    if (!m_owner.begin(WindowEvent::LiveStart, {m_poll.timer()}))
        return;
    if (starting)
        starting();
    for (QWidget *button : std::as_const(m_stopButtons))
        button->setEnabled(true);

    RequestChain chain;
    if (before.steps)
        before.steps(chain);
    appendLiveStart(chain, m_rules);
    const Poll::Request request = livePollRequest(m_rules);
    chain.action([this, request] {
        m_poll.start(
            request, [this](bool sound) { report(sound); }, true);
        emit started();
    });
    m_owner.runChain(
        std::move(chain),
        [this, failed = before.failed](bool ok) {
            if (ok)
                return;
            m_owner.end(Activity::LivePoll);
            emit ended();
            if (failed)
                failed();
            else
                m_owner.showStatus(Status::ReadFail);
        },
        Status::ReadFail);
}

void LivePoll::stop()
{
    // "Stop" follows the exchanges under way.
    m_owner.awaitLine();
    m_poll.stop();
    m_owner.end(Activity::LivePoll);
    emit ended();
    if (m_rules.drainOnStop)
        m_owner.link().arbiter().receive();
}

void LivePoll::tick()
{
    m_poll.tick();
}

void LivePoll::report(bool sound)
{
    if (!sound) {
        m_owner.showStatus(Status::ReadFail);
        emit polled(false);
        return;
    }
    std::vector<int> words;
    for (int i = 0; i < m_rules.count; ++i)
        words.push_back(m_owner.link().replyRegister(i));
    m_show(words);
    m_owner.showStatus(Status::ReadSuccess);
    emit polled(true);
}
