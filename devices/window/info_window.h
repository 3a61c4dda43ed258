#pragma once

#include "device_window.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTabWidget;
class StatusLabel;

// What a family window shows of the module before its family's own pages are
// in place: the "Configuration" page with the "Device Information" group
// (model label, hidden version label, serial number, status), the address and
// baud controls where the family has them, and the hidden serial-number group
// of the service functions.
struct InfoWindowLayout
{
    QString className;           // "TForm2", ...
    QString helpStem;            // help files, empty for none
    QString infoGroup = "Item8"; // the "Device Information" group
    QString modelLabel;          // "Label18", "Label27", "Label33"
    QString versionLabel;        // "Label7", "Label45", "Label32"
    QString addressGroup;        // "GroupBox15", "Item_13"; empty: none
    QString serialGroup;         // "GroupBox6", "GroupBox3"; empty: none
    QString serialEdit;          // "Edit1", "Edit17"
    QString serialButton;        // "Button1", "Button3"
    QString serialText;          // design-time text of the serial edit
    int commandCell = 9;         // where code 34 commits a serial number
};

// The layouts of the transmitter, resistance transmitter and distributor
// windows.
InfoWindowLayout transmitterLayout();       // TForm2
InfoWindowLayout resistanceLayout();        // TForm4
InfoWindowLayout compactResistanceLayout(); // TForm10
InfoWindowLayout distributorLayout();       // TForm5
InfoWindowLayout vmaDistributorLayout();    // TForm7

class InfoWindow : public DeviceWindow
{
    Q_OBJECT

public:
    InfoWindow(const InfoWindowLayout &layout, Link &link, TForm3 &scan);

    // Shows what the scan learnt of the module (serial number, version label,
    // the transmitter's model label), applies the language and, for the
    // distributors, restores the module's own address and baud rate.
    void FormActivate() override;
    void serviceModeChanged(bool on) override;
    // "Load Serial Number".
    void loadSerialClick();

private:
    InfoWindowLayout m_layout;
    QTabWidget *m_pages = nullptr;
    QLabel *m_model = nullptr;
    QLabel *m_version = nullptr;
    QLabel *m_serial = nullptr;
    QGroupBox *m_serialGroup = nullptr;
    QLineEdit *m_serialEdit = nullptr;
    QLineEdit *m_address = nullptr;
};
