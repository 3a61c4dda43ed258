#include "configuration_file_menu.h"

#include "activity_owner.h"
#include "configuration_page.h"
#include "exit_edit.h"
#include "message_sink.h"
#include "numtext.h"
#include "shared_settings.h"
#include "window_commands.h"

#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSaveFile>

using i18n::Advice;

namespace {
const QString FileFilter = QStringLiteral("Configuration (*.json);;All files (*)");

// The folder of the last configuration file, for every window.
QString &lastFolder()
{
    static QString folder;
    return folder;
}

// A register value as it stands in a file and goes out on the line (16 bits).
bool fitsRegister(int value)
{
    return value >= -32768 && value <= 65535;
}
} // namespace

ConfigurationFileMenu::ConfigurationFileMenu(QMainWindow &window, WindowCommands &commands,
                                             ConfigurationPage &page, SharedSettings &settings)
    : QObject(&window)
    , m_window(window)
    , m_commands(commands)
    , m_page(page)
    , m_settings(settings)
{
    // Above "Line Traffic..." in the shell's File menu.
    auto *file = window.menuBar()->findChild<QMenu *>("File1");
    if (!file)
        return;
    QAction *first = file->actions().value(0);
    commands.addMenuEntry(file, first, "OpenConfiguration", "Open Configuration...",
                          [this] { OpenConfigurationClick(); });
    commands.addMenuEntry(file, first, "SaveConfiguration", "Save Configuration...",
                          [this] { SaveConfigurationClick(); });
    file->insertSeparator(first);
}

bool ConfigurationFileMenu::mayUseFiles(bool saving)
{
    if (!m_page.described())
        return false;
    if (m_commands.activities().shellEvent(saving ? WindowEvent::SaveConfiguration
                                                  : WindowEvent::OpenConfiguration) ==
        Response::Refuse) {
        m_commands.tell(Advice::Busy);
        return false;
    }
    if (saving && !m_page.shown()) {
        m_commands.tell(Advice::NotRead);
        return false;
    }
    return true;
}

void ConfigurationFileMenu::SaveConfigurationClick()
{
    if (!mayUseFiles(true))
        return;
    const QString folder = lastFolder().isEmpty() ? QDir::homePath() : lastFolder();
    const std::string_view family = familyRegisters(m_page.family()).name;
    const QString name =
        QString("%1-%2.json")
            .arg(QLatin1String(family.data(), static_cast<qsizetype>(family.size())))
            .arg(m_settings.shownSerial());
    const QString caption =
        m_window.findChild<QAction *>("SaveConfiguration")->text().remove("...");
    QString path =
        QFileDialog::getSaveFileName(&m_window, caption, QDir(folder).filePath(name), FileFilter);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += ".json";
    lastFolder() = QFileInfo(path).absolutePath();
    save(path);
}

bool ConfigurationFileMenu::save(const QString &path)
{
    if (!mayUseFiles(true))
        return false;
    const int devVer = m_commands.devVer();
    Configuration configuration;
    configuration.family = static_cast<int>(m_page.family());
    configuration.model = std::max(m_settings.shownModel(), 0);
    configuration.version = devVer;
    configuration.serial = m_settings.shownSerial();
    configuration.date = QDateTime::currentDateTime().toString(Qt::ISODate).toStdString();
    for (const auto &[binding, context] : m_page.description().parts) {
        const FieldContext fieldContext = context();
        for (const RegisterField *field : binding->fields()) {
            if (!inConfigurationFile(*field) || !present(*field, devVer))
                continue;
            std::optional<int> value;
            try {
                value = binding->value(field->reg, fieldContext);
            } catch (const ConversionError &) {
            }
            if (value && field->kind == FieldKind::Choice && *value < 0) {
                if (field->optional)
                    continue; // a filter nobody chose is not written either
                value.reset();
            }
            if (!value || !fitsRegister(*value)) {
                m_commands.tell(Advice::NotSaved,
                                describeField(*field) + " holds no value a register can take.");
                return false;
            }
            configuration.values[field->reg] = *value;
        }
    }
    QSaveFile file(path);
    const std::string text = configurationText(configuration);
    if (file.open(QIODevice::WriteOnly) &&
        file.write(text.data(), static_cast<qint64>(text.size())) >= 0 && file.commit())
        return true;
    m_commands.tell(Advice::NotSaved, QString("%1 cannot be written: %2")
                                          .arg(QDir::toNativeSeparators(path), file.errorString()));
    return false;
}

void ConfigurationFileMenu::OpenConfigurationClick()
{
    if (!mayUseFiles(false))
        return;
    const QString folder = lastFolder().isEmpty() ? QDir::homePath() : lastFolder();
    const QString caption =
        m_window.findChild<QAction *>("OpenConfiguration")->text().remove("...");
    const QString path = QFileDialog::getOpenFileName(&m_window, caption, folder, FileFilter);
    if (path.isEmpty())
        return;
    lastFolder() = QFileInfo(path).absolutePath();
    const std::optional<Configuration> configuration = load(path);
    if (!configuration)
        return;
    // The module keeps its own address and rate unless the operator says otherwise.
    bool takeSettings = false;
    const QString settings = settingsOf(*configuration);
    if (!settings.isEmpty())
        takeSettings =
            QMessageBox::question(
                &m_window, caption,
                i18n::adviceText(Advice::TakeSettings, m_commands.langCode()) + "\n" + settings,
                QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
    apply(*configuration, takeSettings, path);
}

bool ConfigurationFileMenu::open(const QString &path, bool takeSettings)
{
    const std::optional<Configuration> configuration = load(path);
    if (!configuration)
        return false;
    apply(*configuration, takeSettings, path);
    return true;
}

std::optional<Configuration> ConfigurationFileMenu::load(const QString &path)
{
    if (!mayUseFiles(false))
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_commands.tell(Advice::NotOpened,
                        QString("%1 cannot be read: %2")
                            .arg(QDir::toNativeSeparators(path), file.errorString()));
        return std::nullopt;
    }
    const QByteArray data = file.read(static_cast<qint64>(MaxConfigurationFileSize) + 1);
    try {
        return parseConfiguration(std::string_view(data.constData(), data.size()), m_page.family());
    } catch (const ConfigurationFileError &error) {
        const bool other = error.kind() == ConfigurationFileError::Kind::OtherFamily;
        m_commands.tell(other ? Advice::OtherFamily : Advice::Damaged,
                        QDir::toNativeSeparators(path) + ": " +
                            QString::fromStdString(error.what()) + ".");
        return std::nullopt;
    }
}

QString ConfigurationFileMenu::settingsOf(const Configuration &configuration) const
{
    QStringList settings;
    for (const auto &[binding, context] : m_page.description().parts)
        for (const RegisterField *field : binding->fields()) {
            const auto value = configuration.values.find(field->reg);
            if (field->writeOrder != SettingsStep || value == configuration.values.end() ||
                !present(*field, m_commands.devVer()))
                continue;
            QString shown = QString::number(value->second);
            if (auto *combo = qobject_cast<QComboBox *>(binding->control(field->reg));
                combo && value->second >= 0 && value->second < combo->count())
                shown = combo->itemText(value->second);
            settings << describeField(*field) + ": " + shown;
        }
    return settings.join("\n");
}

void ConfigurationFileMenu::apply(const Configuration &configuration, bool takeSettings,
                                  const QString &path)
{
    const FamilyRegisters &family = familyRegisters(m_page.family());
    const int devVer = m_commands.devVer();
    std::map<int, int> words;
    QStringList notOnModule;
    bool settingsKept = false;
    for (const auto &[reg, value] : configuration.values) {
        const RegisterField &field = *configurationField(family, reg);
        if (field.writeOrder == SettingsStep && !takeSettings) {
            settingsKept = settingsKept || present(field, devVer);
            continue;
        }
        if (!present(field, devVer)) {
            notOnModule << "  " + describeField(field);
            continue;
        }
        words[reg] = value;
    }
    // Settings taken over from the file are the operator's choice.
    if (takeSettings)
        m_settings.setByOperator();
    // The read's own decode fills the page.
    m_page.description().show(RegisterWords(words));

    // Then every field the file filled is left in turn, as by the operator:
    // a value outside a field's rules is corrected by that field's exit rule.
    QStringList corrected;
    for (const auto &[binding, context] : m_page.description().parts)
        for (const RegisterField *field : binding->fields()) {
            const auto word = words.find(field->reg);
            if (word == words.end() || !inConfigurationFile(*field))
                continue;
            if (field->kind == FieldKind::Choice && binding->choice(field->reg) < 0) {
                corrected << QString("  %1: %2 is none of its choices, left empty")
                                 .arg(describeField(*field))
                                 .arg(word->second);
                continue;
            }
            auto *edit = qobject_cast<ExitEdit *>(binding->control(field->reg));
            if (!edit)
                continue;
            const QString before = edit->text();
            emit edit->exited();
            if (edit->text() != before)
                corrected
                    << QString("  %1: %2 -> %3").arg(describeField(*field), before, edit->text());
        }
    showMessage(
        openedText(configuration, path, corrected, notOnModule, settingsKept).toStdString());
}

QString ConfigurationFileMenu::openedText(const Configuration &configuration, const QString &path,
                                          const QStringList &corrected,
                                          const QStringList &notOnModule, bool settingsKept) const
{
    const int langCode = m_commands.langCode();
    const auto advice = [langCode](Advice which) { return i18n::adviceText(which, langCode); };
    QString text = advice(Advice::Opened) + "\n" + QDir::toNativeSeparators(path);
    if (!corrected.isEmpty())
        text += "\n\n" + advice(Advice::Corrected) + "\n" + corrected.join("\n");
    if (!notOnModule.isEmpty())
        text += "\n\n" + advice(Advice::NotOnModule) + "\n" + notOnModule.join("\n");
    if (settingsKept)
        text += "\n\n" + advice(Advice::SettingsKept);
    const int shownModel = m_settings.shownModel();
    if (m_page.shown() && shownModel >= 0 && configuration.model != shownModel)
        text += "\n\n" + advice(Advice::OtherModel).arg(configuration.model).arg(shownModel);
    return text;
}
