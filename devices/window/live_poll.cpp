#include "live_poll.h"

#include "device_window.h"
#include "link.h"

#include <QWidget>

using i18n::Status;

LivePoll::LivePoll(DeviceWindow &window, QTimer *timer, const LiveRules &rules,
                   const QList<QWidget *> &stopButtons, Show show)
    : QObject(&window)
    , m_window(window)
    , m_rules(rules)
    , m_stopButtons(stopButtons)
    , m_show(std::move(show))
    , m_poll(window.link(), timer)
{}

void LivePoll::start()
{
    m_window.BtnAllOFF();
    for (QWidget *button : std::as_const(m_stopButtons))
        button->setEnabled(true);

    RequestChain chain;
    if (m_rules.commandRegister >= 0)
        chain.write(5, m_rules.commandRegister, m_rules.startCode)
            .drained(true, m_rules.drainBeforeRetry)
            .retryUnchecked();
    const Poll::Request request{4, m_rules.reg, m_rules.count, m_rules.drainBeforePoll};
    chain.action([this, request] {
        m_poll.start(
            request, [this](bool sound) { report(sound); }, true);
    });
    m_window.runCommandChain(std::move(chain), Status::ReadFail);
}

void LivePoll::stop()
{
    m_window.TimerAllOFF();
    m_window.BtnAllON();
    if (m_rules.drainOnStop)
        m_window.link().ReadReply();
}

void LivePoll::tick()
{
    m_poll.tick();
}

void LivePoll::report(bool sound)
{
    if (!sound) {
        m_window.showStatus(Status::ReadFail);
        return;
    }
    std::vector<int> words;
    for (int i = 0; i < m_rules.count; ++i)
        words.push_back(m_window.link().replyRegister(i));
    m_show(words);
    m_window.showStatus(Status::ReadSuccess);
}
