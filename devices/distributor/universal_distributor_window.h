#pragma once

#include "device_window.h"
#include "register_binding.h"

#include <array>
#include <memory>

class ExitEdit;
class QLabel;
class QLineEdit;
class InputTypePanel;
class QTimer;
class RadioGroup;
class ScrollBar;
namespace Ui {
class UniversalDistributorPage;
}

// The window of the universal two-channel distributor (family 4, model codes
// 49 and 55..58). Its "Configuration" page reads, shows, corrects, checks and
// writes both channels' configuration (input type, unit, measuring range,
// offset, output direction, signal on sensor break), the filter, the address
// and the baud rate, and shows the output trim counts; the "Calbration" page
// is created with its tab hidden and is offered in service mode.
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
    void serviceModeChanged(bool on) override;
    // Also ends a read that was under way: the advisories are shown again.
    void TimerAllOFF() override;

    // "Read From Device": the information block, then the configuration block,
    // whose reply Timer1 collects 500 ms later.
    void BtnP1Click();
    void Timer1Timer();
    // Marks limits and offsets outside their type's ranges red, and a slave
    // address outside 1..255; sets CheckFailed, also for a choice left empty.
    void InputCheck();
    // "Write To Device": the input check, then 500 ms later (Timer2) every
    // register of both channels in order, the filter, the address and baud.
    void BtnP2Click();
    void Timer2Timer();

    // Range display of a channel's input type and unit: unit captions,
    // maximal range, offset bounds and unit choices (CH-1, CH-2).
    void hilo_setA(int type, int unit);
    void hilo_setB(int type, int unit);
    void Item1Click();
    void Item3Click();
    void RadioGroup1Click();
    void RadioGroup2Click();

    void Edit1Exit();
    void Edit2Exit();
    void Edit5Exit();
    void Edit8Exit();
    void Edit9Exit();
    void Edit12Exit();

    // A trim scroll bar's position shown in its count field.
    void ScrollBar1Change();
    void ScrollBar2Change();
    void ScrollBar3Change();
    void ScrollBar4Change();

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
    bool decodeConfiguration();
    void trimShown(int reg, int value);
    void setTabOrderOfPages();

    std::unique_ptr<Ui::UniversalDistributorPage> m_ui;
    std::array<Channel, 2> m_channels;
    std::unique_ptr<RegisterBinding> m_common;
    int m_blockCount = 30; // registers asked for by the last read
};
