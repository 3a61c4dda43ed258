#pragma once

#include "calibration_runner.h"
#include "device_window.h"
#include "input_type_panel.h"
#include "live_poll.h"
#include "register_binding.h"

#include <array>
#include <memory>

class QTimer;
class TrimBinding;
namespace Ui {
class UniversalDistributorPage;
}

// The window of the universal two-channel distributor (family 4, model codes
// 49 and 55..58). Its "Configuration" page reads, shows, corrects, checks and
// writes both channels' configuration (input type, unit, measuring range,
// offset, output direction, signal on sensor break), the filter, the address
// and the baud rate, trims both outputs and polls the live values; the
// "Calbration" page (input calibration of both channels, the live values
// again) is created with its tab hidden and is offered in service mode.
class TForm5 : public DeviceWindow
{
    Q_OBJECT

public:
    TForm5(Link &link, TForm3 &scan);
    ~TForm5() override;

    // Stops the timers, shows what the scan learnt, applies the language, puts
    // the module back to its own address and baud rate (version index 3 on)
    // and reads it.
    void FormActivate() override;

    // "Read From Device": the information block, then the configuration block,
    // whose reply Timer1 collects 500 ms later.
    void BtnP1Click() { configuration().readCommand(); }
    void Timer1Timer() { resumeChain(Timer1); }
    // Marks limits and offsets outside their type's ranges red, and a slave
    // address outside 1..255; sets CheckFailed, also for a choice left empty.
    void InputCheck();
    // "Write To Device": the input check, then 500 ms later (Timer2) every
    // register of both channels in order, the filter, the address and baud.
    void BtnP2Click() { configuration().writeCommand(); }
    void Timer2Timer() { resumeChain(Timer2); }

    // Range display of a channel's input type and unit: unit captions,
    // maximal range, offset bounds and unit choices (CH-1, CH-2).
    void hilo_setA(int type, int unit) { hilo_set(m_channels[0], type, unit); }
    void hilo_setB(int type, int unit) { hilo_set(m_channels[1], type, unit); }
    void Item1Click() { typeChanged(m_channels[0]); }
    void Item3Click();
    void RadioGroup1Click() { typeChanged(m_channels[1]); }
    void RadioGroup2Click();

    void Edit1Exit() { m_channels[0].panel->lowExit(m_channels[0].type()); }
    void Edit2Exit() { m_channels[0].panel->highExit(m_channels[0].type()); }
    void Edit5Exit();
    void Edit8Exit() { m_channels[1].panel->lowExit(m_channels[1].type()); }
    void Edit9Exit() { m_channels[1].panel->highExit(m_channels[1].type()); }
    void Edit12Exit();

    // Live values: "Read" (Btn71, Btn81) polls PV1 and PV2 every 500 ms on
    // Timer3 until "Stop" (Btn72, Btn82).
    void Btn71Click() { m_live->start(); }
    void Btn72Click() { m_live->stop(); }
    void Timer3Timer() { m_live->tick(); }
    // The count poll of the input calibration.
    void Timer4Timer() { m_calibration->tick(Timer4); }

    // From the block read being sent until its reply has been shown: the
    // type changes the read makes show no advisory.
    bool ReadBusy = false;

    QTimer *Timer1 = nullptr; // read decode, 500 ms
    QTimer *Timer2 = nullptr; // write chain, 500 ms
    QTimer *Timer3 = nullptr; // live values, 500 ms
    QTimer *Timer4 = nullptr; // calibration counts, 400 ms

private:
    // The controls of one channel; CH-2 is the same code on other controls.
    struct Channel
    {
        std::unique_ptr<InputTypePanel> panel;
        std::unique_ptr<RegisterBinding> registers;
        int type() const;
    };

    void hilo_set(Channel &channel, int type, int unit);
    void typeChanged(Channel &channel);
    bool acceptInfoBlock(const InfoBlock &info);
    // "Write To Device": every value converted, in write order.
    ConfigurationPage::Write writeValues();
    // The read's decode of a block, or of a configuration file.
    void showConfiguration(const RegisterWords &words);
    void showLiveValues(const std::vector<int> &words);
    void setTabOrderOfPages();

    std::unique_ptr<Ui::UniversalDistributorPage> m_ui;
    std::array<Channel, 2> m_channels;
    std::unique_ptr<RegisterBinding> m_common;
    TrimBinding *m_trim = nullptr;
    LivePoll *m_live = nullptr;
    CalibrationRunner *m_calibration = nullptr;
    int m_blockCount = 30; // registers asked for by the last read
};
