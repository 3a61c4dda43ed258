#pragma once

#include "request_chain.h"
#include "settings_chains.h"

#include <QObject>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <optional>

class QAbstractButton;
class QComboBox;
class QLabel;
class QLineEdit;
class WindowCommands;
struct InfoBlock;

// The settings every family shares, as a window shows and changes them: the
// information block (version label, serial number), the module's own address
// and baud rate (restored from two holding registers, written after a
// configuration), the address "Set" button and "Load Serial Number".
class SharedSettings : public QObject
{
    Q_OBJECT

public:
    explicit SharedSettings(WindowCommands &commands);

    // Activation: when restore is set, the module is put back to the address
    // and baud code of holding registers reg and reg+1 first; then read runs.
    // When they cannot be read, the module's own address and rate are not
    // known: the read ends in "Read Fail" and says so, every later read tries
    // the restore first, and "Write To Device" leaves the address and baud
    // step out until a restore has read them or the operator has set both
    // fields.
    void restoreThenRead(bool restore, int reg, QLineEdit *addressField, QComboBox *baudField,
                         std::function<void()> read);
    // The restore a read makes first while the module's own settings are not
    // known; false when none is due.
    bool appendDueRestore(RequestChain &chain);
    // After a read that restored: "Read Fail" and a message when the module's
    // own address and rate are still not known.
    void restoreEnded();
    // The address and baud rate the page shows are the scan's, not the
    // module's own, and the operator has not set them.
    bool ownSettingsGuessed() const;
    // A configuration file's address and rate were taken over: the
    // operator's choice.
    void setByOperator();

    // The shared settings, as steps of the window's chains.
    void appendRestore(RequestChain &chain, int reg, QLineEdit *addressField,
                       std::function<void(bool read)> read = {});
    void appendAddressAndBaud(RequestChain &chain, int address, int baudIndex);
    // The message for a module left at other settings than it answers at.
    void noteLostModule(const SettingsChange &change);

    // Shows a sound information block: version label, serial number.
    void showInfoBlock(const InfoBlock &info, QLabel *versionLabel, QLabel *serialLabel);
    // Model code (-1 for none) and serial number of the last block shown.
    int shownModel() const { return m_shownModel; }
    std::uint32_t shownSerial() const { return m_shownSerial; }

    // The serial-number group: its "Load Serial Number" button, the number's
    // field and the command cell that commits it.
    void setSerialNumberGroup(QAbstractButton *load, QLineEdit *edit, int commandCell);
    // "Load Serial Number": the number goes out, the field shows the next one.
    void loadSerialNumber();
    // The address "Set" button.
    void setAddress(QLineEdit *addressField, QComboBox *baudField);

private:
    WindowCommands &m_commands;
    // The module's own address and baud rate: where the restore reads them,
    // the page's fields, and whether they are known.
    struct OwnSettings
    {
        std::optional<int> reg; // nothing: this module restores none
        QPointer<QLineEdit> address;
        QPointer<QComboBox> baud;
        bool unknown = false;    // the restore could not read them
        bool addressSet = false; // the operator set the field since
        bool baudSet = false;
    } m_own;
    QLineEdit *m_serialEdit = nullptr;
    int m_serialCell = 0;
    int m_shownModel = -1;           // model code and serial number of the last
    std::uint32_t m_shownSerial = 0; // information block shown
};
