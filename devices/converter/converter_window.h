#pragma once

#include "family_window.h"

#include "status_messages.h"

#include <QStringList>

#include <memory>

class QTimer;
class QWidget;
namespace Ui {
class ConverterPage;
}

// The window of the dual-input converter (family 2, model codes 32..36): its
// "Configuration" page reads, shows, corrects, checks and writes the
// configuration registers 0..23 and the output function; the two calibration
// pages are created with their tabs hidden and are offered in service mode.
class TForm1 : public FamilyWindow
{
    Q_OBJECT

public:
    TForm1(Link &link, TForm3 &scan);
    ~TForm1() override;

    void FormActivate() override;
    void stopWork() override { TimerAllOFF(); }
    void serviceModeChanged(bool on) override;

    // "Read From Device": the information block, then the configuration block,
    // whose reply Timer4 collects 300 ms later.
    void BtnP1Click();
    void Timer4Timer();
    // Marks limits and offsets outside the type's ranges red; sets CheckFailed.
    void InputCheck();
    // "Write To Device": the input check, then Timer1 writes every register.
    void BtnP2Click();
    void Timer1Timer();

    // Range display of an input type and unit: unit captions, maximal range,
    // offset bounds, output range bounds and unit choices.
    void hilo_set(int type, int unit);
    void Item1Click();
    void Item3Click();

    void Edi3Exit();
    void Edi4Exit();
    void Edi61Exit();
    void Edi62Exit();
    void Edit8Exit();
    void Edit11Exit();
    void Edit12Exit();
    void Edit13Exit();
    void Edit14Exit();
    void CheckBox2Click();

    // Address and baud rate, and the serial number of the service functions.
    void IDSetClick();
    void ID_EditExit();
    void Button1Click();

    void BtnAllON();
    void BtnAllOFF();
    void TimerAllOFF();

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
    void showStatus(i18n::Status status);
    void decodeConfiguration();
    void writeConfiguration();
    void loadOutputPicture();
    void applyFirmwareRules();
    int devVer() const;

    std::unique_ptr<Ui::ConverterPage> m_ui;
    QList<QWidget *> m_commandControls;
    int m_blockCount = 24; // registers asked for by the last read
};
