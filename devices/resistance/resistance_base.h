#pragma once

#include "device_window.h"
#include "live_poll.h"
#include "register_binding.h"
#include "resistance_registers.h"
#include "zero_span_calibration.h"
#include "zero_span_tables.h"

#include <functional>
#include <memory>

class QTimer;
class TForm6;
class TrimBinding;
namespace Ui {
class ResistancePage;
}

// What the two resistance transmitter windows share: the "Configuration" page
// (input caption, measuring range, output direction, sensor-break signal,
// offset, output trim, measuring value, device information, the hidden
// serial-number group and the area of the "Zero Span Setting" tables), the
// hidden "Set ModeNum" page, activation, "Read From Device", "Write To
// Device" with its storing check, the offset rule, the serial number, the
// live value, the output trim and the zero/span calibration. TForm4 and
// TForm10 differ in their variant (block length, accepted models and
// versions, offset bound) and in their calibration tables (ZeroSpanSet).
class ResistanceBase
    : public DeviceWindow
    , public ZeroSpanHost
{
    Q_OBJECT

public:
    ResistanceBase(const QString &className, const ResistanceVariant &variant,
                   const ZeroSpanSet &calibration, Link &link, TForm3 &scan);
    ~ResistanceBase() override;

    // Unless SkipRefresh is set (or the window's table refuses it now): the
    // "Configuration" page, the serial number and version the scan found, the
    // language, then "Read From Device".
    void FormActivate() override;
    // Scan > Start: the work under way and every timer stop, and the next
    // activation reads the module again.
    void stopWork() override;

    // "Read From Device": the information block (model and version of this
    // window's modules), then the configuration block, whose reply Timer3
    // collects 500 ms later.
    void BtnP1Click() { configuration().readCommand(); }
    void Timer3Timer() { resumeChain(Timer3); }
    // "Write To Device": the version check, then 500 ms later (Timer4) output
    // direction, offset and sensor-break signal, then 2 s later (Timer6) the
    // module's storing result.
    void BtnP2Click() { configuration().writeCommand(); }
    void Timer4Timer() { resumeChain(Timer4); }
    void Timer6Timer() { resumeChain(Timer6); }
    // Holds the offset within the window's bound.
    void Edi61Exit();
    // "Load Serial Number" of the serial-number group.
    void Button1Click() { settings().loadSerialNumber(); }
    // "Measuring Value": "Start" checks that the module is this window's, sends
    // the start code 40 and polls the live value (input register 4096) every
    // 500 ms on Timer2 until "Stop".
    void Btn71Click();
    void Btn72Click() { m_live->stop(); }
    void Timer2Timer() { m_live->tick(); }
    // The count poll of a calibration point, and the result labels of the
    // "Set ModeNum" page (reset by every page switch).
    void Timer1Timer() { m_zeroSpan->countTick(); }
    void Timer7Timer() { m_zeroSpan->modes().tick(); }
    void PageContChange() { m_zeroSpan->modes().resetLabels(); }

    // The confirmation dialog shared by both windows; its answer to this window.
    void setConfirmation(TForm6 *dialog) { m_confirmation = dialog; }
    void confirmationAnswered(bool yes);

    // What the zero/span run asks of the window.
    void withInfoBlock(std::function<void(const InfoBlock &)> next, i18n::Status failure) override;
    void readModule() override { BtnP1Click(); }
    bool versionAccepted(const InfoBlock &info) override;
    void askConfirmation() override;
    void withdrawConfirmation() override;

    ZeroSpanCalibration &zeroSpan() { return *m_zeroSpan; }

    // Set by the zero/span confirmation dialog when it closes while this
    // window is shown: activation then leaves the window as it is, until
    // Scan > Start.
    bool SkipRefresh = false;

    QTimer *Timer1 = nullptr; // calibration counts, 500 ms, repeating
    QTimer *Timer2 = nullptr; // live value, 500 ms, repeating
    QTimer *Timer3 = nullptr; // read decode, 500 ms
    QTimer *Timer4 = nullptr; // configuration writes, 500 ms
    QTimer *Timer6 = nullptr; // storing result, 2000 ms
    QTimer *Timer7 = nullptr; // "Set ModeNum" result labels, 1500 then 5000 ms

protected:
    const ResistanceVariant &variant() const { return m_variant; }
    Ui::ResistancePage &ui() const { return *m_ui; }

private:
    // The command controls: BtnAllOFF disables the window's own buttons and
    // `disabled`, BtnAllON enables them and `enabled` (the calibration
    // tables' point buttons).
    void setTableButtons(const QList<QWidget *> &disabled, const QList<QWidget *> &enabled);
    bool acceptInfoBlock(const InfoBlock &info);
    bool versionOfWrite(const InfoBlock &info);
    // The read's decode of a block, or of a configuration file.
    void showConfiguration(const RegisterWords &words);
    void showLiveValue(int word);
    void readEnded(bool ok);
    // True when the write ended as another window's module.
    bool writeEnded(bool ok);
    void orderTabs();

    const ResistanceVariant &m_variant;
    std::unique_ptr<Ui::ResistancePage> m_ui;
    std::unique_ptr<RegisterBinding> m_registers;
    TrimBinding *m_trim = nullptr;
    LivePoll *m_live = nullptr;
    ZeroSpanCalibration *m_zeroSpan = nullptr;
    TForm6 *m_confirmation = nullptr;
    bool m_versionMismatch = false; // the last information block was another window's
};
