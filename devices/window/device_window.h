#pragma once

#include "family_window.h"

#include "activity_owner.h"
#include "configuration_file.h"
#include "register_binding.h"
#include "request_chain.h"
#include "settings_chains.h"
#include "status_messages.h"

#include <QList>
#include <QPointer>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class Commissioning;
class ExitEdit;
class QComboBox;
class QLabel;
class QLineEdit;
class QTimer;
class QWidget;
class QTabWidget;
class StatusLabel;
class TrimBinding;

// What every family window of a module stands on, between the shell of menus
// and the family's own pages: its named timers, the command controls that
// BtnAllOFF and BtnAllON switch, the status label, the owner of its
// activities (which runs its commands one exchange at a time and answers the
// events that meet them, from the window's activity table), and the shared
// settings (information block, address and baud, serial number).
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
    // Runs the chain of the work under way to its ending: success shows
    // `success`, failure `failure`, the work ends (the command controls back)
    // and `after` runs. An exception inside a step ends it as a failure and
    // shows the application's error box.
    void runChain(RequestChain chain, i18n::Status success, i18n::Status failure,
                  std::function<void(bool ok)> after = {});
    // Runs a chain with an ending of its own; an exception shows `failure`
    // and ends the work.
    void runChain(RequestChain chain, ChainRunner::Finished finished, i18n::Status failure);
    // Runs what a tick of one of the window's named timers runs (its handler).
    void fireTimer(QTimer *timer);
    const QList<QTimer *> &timers() const { return m_timers; }

    // The live trend and log, and the commissioning record (File > Save Live
    // Log..., File > Save Report...).
    Commissioning &commissioning() { return *m_commissioning; }

    // File > Save Configuration...: a file name, then saveConfiguration.
    void SaveConfigurationClick();
    // File > Open Configuration...: a file, then (when the file and the page
    // have them) whether its address and baud rate are taken over as well,
    // then openConfiguration.
    void OpenConfigurationClick();
    // Writes what the page shows, converted as "Write To Device" converts it,
    // into a configuration file. Refused with a message (false) until a read
    // has shown the module's configuration, while a command runs, or when a
    // field holds nothing a register can take.
    bool saveConfiguration(const QString &path);
    // Fills the page from a configuration file as a read fills it, then runs
    // each field's exit rule and tells the operator what was corrected.
    // Nothing is sent: "Write To Device" writes it. The address and baud rate
    // are taken over only when takeSettings. A file of another family or a
    // damaged one is refused with a message (false), the page left as it was.
    bool openConfiguration(const QString &path, bool takeSettings);

protected:
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
    // The output trim of the window: its controls follow BtnAllOFF/BtnAllON.
    void setTrim(TrimBinding *trim) { m_trim = trim; }
    // What every activation does first: unless the table refuses it now
    // (false: nothing happens), the activation starts, the trim selectors
    // wait for the next read, the first page, the scan's serial number and
    // version label (where given) are shown and the language applied.
    bool beginActivation(QTabWidget *pages, QLabel *serial = nullptr, QLabel *version = nullptr);
    // Service mode shows or hides the factory functions: pages of `pages`
    // (their tabs) and other widgets. Leaving it returns to the first page;
    // work on the pages it hides (a calibration point) ends unstored.
    void showFactoryFunctions(bool on, QTabWidget *pages, const QList<QWidget *> &factory);
    // A named timer that TimerAllOFF leaves running: a timed step that always
    // runs to its end.
    void keepThroughTimerAllOFF(QTimer *timer) { m_kept.append(timer); }

    // The text of a field, and a text shown in one.
    static std::string fieldText(const QLineEdit *field);
    static void setFieldText(QLineEdit *field, const std::string &text);
    // The input check of a field: a failing one turns red and sets
    // CheckFailed, a passing one gets its normal colour back.
    static void markChecked(ExitEdit *field, bool passes);
    // The address field must hold 1..255: 0 is the broadcast address, which
    // would leave the module answering nobody. A failing field turns red and
    // sets CheckFailed.
    static void checkAddress(ExitEdit *field);
    // The input check of a binding's selectors: false when a written one is
    // empty (marked red; inputCheckFailed names it and the code its module
    // held).
    bool choicesMade(const RegisterBinding &binding);
    // The ending of a write whose input check failed: "Write Fail", and a
    // message naming each empty choice.
    void inputCheckFailed();
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

    // What the window's configuration files hold and how its page shows them:
    // each register binding of the page with the context its fields convert
    // in (as the write converts them), and the read's decode of a block.
    struct ConfigurationPage
    {
        ModuleFamily family;
        std::vector<std::pair<const RegisterBinding *, std::function<FieldContext()>>> parts;
        std::function<void(const RegisterWords &)> show;
    };
    void setConfigurationPage(ConfigurationPage page);
    // A configuration read has started, or has shown a sound block: saving
    // waits for the latter (runConfigurationRead reports both itself).
    void configurationReadStarting() { m_configurationShown = false; }
    void configurationShown() { m_configurationShown = true; }
    // Registers 0..count-1 of the last read reply.
    RegisterWords replyWords(int count) const;

    // The configuration commands that windows of a register block share.
    // Activation: when restore is set, the module is put back to the address
    // and baud code of holding registers reg and reg+1 first; then read runs.
    // When they cannot be read, the module's own address and rate are not
    // known: the read ends in "Read Fail" and says so, every later read tries
    // the restore first, and "Write To Device" leaves the address and baud
    // step out until a restore has read them or the operator has set both
    // fields.
    void restoreThenRead(bool restore, int reg, QLineEdit *addressField, QComboBox *baudField,
                         std::function<void()> read);
    // "Read From Device": the information block, judged by accept, then
    // function 3 from register 0 for count() registers, whose reply is
    // collected once `timer` has run and shown by decode (false: "Read Fail").
    void runConfigurationRead(std::function<bool(const InfoBlock &)> accept,
                              std::function<int()> count, QTimer *timer,
                              std::function<bool()> decode,
                              std::function<void(bool ok)> after = {});
    // "Write To Device" of the converter and the distributors with every
    // value converted: the family's write (devices/configuration_chains.h),
    // waiting for `timer` first and ending with the address and baud step.
    void runConfigurationWrite(QTimer *timer, const std::vector<RegisterBinding::Write> &writes,
                               int address, int baudIndex);

    // The shared settings, as steps of this window's chains.
    void appendRestore(RequestChain &chain, int reg, QLineEdit *addressField,
                       std::function<void(bool read)> read = {});
    void appendAddressAndBaud(RequestChain &chain, int address, int baudIndex);
    // Shows a sound information block: version label, serial number.
    void showInfoBlock(const InfoBlock &info, QLabel *versionLabel, QLabel *serialLabel);
    // "Load Serial Number" of the serial-number group.
    void loadSerialNumber(QLineEdit *edit, int commandCell);
    // The address "Set" button.
    void setAddress(QLineEdit *addressField, QComboBox *baudField);

private:
    QTimer *addTimer(const char *name, int interval, std::function<void()> handler);
    // The status label and its mirrors on the calibration pages.
    void paintStatus(i18n::Status status);
    void noteLostModule(const SettingsChange &change);
    void showPendingMessage();
    void addConfigurationEntries();
    // False, with a message, while a command runs or the window has no page
    // for files; saving also waits for a read.
    bool mayUseFiles(bool saving);
    std::optional<Configuration> loadConfiguration(const QString &path);
    void applyConfiguration(const Configuration &configuration, bool takeSettings,
                            const QString &path);
    // The address and baud rate of a file, as the page would show them; empty
    // when the file or the page has none.
    QString settingsOf(const Configuration &configuration) const;
    void tell(const i18n::Texts &texts, const QString &details = {});
    // The address and baud rate the page shows are the scan's, not the
    // module's own, and the operator has not set them.
    bool ownSettingsGuessed() const;

    friend class Commissioning; // the record reads the page and what was shown

    ActivityOwner *m_activities;
    Commissioning *m_commissioning = nullptr;
    StatusLabel *m_status = nullptr;
    QList<QPointer<StatusLabel>> m_mirrors;
    // The empty choices the last input check found, as the message names them.
    std::map<const RegisterField *, QString> m_emptyChoices;
    TrimBinding *m_trim = nullptr;
    QList<QTimer *> m_timers;
    QList<QTimer *> m_kept;
    std::vector<std::pair<QTimer *, std::function<void()>>> m_handlers;
    QList<QPointer<QWidget>> m_offControls;
    QList<QPointer<QWidget>> m_onControls;
    std::string m_pendingMessage;
    ConfigurationPage m_page{};
    // The module's own address and baud rate: where the restore reads them,
    // the page's fields, and whether they are known.
    struct OwnSettings
    {
        std::optional<int> reg; // nothing: this module restores none
        QPointer<QLineEdit> address;
        QPointer<QComboBox> baud;
        bool unknown = false;    // the restore could not read them
        bool addressSet = false; // the operator set the field since
        bool baudSet = false;
    } m_own;
    bool m_configurationShown = false; // the last configuration read showed a sound block
    int m_shownModel = -1;             // model code and serial number of the last
    std::uint32_t m_shownSerial = 0;   // information block shown
};
