#pragma once

#include "calibration_runner.h"
#include "device_window.h"
#include "live_poll.h"
#include "output_function.h"
#include "register_binding.h"
#include "vma_channel.h"
#include "vma_zero_step.h"

#include <memory>
#include <string>
#include <vector>

class ExitEdit;
class QLabel;
class QLineEdit;
class QTimer;
class RadioGroup;
class TrimBinding;
namespace Ui {
class VmaDistributorPage;
}

// The window of the two-channel V/mA range distributor (family 5, model codes
// 50..54). Its "Configuration" page reads, shows, corrects, checks and writes
// both channels (range, measuring range, offset, output direction, signal on
// sensor break), the output function F(PV1,PV2) = (PV1×A + PV2×B)/C with the
// source of output 1, the filter, the address and the baud rate; it trims both
// outputs and polls the live values. The "Calbration" page (zero step and
// range points of both inputs) and the serial-number group are offered in
// service mode.
class TForm7 : public DeviceWindow
{
    Q_OBJECT

public:
    TForm7(Link &link, TForm3 &scan);
    ~TForm7() override;

    // Stops the timers, shows what the scan learnt, applies the language, puts
    // the module back to its own address and baud rate (version index 3 on)
    // and reads it.
    void FormActivate() override;

    // "Read From Device": the information block, then the configuration block,
    // whose reply Timer1 collects 500 ms later.
    void BtnP1Click() { configuration().readCommand(); }
    void Timer1Timer() { resumeChain(Timer1); }
    // Marks limits, offsets and the address outside their bounds red (a
    // passing field gets its normal colour back); sets CheckFailed.
    void InputCheck();
    // "Write To Device": the input check, then 500 ms later (Timer2) every
    // register in order, then the address and baud rate.
    void BtnP2Click() { configuration().writeCommand(); }
    void Timer2Timer() { resumeChain(Timer2); }

    // Range display of a channel: unit captions, maximal range, offset bounds.
    void hilo_setA(int range) { m_ch1.showRange(range); }
    void hilo_setB(int range) { m_ch2.showRange(range); }
    void Item_1Click();
    void Item_7Click();

    void Edit1Exit() { m_ch1.lowerExit(); }
    void Edit2Exit() { m_ch1.upperExit(); }
    void Edit5Exit() { m_ch1.offsetExit(); }
    void Edit8Exit() { m_ch2.lowerExit(); }
    void Edit9Exit() { m_ch2.upperExit(); }
    void Edit12Exit() { m_ch2.offsetExit(); }
    void Lo_SExit();
    void Hi_SExit();
    void Set_AExit() { m_output->aExit(); }
    void Set_BExit() { m_output->bExit(); }
    void Set_CExit() { m_output->cExit(); }
    void CheckBox2Click() { m_output->showPicture(); }

    // Live values: "Read" (Btn11, Btn21) polls PV1, PV2 and F(PV1,PV2)
    // every 500 ms on Timer3 until "Stop" (Btn12, Btn22).
    void Btn11Click() { m_live->start(); }
    void Btn12Click() { m_live->stop(); }
    void Timer3Timer() { m_live->tick(); }

    // Zero step of CH-1 (Btn_11) or CH-2 (Btn_33): the code goes to the
    // module, then every control stays off for the five seconds its progress
    // bar takes on Timer5, which TimerAllOFF leaves running (an activation's
    // read runs meanwhile; the controls come back when both have ended).
    void Btn_11Click() { m_zero->start(0); }
    void Btn_33Click() { m_zero->start(1); }
    void Timer5Timer() { m_zero->tick(); }
    bool zeroStepRunning() const { return m_zero->running(); }
    // The count poll of the range points.
    void Timer4Timer() { m_calibration->tick(Timer4); }

    // "Load Serial Number" of the service functions.
    void Button3Click() { settings().loadSerialNumber(); }

    QTimer *Timer1 = nullptr; // read decode, 500 ms
    QTimer *Timer2 = nullptr; // write chain, 500 ms
    QTimer *Timer3 = nullptr; // live values, 500 ms
    QTimer *Timer4 = nullptr; // calibration counts, 500 ms
    QTimer *Timer5 = nullptr; // zero-step progress, 50 ms

private:
    bool acceptInfoBlock(const InfoBlock &info);
    // "Write To Device": the fields' rules and the input check.
    bool writeCheck();
    // The read's decode of a block, or of a configuration file.
    void showConfiguration(const RegisterWords &words);
    FieldContext fieldContext() const;
    void orderTabs();
    void showLiveValues(const std::vector<int> &words);
    void selectCalibrationRange(int channel, int range);

    std::unique_ptr<Ui::VmaDistributorPage> m_ui;
    std::unique_ptr<RegisterBinding> m_registers;
    std::unique_ptr<OutputFunction> m_output;
    VmaChannel m_ch1;
    VmaChannel m_ch2;
    TrimBinding *m_trim = nullptr;
    LivePoll *m_live = nullptr;
    CalibrationRunner *m_calibration = nullptr;
    VmaZeroStep *m_zero = nullptr;
    int m_blockCount = 30; // registers asked for by the last read
};
