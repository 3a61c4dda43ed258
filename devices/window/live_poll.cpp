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
    appendLiveStart(chain, m_rules);
    const Poll::Request request = livePollRequest(m_rules);
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
        m_window.link().arbiter().receive();
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
