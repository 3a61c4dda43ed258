#include "window_commands.h"

#include "activity_owner.h"
#include "link.h"
#include "message_sink.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

using i18n::Status;

WindowCommands::WindowCommands(ActivityOwner &owner, QWidget &window)
    : QObject(&owner)
    , m_owner(owner)
    , m_window(window)
{}

Link &WindowCommands::link() const
{
    return m_owner.link();
}

int WindowCommands::devVer() const
{
    return link().ComBuf[cb::DevVer];
}

int WindowCommands::langCode() const
{
    return link().ComBuf[cb::LangCode];
}

void WindowCommands::showStatus(Status status)
{
    m_owner.showStatus(status);
}

void WindowCommands::runChain(RequestChain chain, Status success, Status failure,
                              std::function<void(bool)> after)
{
    runChain(
        std::move(chain),
        [this, success, failure, after = std::move(after), work = m_owner.work()](bool ok) {
            m_owner.end(work, ok ? success : failure);
            if (after)
                after(ok);
            showPending();
        },
        failure);
}

void WindowCommands::runChain(RequestChain chain, ChainRunner::Finished finished, Status failure)
{
    m_pending.clear();
    m_owner.runChain(std::move(chain), std::move(finished), failure);
}

QAction *WindowCommands::addMenuEntry(QMenu *menu, QAction *before, const char *name,
                                      const char *text, std::function<void()> handler)
{
    auto *action = new QAction(QString::fromLatin1(text), menu);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this,
            [this, handler = std::move(handler)] { m_owner.caught(handler); });
    menu->insertAction(before, action);
    return action;
}

void WindowCommands::showPending()
{
    // Shown once the chain has ended and the controls are back: the box runs
    // an event loop of its own.
    if (m_pending.empty())
        return;
    const std::string text = std::move(m_pending);
    m_pending.clear();
    showMessage(text);
}

void WindowCommands::tell(i18n::Advice advice, const QString &details) const
{
    QString text = i18n::adviceText(advice, langCode());
    if (!details.isEmpty())
        text += "\n" + details;
    showMessage(text.toStdString());
}
