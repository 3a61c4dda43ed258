#include "configuration_page.h"

#include "activity_owner.h"
#include "configuration_chains.h"
#include "input_check.h"
#include "link.h"
#include "shared_settings.h"
#include "trim_binding.h"
#include "window_commands.h"

#include <QAbstractButton>
#include <QStringList>

#include <memory>

using i18n::Status;

QString describeField(const RegisterField &field)
{
    return QString("%1 (%2)").arg(
        QString::fromUtf8(field.meaning.data(), static_cast<qsizetype>(field.meaning.size())),
        QString::fromUtf8(field.control.data(), static_cast<qsizetype>(field.control.size())));
}

ConfigurationPage::ConfigurationPage(WindowCommands &commands, SharedSettings &settings)
    : QObject(&commands)
    , m_commands(commands)
    , m_settings(settings)
{}

void ConfigurationPage::describe(Description description)
{
    m_description = std::move(description);
    ActivityOwner &owner = m_commands.activities();
    if (m_description.readButton)
        connect(m_description.readButton, &QAbstractButton::clicked, this,
                [this, &owner] { owner.caught([this] { readCommand(); }); });
    if (m_description.writeButton)
        connect(m_description.writeButton, &QAbstractButton::clicked, this,
                [this, &owner] { owner.caught([this] { writeCommand(); }); });
}

void ConfigurationPage::readCommand()
{
    // A live or count poll ends here.
    if (m_commands.activities().begin(WindowEvent::Read))
        read();
}

void ConfigurationPage::read()
{
    const Description &page = m_description;
    if (page.beforeRead)
        page.beforeRead();
    m_shown = false;
    m_commands.showStatus(Status::Transmission);
    RequestChain chain;
    const bool restoring = m_settings.appendDueRestore(chain);
    appendConfigurationRead(chain, m_commands.link(), page.family, page.accept, page.count,
                            page.readWait, [this] { return decode(); });
    m_commands.runChain(std::move(chain), Status::ReadSuccess, Status::ReadFail,
                        [this, restoring](bool ok) {
                            if (ok && restoring)
                                m_settings.restoreEnded();
                            if (m_description.readEnded)
                                m_description.readEnded(ok);
                        });
}

bool ConfigurationPage::decode()
{
    // Only a whole, sound block is shown; otherwise every field keeps its text.
    const int count = m_description.count();
    if (!m_commands.link().ReplyOk(count))
        return false;
    m_description.show(replyWords(count));
    if (m_trim)
        m_trim->setArmed(true);
    if (m_description.afterShow)
        m_description.afterShow();
    m_shown = true;
    return true;
}

void ConfigurationPage::writeCommand()
{
    // A live or count poll ends here.
    if (!m_commands.activities().begin(WindowEvent::Write))
        return;
    m_commands.activities().guarded(Status::WriteFail, [this] {
        if (!m_description.check()) {
            inputCheckFailed();
            return;
        }
        write();
    });
}

void ConfigurationPage::write()
{
    // Every value is converted before the first request, so that invalid
    // text never leaves the module half written.
    const Write values = m_description.values();
    ConfigurationWrite write;
    write.family = m_description.family;
    write.devVer = m_commands.devVer();
    write.writes = values.writes;
    write.wait = m_description.writeWait;
    write.storingWait = m_description.storingWait;
    write.moduleCheck = m_description.moduleCheck;
    // Only a sound answer with the "stored" code counts as stored.
    auto stored = std::make_shared<bool>(true);
    write.stored = [stored](bool ok) { *stored = ok; };
    write.address = values.address;
    write.baudIndex = values.baudIndex;
    write.lost = [this](const SettingsChange &change) { m_settings.noteLostModule(change); };
    // An address and rate the page only shows because the scan set them are
    // never stored as the module's own.
    write.addressAndBaud = !m_settings.ownSettingsGuessed();
    const bool leftOut = writesAddressAndBaud(write.family) && !write.addressAndBaud;
    // A write that reads the information block first shows "Transmission..."
    // once the block is its window's.
    if (!write.moduleCheck)
        m_commands.showStatus(Status::Transmission);
    RequestChain chain;
    appendConfigurationWrite(chain, m_commands.link(), write);
    m_commands.runChain(
        std::move(chain),
        [this, stored, leftOut](bool ok) {
            if (m_description.writeEnded && m_description.writeEnded(ok))
                return;
            m_commands.activities().end(Activity::Write, !ok       ? Status::WriteFail
                                                         : *stored ? Status::WriteSuccess
                                                                   : Status::WriteMemoryFail);
            if (ok && leftOut)
                m_commands.notePending(
                    i18n::adviceText(i18n::Advice::OwnSettingsLeftOut, m_commands.langCode())
                        .toStdString());
            m_commands.showPending();
        },
        Status::WriteFail);
}

bool ConfigurationPage::choicesMade(const RegisterBinding &binding)
{
    for (const RegisterField *field : binding.fields())
        m_emptyChoices.erase(field);
    const auto empty = binding.emptyChoices(m_commands.devVer());
    for (const auto &[field, code] : empty)
        m_emptyChoices[field] =
            "  " + describeField(*field) + ": " +
            (code >= 0 ? QString("the module holds code %1").arg(code) : QString("none chosen"));
    return empty.empty();
}

void ConfigurationPage::inputCheckFailed()
{
    m_commands.activities().end(Activity::Write, Status::WriteFail);
    if (m_emptyChoices.empty())
        return;
    QStringList named;
    for (const auto &[field, text] : m_emptyChoices)
        named << text;
    m_commands.tell(i18n::Advice::EmptyChoices, named.join("\n"));
}

RegisterWords ConfigurationPage::replyWords(int count) const
{
    const Link &link = m_commands.link();
    return RegisterWords(count, [&link](int reg) { return link.replyRegister(reg); });
}
