#pragma once

#include "calibration_runner.h"
#include "device_window.h"
#include "input_type_panel.h"
#include "live_poll.h"
#include "register_binding.h"

#include <memory>
#include <vector>

class QTimer;
class TrimBinding;
namespace Ui {
class TransmitterPage;
}

// The window of the single-input universal transmitter (family 1): its
// "Configuration" page reads, shows, corrects, checks and writes the
// configuration registers 0..6; for version index 5 on, a write is followed by
// the module's storing result. The same page trims the 4..20 mA output (counts
// 7 and 8) and polls the live value. The "Cablibration" page (input
// calibration, mirrors of the trim and live groups, serial number) is created
// with its tab hidden and is offered in service mode.
class TForm2 : public DeviceWindow
{
    Q_OBJECT

public:
    TForm2(Link &link, TForm3 &scan);
    ~TForm2() override;

    // Stops the timers (the storing result's too), shows what the scan learnt
    // of the module, applies the language and reads the module.
    void FormActivate() override;

    // "Read From Device": the information block, then the configuration block,
    // whose reply Timer2 collects 1000 ms later.
    void BtnP1Click() { configuration().readCommand(); }
    void Timer2Timer() { resumeChain(Timer2); }
    // Marks limits and offset outside the type's ranges red; sets CheckFailed.
    void InputCheck();
    // "Write To Device": the input check, then 50 ms later (Timer3) every
    // register in order, the input type last; for version index 5 on, the
    // storing result 2000 ms later (Timer6).
    void BtnP2Click() { configuration().writeCommand(); }
    void Timer3Timer() { resumeChain(Timer3); }
    void Timer6Timer() { resumeChain(Timer6); }

    // Range display of an input type and unit: unit captions, maximal range
    // and offset bounds.
    void hilo_set(int type, int unit);
    void Item1Click();
    void Item3Click();

    void Edi3Exit() { m_type->lowExit(InType); }
    void Edi4Exit() { m_type->highExit(InType); }
    void Edi61Exit();

    // Live value: "Start" (Btn71, Btn51) polls PV every 500 ms on Timer1 until
    // "Stop" (Btn72, Btn52).
    void Btn71Click();
    void Btn72Click() { m_live->stop(); }
    void Timer1Timer() { m_live->tick(); }
    // The count polls of the input calibration: Timer4, and Timer5 for the 0 mV point.
    void Timer4Timer() { m_calibration->tick(Timer4); }
    void Timer5Timer() { m_calibration->tick(Timer5); }

    // "Load Serial Number" of the service functions.
    void Button1Click() { settings().loadSerialNumber(); }

    // Input type last applied by hilo_set; chooses the scaling of the fields.
    int InType = 0;

    QTimer *Timer1 = nullptr; // live value poll, 500 ms
    QTimer *Timer2 = nullptr; // read decode, 1000 ms
    QTimer *Timer3 = nullptr; // write chain, 50 ms
    QTimer *Timer4 = nullptr; // calibration counts, 1000 ms
    QTimer *Timer5 = nullptr; // 0 mV calibration count, 1000 ms
    QTimer *Timer6 = nullptr; // storing result, 2000 ms

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool acceptInfoBlock(const InfoBlock &info);
    // The read's decode of a block, or of a configuration file.
    void showConfiguration(const RegisterWords &words);
    void registerShown(int reg);
    void showModel(int model);
    void placeTypePanel();
    void orderTabs();
    void showLiveValue(const std::vector<int> &words);
    // Shows a calibration point's input type, and unit deg C where the point writes it.

    std::unique_ptr<Ui::TransmitterPage> m_ui;
    std::unique_ptr<RegisterBinding> m_registers;
    std::unique_ptr<InputTypePanel> m_type;
    TrimBinding *m_trim = nullptr;
    LivePoll *m_live = nullptr;
    CalibrationRunner *m_calibration = nullptr;
};
