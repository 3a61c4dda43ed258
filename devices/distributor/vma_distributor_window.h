#pragma once

#include "device_window.h"
#include "register_binding.h"

#include <memory>
#include <string>
#include <vector>

class CalibrationRunner;
class ExitEdit;
class LivePoll;
class QLabel;
class QLineEdit;
class QProgressBar;
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
    void BtnP1Click();
    void Timer1Timer();
    // Marks limits, offsets and the address outside their bounds red (a
    // passing field gets its normal colour back); sets CheckFailed.
    void InputCheck();
    // "Write To Device": the input check, then 500 ms later (Timer2) every
    // register in order, then the address and baud rate.
    void BtnP2Click();
    void Timer2Timer();

    // Range display of a channel: unit captions, maximal range, offset bounds.
    void hilo_setA(int range);
    void hilo_setB(int range);
    void Item_1Click();
    void Item_7Click();

    void Edit1Exit();
    void Edit2Exit();
    void Edit5Exit();
    void Edit8Exit();
    void Edit9Exit();
    void Edit12Exit();
    void Lo_SExit();
    void Hi_SExit();
    void Set_AExit();
    void Set_BExit();
    void Set_CExit();
    void CheckBox2Click();

    // Live values: "Read" (Btn11, Btn21) polls PV1, PV2 and F(PV1,PV2)
    // every 500 ms on Timer3 until "Stop" (Btn12, Btn22).
    void Btn11Click();
    void Btn12Click();
    void Timer3Timer();

    // Zero step of CH-1 (Btn_11) or CH-2 (Btn_33): the code goes to the
    // module, then every control stays off for the five seconds its progress
    // bar takes on Timer5, which TimerAllOFF leaves running (an activation's
    // read runs meanwhile; the controls come back when both have ended).
    void Btn_11Click();
    void Btn_33Click();
    void Timer5Timer();
    bool zeroStepRunning() const;
    // The count poll of the range points.
    void Timer4Timer();

    // "Load Serial Number" of the service functions.
    void Button3Click();

    QTimer *Timer1 = nullptr; // read decode, 500 ms
    QTimer *Timer2 = nullptr; // write chain, 500 ms
    QTimer *Timer3 = nullptr; // live values, 500 ms
    QTimer *Timer4 = nullptr; // calibration counts, 500 ms
    QTimer *Timer5 = nullptr; // zero-step progress, 50 ms

private:
    // The controls of one channel; CH-2 runs the same code on its own set.
    struct Channel
    {
        RadioGroup *range = nullptr;
        ExitEdit *lower = nullptr;
        ExitEdit *upper = nullptr;
        ExitEdit *offset = nullptr;
        QLineEdit *maxLower = nullptr;
        QLineEdit *maxUpper = nullptr;
        QList<QLabel *> units; // range, live value, offset
        QLabel *boundLow = nullptr;
        QLabel *boundHigh = nullptr;
    };

    bool acceptInfoBlock(const InfoBlock &info);
    // "Write To Device": the fields' rules and the input check.
    bool writeCheck();
    // The read's decode of a block, or of a configuration file.
    void showConfiguration(const RegisterWords &words);
    void showRange(const Channel &channel, int range);
    // An exit rule of a limit or offset field: (decimals, text, low, high).
    using ExitRule = std::string (*)(int, const std::string &, const std::string &,
                                     const std::string &);
    void correctOnExit(ExitEdit *field, const Channel &channel, ExitRule rule, bool offset);
    void checkChannel(const Channel &channel);
    FieldContext fieldContext() const;
    void loadOutputPicture();
    void orderTabs();
    void showLiveValues(const std::vector<int> &words);
    void zeroStep(int channel);
    void selectCalibrationRange(int channel, int range);

    std::unique_ptr<Ui::VmaDistributorPage> m_ui;
    std::unique_ptr<RegisterBinding> m_registers;
    Channel m_ch1;
    Channel m_ch2;
    TrimBinding *m_trim = nullptr;
    LivePoll *m_live = nullptr;
    CalibrationRunner *m_calibration = nullptr;
    QProgressBar *m_zeroBar = nullptr; // the bar of the zero step that runs
    int m_blockCount = 30;             // registers asked for by the last read
};
