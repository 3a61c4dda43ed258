#include "shared_settings.h"

#include "activity_owner.h"
#include "device_settings.h"
#include "field_rules.h"
#include "link.h"
#include "numtext.h"
#include "port_tables.h"
#include "window_commands.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

using i18n::Status;

SharedSettings::SharedSettings(WindowCommands &commands)
    : QObject(&commands)
    , m_commands(commands)
{}

void SharedSettings::restoreThenRead(bool restore, int reg, QLineEdit *addressField,
                                     QComboBox *baudField, std::function<void()> read)
{
    if (m_own.address != addressField) {
        // Only the operator's own edits count as setting a field.
        connect(addressField, &QLineEdit::textEdited, this, [this] { m_own.addressSet = true; });
        connect(baudField, &QComboBox::activated, this, [this] { m_own.baudSet = true; });
        m_own.address = addressField;
        m_own.baud = baudField;
    }
    // The read restores first while the module's own settings are not known.
    m_own.reg = restore ? std::optional<int>(reg) : std::nullopt;
    m_own.unknown = restore;
    m_own.addressSet = false;
    m_own.baudSet = false;
    read();
}

bool SharedSettings::appendDueRestore(RequestChain &chain)
{
    if (!m_own.reg || !m_own.unknown)
        return false;
    appendRestore(chain, *m_own.reg, m_own.address, [this](bool read) { m_own.unknown = !read; });
    return true;
}

void SharedSettings::restoreEnded()
{
    // The module answered at the scan's address and rate, but its own could
    // not be read: the page shows the scan's.
    if (!m_own.unknown)
        return;
    m_commands.showStatus(Status::ReadFail);
    const Link &link = m_commands.link();
    m_commands.notePending(
        i18n::adviceText(i18n::Advice::OwnSettingsUnread, m_commands.langCode())
            .arg(link.ComBuf[cb::DevAddr])
            .arg(BaudRates[static_cast<std::size_t>(effectiveBaud(link, link.currentBaud()))])
            .toStdString());
}

bool SharedSettings::ownSettingsGuessed() const
{
    return m_own.unknown && !(m_own.addressSet && m_own.baudSet);
}

void SharedSettings::setByOperator()
{
    m_own.addressSet = true;
    m_own.baudSet = true;
}

void SharedSettings::appendRestore(RequestChain &chain, int reg, QLineEdit *addressField,
                                   std::function<void(bool)> read)
{
    ::appendRestore(
        chain, m_commands.link(), reg,
        [addressField](int address) {
            if (addressField)
                addressField->setText(QString::number(address));
        },
        std::move(read));
}

void SharedSettings::appendAddressAndBaud(RequestChain &chain, int address, int baudIndex)
{
    ::appendAddressAndBaud(chain, m_commands.link(), address, baudIndex,
                           [this](const SettingsChange &change) { noteLostModule(change); });
}

void SharedSettings::noteLostModule(const SettingsChange &change)
{
    m_commands.notePending(lostModuleMessage(change));
}

void SharedSettings::showInfoBlock(const InfoBlock &info, QLabel *versionLabel, QLabel *serialLabel)
{
    m_commands.link().ComBuf[cb::DevVer] = static_cast<std::int16_t>(info.version);
    m_shownModel = info.model;
    m_shownSerial = info.serial;
    if (versionLabel)
        versionLabel->setText(QString::fromStdString(VersionTable(info.version)));
    if (serialLabel)
        serialLabel->setText(QString::number(info.serial));
}

void SharedSettings::setSerialNumberGroup(QAbstractButton *load, QLineEdit *edit, int commandCell)
{
    m_serialEdit = edit;
    m_serialCell = commandCell;
    connect(load, &QAbstractButton::clicked, this,
            [this] { m_commands.activities().caught([this] { loadSerialNumber(); }); });
}

void SharedSettings::loadSerialNumber()
{
    QLineEdit *edit = m_serialEdit;
    const int commandCell = m_serialCell;
    // Text that is not a number is the standard conversion error, before
    // anything starts.
    const std::uint32_t number = serialNumberOf(edit->text().toStdString());
    ActivityOwner &owner = m_commands.activities();
    if (!owner.begin(WindowEvent::LoadSerialNumber))
        return;
    RequestChain chain;
    appendSerialNumber(chain, number, commandCell, [edit, number] {
        edit->setText(QString::number(static_cast<std::uint32_t>(number + 1)));
    });
    m_commands.runChain(
        std::move(chain), [&owner](bool) { owner.end(Activity::SerialLoad); }, Status::WriteFail);
}

void SharedSettings::setAddress(QLineEdit *addressField, QComboBox *baudField)
{
    // Address 0 is the broadcast address: a module would be left answering nobody.
    const std::string text = addressField->text().toStdString();
    if (!validAddress(text)) {
        textToInt(text); // text that is not a number is the standard conversion error
        m_commands.showStatus(Status::WriteFail);
        return;
    }
    const int address = textToInt(text);
    ActivityOwner &owner = m_commands.activities();
    if (!owner.begin(WindowEvent::AddressSet))
        return;
    RequestChain chain;
    appendSetAddress(chain, m_commands.link(), address, baudField->currentIndex(),
                     [this](const SettingsChange &change) { noteLostModule(change); });
    m_commands.runChain(
        std::move(chain),
        [this, &owner](bool ok) {
            // The button reports nothing unless the module was lost.
            if (!ok)
                m_commands.showStatus(Status::WriteFail);
            owner.end(Activity::AddressSet);
            m_commands.showPending();
        },
        Status::WriteFail);
}
