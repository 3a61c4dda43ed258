#pragma once

#include "family_window.h"

#include "activity_owner.h"
#include "configuration_page.h"
#include "request_chain.h"
#include "shared_settings.h"
#include "status_messages.h"

#include <QList>
#include <QPointer>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CalibrationRunner;
class Commissioning;
class ConfigurationFileMenu;
class ExitEdit;
class QLabel;
class QLineEdit;
class QTimer;
class QWidget;
class QTabWidget;
class StatusLabel;
class TrimBinding;
class WindowCommands;

// What every family window of a module stands on, between the shell of menus
// and the family's own pages: its named timers, the command controls that
// BtnAllOFF and BtnAllON switch, the status label, and the parts it is
// composed of, each with one job: the owner of its activities (which runs
// its commands one exchange at a time and answers the events that meet
// them, from the window's activity table), the configuration page (read,
// input check, write), the configuration files (File menu), the shared
// settings (information block, address and baud, serial number), the
// factory functions of service mode and the commissioning record.
class DeviceWindow : public FamilyWindow
{
    Q_OBJECT

public:
    DeviceWindow(const QString &className, Link &link, TForm3 &scan, const QString &helpStem = {});
    ~DeviceWindow() override;

    // Scan > Start and closing: the activity under way stops, as the
    // window's table says.
    void stopWork() override;
    void closing() override;
    // Service mode shows or hides the factory functions: pages (their tabs)
    // and other widgets. Leaving it returns to the first page; work on the
    // pages it hides (a calibration point) ends unstored.
    void serviceModeChanged(bool on) override;

    // Disables / enables the window's command controls: two sets, since
    // several windows enable other controls than they disable.
    virtual void BtnAllOFF();
    virtual void BtnAllON();
    // Stops every named timer, poll and chain of the window, and the work
    // under way with them: nothing more is sent. A timer kept through it (a
    // zero step's) runs on with its work.
    void TimerAllOFF();

    int devVer() const;
    void showStatus(i18n::Status status);
    StatusLabel *statusLabel() const { return m_status; }

    // The one place the window's work starts, ends and stops.
    ActivityOwner &activities() { return *m_activities; }
    // The chain of this window; isRunning() while a command is under way.
    ChainRunner &chain() { return m_activities->chain(); }
    bool busy() const { return m_activities->chain().isRunning(); }
    // Runs the chain of the work under way (WindowCommands::runChain).
    void runChain(RequestChain chain, i18n::Status success, i18n::Status failure,
                  std::function<void(bool ok)> after = {});
    void runChain(RequestChain chain, ChainRunner::Finished finished, i18n::Status failure);
    // Runs what a tick of one of the window's named timers runs (its handler).
    void fireTimer(QTimer *timer);
    const QList<QTimer *> &timers() const { return m_timers; }

    // The live trend and log, and the commissioning record (File > Save Live
    // Log..., File > Save Report...).
    Commissioning &commissioning() { return *m_commissioning; }
    // The configuration files (File > Open / Save Configuration...).
    ConfigurationFileMenu &files() { return *m_files; }
    bool saveConfiguration(const QString &path);
    bool openConfiguration(const QString &path, bool takeSettings);

    // The input check of a field: a failing one turns red and sets
    // CheckFailed, a passing one gets its normal colour back.
    static void markChecked(ExitEdit *field, bool passes);

protected:
    // The window's page made in Designer, set up as its central widget.
    template<class Page>
    Page &setUpPage(const std::unique_ptr<Page> &ui)
    {
        auto *page = new QWidget(this);
        ui->setupUi(page);
        setCentralWidget(page);
        return *ui;
    }
    // A named timer of the window; handler is its published tick handler.
    template<class Window>
    QTimer *makeTimer(const char *name, int interval, void (Window::*handler)())
    {
        return addTimer(name, interval,
                        [this, handler] { (static_cast<Window *>(this)->*handler)(); });
    }
    // A named timer whose ticks nothing handles yet.
    QTimer *makeTimer(const char *name, int interval) { return addTimer(name, interval, {}); }
    // Connects a control's signal to its published handler, which runs
    // through the activity owner: an exception stops there.
    template<class Sender, class Signal, class Window>
    void on(Sender *sender, Signal signal, void (Window::*handler)())
    {
        connect(sender, signal, this, [this, handler] {
            m_activities->caught([this, handler] { (static_cast<Window *>(this)->*handler)(); });
        });
    }
    void setStatusLabel(StatusLabel *label) { m_status = label; }
    void setCommandControls(const QList<QWidget *> &disabled, const QList<QWidget *> &enabled);
    void setCommandControls(const QList<QWidget *> &controls)
    {
        setCommandControls(controls, controls);
    }
    // The commands and the calibration points' buttons: each Done is enabled
    // by its own point's Start only.
    void setCommandControls(const QList<QWidget *> &commands, const CalibrationRunner &points);
    // The output trim of the window: its controls follow BtnAllOFF/BtnAllON,
    // a sound read arms it, the record lists its points.
    void setTrim(TrimBinding *trim);
    // What every activation does first: unless the table refuses it now
    // (false: nothing happens), the activation starts, the trim selectors
    // wait for the next read, the first page, the scan's serial number and
    // version label (where given) are shown and the language applied.
    bool beginActivation(QTabWidget *pages, QLabel *serial = nullptr, QLabel *version = nullptr);
    // The factory functions of the window, hidden until service mode: pages
    // of `pages` and other widgets.
    void setFactoryFunctions(QTabWidget *pages, const QList<QWidget *> &factory);
    // A named timer that TimerAllOFF leaves running: a timed step that always
    // runs to its end.
    void keepThroughTimerAllOFF(QTimer *timer) { m_kept.append(timer); }

    // A register binding of the page whose fields convert by the input type
    // `type` holds (the window's InType).
    ConfigurationPage::Part typedPart(const RegisterBinding &binding, const int &type)
    {
        return {&binding, [this, &type] { return FieldContext{type, devVer()}; }};
    }

    // The window's parts.
    ConfigurationPage &configuration() { return *m_page; }
    SharedSettings &settings() { return *m_settings; }
    WindowCommands &commands() { return *m_commands; }

    // The text of a field, and a text shown in one.
    static std::string fieldText(const QLineEdit *field);
    static void setFieldText(QLineEdit *field, const std::string &text);
    // The address field must hold 1..255: 0 is the broadcast address, which
    // would leave the module answering nobody. A failing field turns red and
    // sets CheckFailed.
    static void checkAddress(ExitEdit *field);
    // The status label's text and colour shown again at the foot of each
    // page (the calibration pages, where the label itself is out of sight).
    void mirrorStatus(const QList<QWidget *> &pages);

    // Tab order along `order`; a RadioGroup stands for its items in turn (they
    // are made after the page, so Designer cannot order them).
    static void chainTabOrder(const QList<QWidget *> &order);

    // The body of a named timer handler that drives the chain.
    void resumeChain(QTimer *timer) { chain().timerFired(timer); }

    // Runs a handler's body; an exception fails the work under way with
    // `failure` and goes on to the caller.
    void guarded(i18n::Status failure, const std::function<void()> &body)
    {
        m_activities->guarded(failure, body);
    }

private:
    QTimer *addTimer(const char *name, int interval, std::function<void()> handler);
    // The status label and its mirrors on the calibration pages.
    void paintStatus(i18n::Status status);

    ActivityOwner *m_activities;
    WindowCommands *m_commands;
    SharedSettings *m_settings;
    ConfigurationPage *m_page;
    ConfigurationFileMenu *m_files;
    Commissioning *m_commissioning = nullptr;
    StatusLabel *m_status = nullptr;
    QList<QPointer<StatusLabel>> m_mirrors;
    TrimBinding *m_trim = nullptr;
    QList<QTimer *> m_timers;
    QList<QTimer *> m_kept;
    std::vector<std::pair<QTimer *, std::function<void()>>> m_handlers;
    QList<QPointer<QWidget>> m_offControls;
    QList<QPointer<QWidget>> m_onControls;
    // The factory functions service mode shows.
    QPointer<QTabWidget> m_factoryPages;
    QList<QPointer<QWidget>> m_factory;
};
