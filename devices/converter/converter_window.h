#pragma once

#include "calibration_runner.h"
#include "device_window.h"
#include "input_type_panel.h"
#include "live_poll.h"
#include "output_function.h"
#include "register_binding.h"

#include <memory>

class QTimer;
class TrimBinding;
namespace Ui {
class ConverterPage;
}

// The window of the dual-input converter (family 2, model codes 32..36): its
// "Configuration" page reads, shows, corrects, checks and writes the
// configuration registers 0..23 and the output function, trims both outputs
// and polls the live values; the two calibration pages (input calibration of
// both channels, mirrors of the trim and live groups, serial number) are
// created with their tabs hidden and are offered in service mode.
class TForm1 : public DeviceWindow
{
    Q_OBJECT

public:
    TForm1(Link &link, TForm3 &scan);
    ~TForm1() override;

    // Stops the timers, applies the language, puts the module back to its own
    // address and baud rate (version index 8 on) and reads it.
    void FormActivate() override;

    // "Read From Device": the information block, then the configuration block,
    // whose reply Timer4 collects 300 ms later.
    void BtnP1Click() { configuration().readCommand(); }
    void Timer4Timer() { resumeChain(Timer4); }
    // Marks limits and offsets outside the type's ranges red; sets CheckFailed.
    void InputCheck();
    // "Write To Device": the input check, then 500 ms later (Timer1) every
    // register in order, then the address and baud rate.
    void BtnP2Click() { configuration().writeCommand(); }
    void Timer1Timer() { resumeChain(Timer1); }

    // Range display of an input type and unit: unit captions, maximal range,
    // offset bounds, output range bounds and unit choices.
    void hilo_set(int type, int unit);
    void Item1Click();
    void Item3Click();

    void Edi3Exit() { m_type->lowExit(InType); }
    void Edi4Exit() { m_type->highExit(InType); }
    void Edi61Exit();
    void Edi62Exit();
    void Edit8Exit() { m_output->aExit(); }
    void Edit11Exit() { m_output->bExit(); }
    void Edit12Exit() { m_output->cExit(); }
    void Edit13Exit();
    void Edit14Exit();
    void CheckBox2Click() { m_output->showPicture(); }

    // Live values: "Read" (Btn71, Btn51, Button26) polls PV1, PV2 and
    // F(PV1,PV2) every 600 ms on Timer3 until "Stop" (Btn72, Btn52, Button27).
    void Btn71Click();
    void Btn72Click() { m_live->stop(); }
    void Timer3Timer() { m_live->tick(); }
    // The count polls of the input calibration: Timer2, and Timer5 for the 0 mV points.
    void Timer2Timer() { m_calibration->tick(Timer2); }
    void Timer5Timer() { m_calibration->tick(Timer5); }

    // Address and baud rate, and the serial number of the service functions.
    void IDSetClick();
    void ID_EditExit();
    void Button1Click() { settings().loadSerialNumber(); }

    // Input type last applied by hilo_set; chooses the scaling of the fields.
    int InType = 0;
    // Raw output range values kept across a type or unit change.
    int OutLoRaw = 0;
    int OutHiRaw = 0;

    QTimer *Timer1 = nullptr; // write chain, 500 ms
    QTimer *Timer2 = nullptr; // calibration counts, 600 ms
    QTimer *Timer3 = nullptr; // live values, 600 ms
    QTimer *Timer4 = nullptr; // read decode, 300 ms
    QTimer *Timer5 = nullptr; // 0 mV calibration counts, 600 ms

private:
    bool acceptInfoBlock(const InfoBlock &info);
    // "Write To Device": the fields' rules and the input check, then the values.
    bool writeCheck();
    ConfigurationPage::Write writeValues();
    // The read's decode of a block, or of a configuration file.
    void showConfiguration(const RegisterWords &words);
    void registerShown(int reg);
    void applyFirmwareRules();
    void showLiveValues(const std::vector<int> &words);

    std::unique_ptr<Ui::ConverterPage> m_ui;
    std::unique_ptr<RegisterBinding> m_registers;
    std::unique_ptr<InputTypePanel> m_type;
    std::unique_ptr<OutputFunction> m_output;
    TrimBinding *m_trim = nullptr;
    LivePoll *m_live = nullptr;
    CalibrationRunner *m_calibration = nullptr;
    int m_blockCount = 24; // registers asked for by the last read
};
