#pragma once

#include <QMainWindow>

#include <functional>
#include <memory>
#include <vector>

class DeviceEnumerator;
class Link;
class QListWidget;
class QPushButton;
class QTimer;
class StatusLabel;
class TrafficWindow;

// The scan window, the program's main window: it finds the USB-to-serial
// adapter among the system's devices, probes the module behind it at the four
// baud rates, decides the module's family from the information block and
// hands over to that family's window. Closing it ends the program.
//
// It also owns the three language routines that switch every window at once.
class TForm3 : public QMainWindow
{
    Q_OBJECT

public:
    TForm3(Link &link, std::unique_ptr<DeviceEnumerator> enumerator);
    ~TForm3() override;

    // The windows of each family (index = DevFamily 1..5; family 3 has two, by
    // version) and every captioned window, for the hand-over and the
    // language switch.
    struct FamilyWindows
    {
        QWidget *transmitter = nullptr;    // TForm2, family 1
        QWidget *converter = nullptr;      // TForm1, family 2
        QWidget *resistance = nullptr;     // TForm4, family 3, version 5 or more
        QWidget *compact = nullptr;        // TForm10, family 3, version 4 or less
        QWidget *distributor = nullptr;    // TForm5, family 4
        QWidget *vmaDistributor = nullptr; // TForm7, family 5
    };
    void setFamilyWindows(const FamilyWindows &windows);
    // The program's way: the scan window shows first, and `make` creates the
    // family windows (in the program's fixed order) right after the scan
    // window's first paint, or sooner when something needs them (a hand-over,
    // a language switch).
    void setFamilyWindowMaker(std::function<FamilyWindows()> make);
    // The family windows, made now if they were not yet.
    const FamilyWindows &familyWindows();

    // Start: lists the devices, takes the adapter's port number into ComNo and
    // arms Timer1, whose first tick runs the probe.
    void Button1Click();
    void Timer1Timer();
    // The probe: one plain attempt at 4800 baud, then at each baud code the
    // broadcasts that set address 1 and 19200 baud, each followed by a query
    // at 19200. Opens the family window or shows "Device Not Found".
    void iConTest();
    // Reads the information block from address and decides the family.
    void GetSerialN(int address);

    // The language routines: LangCode, the check marks and every caption of
    // every window, visible or hidden.
    void EnglishClick();
    void TraditionalClick();
    void SimplifiedClick();
    // The routine that matches a language code (1028, 2052, anything else
    // English).
    void applyLanguage(int langCode);

    void ConentsClick();
    // File > Line Traffic... here and in every family window: shows the one
    // traffic window of the program, created on first use.
    void TrafficClick();
    TrafficWindow *trafficWindow() const { return m_traffic.get(); }

    QListWidget *ListBox1 = nullptr;
    QListWidget *ListBox2 = nullptr;
    StatusLabel *Label5 = nullptr;
    QPushButton *Button1 = nullptr;
    QTimer *Timer1 = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void switchLanguage(int langCode);
    void handOver(QWidget *window);
    void selectBaud(int baudIndex);

    Link &m_link;
    std::unique_ptr<DeviceEnumerator> m_enumerator;
    FamilyWindows m_families;
    std::function<FamilyWindows()> m_makeFamilies;
    bool m_makeQueued = false;
    std::unique_ptr<TrafficWindow> m_traffic;
};
