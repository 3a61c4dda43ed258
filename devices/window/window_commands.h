#pragma once

#include "advice_texts.h"
#include "request_chain.h"
#include "status_messages.h"

#include <QObject>

#include <functional>
#include <string>

class ActivityOwner;
class QAction;
class QMenu;
class Link;
class QWidget;

// What the parts of a device window (configuration page, configuration
// files, shared settings, commissioning record) share of it: the owner of
// its activities, the module's version index, the operator's language, and
// commands run as chains that end with a status. A message a chain leaves
// (a module lost after an address change) is shown once the chain has ended
// and the command controls are back.
class WindowCommands : public QObject
{
    Q_OBJECT

public:
    WindowCommands(ActivityOwner &owner, QWidget &window);

    ActivityOwner &activities() const { return m_owner; }
    Link &link() const;
    QWidget &window() const { return m_window; }
    int devVer() const;
    int langCode() const;
    void showStatus(i18n::Status status);

    // Runs the chain of the work under way to its ending: success shows
    // `success`, failure `failure`, the work ends (the command controls back)
    // and `after` runs. An exception inside a step ends it as a failure and
    // shows the application's error box.
    void runChain(RequestChain chain, i18n::Status success, i18n::Status failure,
                  std::function<void(bool ok)> after = {});
    // Runs a chain with an ending of its own; an exception shows `failure`
    // and ends the work.
    void runChain(RequestChain chain, ChainRunner::Finished finished, i18n::Status failure);

    // An entry of one of the window's menus, before `before`; its handler runs
    // as a command's does (an exception fails its work and shows the box).
    QAction *addMenuEntry(QMenu *menu, QAction *before, const char *name, const char *text,
                          std::function<void()> handler);

    // A message for the end of the chain under way; showPending shows it.
    void notePending(std::string text) { m_pending = std::move(text); }
    void showPending();
    // A message in the operator's language, with details (in English) below it.
    void tell(i18n::Advice advice, const QString &details = {}) const;

private:
    ActivityOwner &m_owner;
    QWidget &m_window;
    std::string m_pending;
};
