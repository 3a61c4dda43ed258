#pragma once

#include "device_window.h"
#include "register_binding.h"

#include <memory>

class ExitEdit;
class QLabel;
class QLineEdit;
class QTimer;
class RadioGroup;
namespace Ui {
class VmaDistributorPage;
}

// The window of the two-channel V/mA range distributor (family 5, model codes
// 50..54). Its "Configuration" page reads, shows, corrects, checks and writes
// both channels (range, measuring range, offset, output direction, signal on
// sensor break), the output function F(PV1,PV2) = (PV1×A + PV2×B)/C with the
// source of output 1, the filter, the address and the baud rate. The
// "Calbration" page and the serial-number group are offered in service mode.
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
    void serviceModeChanged(bool on) override;

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
    bool decodeConfiguration();
    void showRange(const Channel &channel, int range);
    void lowerExit(const Channel &channel);
    void upperExit(const Channel &channel);
    void offsetExit(const Channel &channel);
    void checkChannel(const Channel &channel);
    FieldContext fieldContext() const;
    void loadOutputPicture();
    void setTabOrder();

    std::unique_ptr<Ui::VmaDistributorPage> m_ui;
    std::unique_ptr<RegisterBinding> m_registers;
    Channel m_ch1;
    Channel m_ch2;
    int m_blockCount = 30; // registers asked for by the last read
};
