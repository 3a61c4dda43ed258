#include "device_window.h"

#include "calibration_runner.h"
#include "configuration_chains.h"
#include "exit_edit.h"
#include "field_rules.h"
#include "input_check.h"
#include "link.h"
#include "message_sink.h"
#include "numtext.h"
#include "radio_group.h"
#include "status_label.h"
#include "trim_binding.h"

#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSaveFile>
#include <QTabWidget>
#include <QTimer>

using i18n::Status;

namespace {
// Texts of the configuration file commands. Details (file names, fields and
// reasons) follow in English, as the register tables name the fields.
const i18n::Texts Busy = {"Wait until the command under way has ended.", "請等待目前的通訊結束。",
                          "请等待目前的通讯结束。"};
const i18n::Texts NotRead = {
    "Configuration not saved: the page does not show a module's configuration yet. Press "
    "\"Read From Device\" first.",
    "設定未儲存：頁面尚未顯示裝置的設定，請先按「讀出」。",
    "设定未保存：页面尚未显示装置的设定，请先按“读出”。"};
const i18n::Texts NotSaved = {"Configuration not saved:", "設定未儲存：", "设定未保存："};
const i18n::Texts NotOpened = {"Configuration not opened:", "設定檔未開啟：", "设定档未打开："};
const i18n::Texts OtherFamily = {"Configuration not opened: the file is of another family.",
                                 "設定檔未開啟：檔案屬於其他系列的裝置。",
                                 "设定档未打开：文件属于其他系列的装置。"};
const i18n::Texts Damaged = {"Configuration not opened: the file is damaged.",
                             "設定檔未開啟：檔案已損壞。", "设定档未打开：文件已损坏。"};
const i18n::Texts Opened = {
    "Configuration opened. Nothing has been sent to the module: \"Write To Device\" writes it.",
    "設定檔已開啟，尚未傳送至裝置：按「寫入」寫入裝置。",
    "设定档已打开，尚未传送至装置：按“写入”写入装置。"};
const i18n::Texts Corrected = {"Corrected by the field's own rule:", "已依欄位規則修正：",
                               "已依栏位规则修正："};
const i18n::Texts NotOnModule = {"Not on this module, left as it was:", "此裝置沒有，維持原值：",
                                 "此装置没有，维持原值："};
const i18n::Texts SettingsKept = {"Address and baud rate left as they were.",
                                  "位址與鮑率維持原值。", "位址与鲍率维持原值。"};
const i18n::Texts OtherModel = {"The file was saved from model code %1; this module has %2.",
                                "檔案來自型號代碼 %1 的裝置；此裝置為 %2。",
                                "文件来自型号代码 %1 的装置；此装置为 %2。"};
const i18n::Texts TakeSettings = {"Take over the address and baud rate of the file as well?",
                                  "是否一併採用檔案中的位址與鮑率？",
                                  "是否一并采用文件中的位址与鲍率？"};

const QString FileFilter = QStringLiteral("Configuration (*.json);;All files (*)");

// The folder of the last configuration file, for every window.
QString &lastFolder()
{
    static QString folder;
    return folder;
}

QString describe(const RegisterField &field)
{
    return QString("%1 (%2)").arg(
        QString::fromUtf8(field.meaning.data(), static_cast<qsizetype>(field.meaning.size())),
        QString::fromUtf8(field.control.data(), static_cast<qsizetype>(field.control.size())));
}

// A register value as it stands in a file and goes out on the line (16 bits).
bool fitsRegister(int value)
{
    return value >= -32768 && value <= 65535;
}
} // namespace

DeviceWindow::DeviceWindow(const QString &className, Link &link, TForm3 &scan,
                           const QString &helpStem)
    : FamilyWindow(className, link, scan, helpStem)
    , m_chain(link, this)
{
    addConfigurationEntries();
}

DeviceWindow::~DeviceWindow() = default;

QTimer *DeviceWindow::addTimer(const char *name, int interval, std::function<void()> handler)
{
    auto *timer = new QTimer(this);
    timer->setObjectName(name);
    timer->setInterval(interval);
    timer->setTimerType(Qt::PreciseTimer); // coarse timers may fire 5 % early
    if (handler) {
        m_handlers.emplace_back(timer, handler);
        connect(timer, &QTimer::timeout, this, [handler = std::move(handler)] { handler(); });
    }
    m_timers.append(timer);
    return timer;
}

void DeviceWindow::fireTimer(QTimer *timer)
{
    for (const auto &[owner, handler] : m_handlers)
        if (owner == timer) {
            handler();
            return;
        }
}

int DeviceWindow::devVer() const
{
    return link().ComBuf[cb::DevVer];
}

void DeviceWindow::showStatus(Status status)
{
    if (!m_status)
        return;
    i18n::showStatus(*m_status, status, link().ComBuf[cb::LangCode]);
    // "Transmission..." comes just before an exchange that holds the event
    // loop: it is painted now (with whatever else of the window changed), not
    // once the exchange is over.
    if (status == Status::Transmission)
        m_status->repaint();
}

void DeviceWindow::setCommandControls(const QList<QWidget *> &disabled,
                                      const QList<QWidget *> &enabled)
{
    m_offControls.clear();
    m_onControls.clear();
    for (QWidget *control : disabled)
        m_offControls.append(control);
    for (QWidget *control : enabled)
        m_onControls.append(control);
}

void DeviceWindow::BtnAllOFF()
{
    for (const QPointer<QWidget> &control : std::as_const(m_offControls))
        if (control)
            control->setEnabled(false);
    if (m_trim)
        m_trim->setEnabled(false);
}

void DeviceWindow::BtnAllON()
{
    for (const QPointer<QWidget> &control : std::as_const(m_onControls))
        if (control)
            control->setEnabled(true);
    if (m_trim)
        m_trim->setEnabled(true);
}

void DeviceWindow::TimerAllOFF()
{
    m_chain.stop();
    for (QTimer *timer : std::as_const(m_timers))
        if (!m_kept.contains(timer))
            timer->stop();
}

std::string DeviceWindow::fieldText(const QLineEdit *field)
{
    return field->text().toStdString();
}

void DeviceWindow::setFieldText(QLineEdit *field, const std::string &text)
{
    field->setText(QString::fromStdString(text));
}

void DeviceWindow::markChecked(ExitEdit *field, bool passes)
{
    if (passes) {
        field->resetColor();
        return;
    }
    CheckFailed = true;
    field->setColor(Qt::red);
}

void DeviceWindow::chainTabOrder(const QList<QWidget *> &order)
{
    QList<QWidget *> chain;
    for (QWidget *widget : order) {
        if (auto *group = qobject_cast<RadioGroup *>(widget)) {
            for (int i = 0; i < group->count(); ++i)
                chain << group->button(i);
        } else {
            chain << widget;
        }
    }
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void DeviceWindow::checkAddress(ExitEdit *field)
{
    if (!validAddress(fieldText(field))) {
        CheckFailed = true;
        field->setColor(Qt::red);
    }
}

void DeviceWindow::runChain(RequestChain chain, Status success, Status failure,
                            std::function<void(bool)> after)
{
    runChain(
        std::move(chain),
        [this, success, failure, after = std::move(after)](bool ok) {
            showStatus(ok ? success : failure);
            BtnAllON();
            if (after)
                after(ok);
            showPendingMessage();
        },
        failure);
}

void DeviceWindow::runChain(RequestChain chain, ChainRunner::Finished finished, Status failure)
{
    exchangeStarting();
    m_pendingMessage.clear();
    m_chain.start(std::move(chain), std::move(finished), [this, failure] {
        showStatus(failure);
        BtnAllON();
    });
}

void DeviceWindow::beginActivation(QTabWidget *pages, QLabel *serial, QLabel *version)
{
    TimerAllOFF();
    // Saving a configuration waits for this activation's read.
    m_configurationShown = false;
    // The trim counts shown may be another module's until a read has shown
    // this one's.
    if (m_trim)
        m_trim->setArmed(false);
    pages->setCurrentIndex(0);
    if (serial)
        serial->setText(QString::number(link().SerialNo));
    if (version)
        version->setText(QString::fromStdString(VersionTable(devVer())));
    applyCurrentLanguage();
}

void DeviceWindow::showFactoryFunctions(bool on, QTabWidget *pages, const QList<QWidget *> &factory)
{
    if (!on) {
        // A calibration point cannot go on with its page gone: it ends unstored.
        if (m_calibration && m_calibration->current() >= 0)
            m_calibration->abandon();
        pages->setCurrentIndex(0);
    }
    for (QWidget *widget : factory) {
        const int page = pages->indexOf(widget);
        if (page >= 0)
            pages->setTabVisible(page, on);
        else
            widget->setVisible(on);
    }
}

void DeviceWindow::runQuietly(RequestChain chain)
{
    exchangeStarting();
    m_chain.start(std::move(chain), {});
}

void DeviceWindow::runCommandChain(RequestChain chain, Status failure)
{
    runChain(
        std::move(chain), [](bool) {}, failure);
}

void DeviceWindow::guarded(Status failure, const std::function<void()> &body)
{
    try {
        body();
    } catch (...) {
        m_chain.stop();
        showStatus(failure);
        BtnAllON();
        throw;
    }
}

void DeviceWindow::restoreThenRead(bool restore, int reg, QLineEdit *addressField,
                                   std::function<void()> read)
{
    if (!restore) {
        read();
        return;
    }
    RequestChain chain;
    appendRestore(chain, reg, addressField);
    BtnAllOFF();
    runChain(
        std::move(chain), [read = std::move(read)](bool) { read(); }, Status::ReadFail);
}

void DeviceWindow::runConfigurationRead(std::function<bool(const InfoBlock &)> accept,
                                        std::function<int()> count, QTimer *timer,
                                        std::function<bool()> decode,
                                        std::function<void(bool)> after)
{
    configurationReadStarting();
    decode = [this, decode = std::move(decode)] {
        if (!decode())
            return false;
        configurationShown();
        return true;
    };
    BtnAllOFF();
    showStatus(Status::Transmission);
    RequestChain chain;
    appendConfigurationRead(chain, link(), m_page.family, std::move(accept), std::move(count),
                            timer, std::move(decode));
    runChain(std::move(chain), Status::ReadSuccess, Status::ReadFail, std::move(after));
}

void DeviceWindow::runConfigurationWrite(QTimer *timer,
                                         const std::vector<RegisterBinding::Write> &writes,
                                         int address, int baudIndex)
{
    BtnAllOFF();
    showStatus(Status::Transmission);
    ConfigurationWrite write;
    write.family = m_page.family;
    write.devVer = devVer();
    write.writes = writes;
    write.wait = timer;
    write.address = address;
    write.baudIndex = baudIndex;
    write.lost = [this](const SettingsChange &change) { noteLostModule(change); };
    RequestChain chain;
    appendConfigurationWrite(chain, link(), write);
    runChain(std::move(chain), Status::WriteSuccess, Status::WriteFail);
}

void DeviceWindow::appendRestore(RequestChain &chain, int reg, QLineEdit *addressField)
{
    ::appendRestore(chain, link(), reg, [addressField](int address) {
        if (addressField)
            addressField->setText(QString::number(address));
    });
}

void DeviceWindow::appendAddressAndBaud(RequestChain &chain, int address, int baudIndex)
{
    ::appendAddressAndBaud(chain, link(), address, baudIndex,
                           [this](const SettingsChange &change) { noteLostModule(change); });
}

void DeviceWindow::noteLostModule(const SettingsChange &change)
{
    m_pendingMessage = lostModuleMessage(change);
}

void DeviceWindow::showPendingMessage()
{
    // Shown once the chain has ended and the controls are back: the box runs
    // an event loop of its own.
    if (m_pendingMessage.empty())
        return;
    const std::string text = std::move(m_pendingMessage);
    m_pendingMessage.clear();
    showMessage(text);
}

void DeviceWindow::showInfoBlock(const InfoBlock &info, QLabel *versionLabel, QLabel *serialLabel)
{
    link().ComBuf[cb::DevVer] = static_cast<std::int16_t>(info.version);
    m_shownModel = info.model;
    m_shownSerial = info.serial;
    if (versionLabel)
        versionLabel->setText(QString::fromStdString(VersionTable(info.version)));
    if (serialLabel)
        serialLabel->setText(QString::number(info.serial));
}

void DeviceWindow::loadSerialNumber(QLineEdit *edit, int commandCell)
{
    const std::uint32_t number = serialNumberOf(edit->text().toStdString());
    RequestChain chain;
    appendSerialNumber(chain, number, commandCell, [edit, number] {
        edit->setText(QString::number(static_cast<std::uint32_t>(number + 1)));
    });
    BtnAllOFF();
    runChain(
        std::move(chain), [this](bool) { BtnAllON(); }, Status::WriteFail);
}

void DeviceWindow::setAddress(QLineEdit *addressField, QComboBox *baudField)
{
    // Address 0 is the broadcast address: a module would be left answering nobody.
    const std::string text = addressField->text().toStdString();
    if (!validAddress(text)) {
        textToInt(text); // text that is not a number is the standard conversion error
        showStatus(Status::WriteFail);
        return;
    }
    const int address = textToInt(text);
    RequestChain chain;
    appendSetAddress(chain, link(), address, baudField->currentIndex(),
                     [this](const SettingsChange &change) { noteLostModule(change); });
    BtnAllOFF();
    runChain(
        std::move(chain),
        [this](bool ok) {
            // The button reports nothing unless the module was lost.
            if (!ok)
                showStatus(Status::WriteFail);
            BtnAllON();
            showPendingMessage();
        },
        Status::WriteFail);
}

RegisterWords DeviceWindow::replyWords(int count) const
{
    return RegisterWords(count, [this](int reg) { return link().replyRegister(reg); });
}

void DeviceWindow::setConfigurationPage(ConfigurationPage page)
{
    m_page = std::move(page);
}

void DeviceWindow::addConfigurationEntries()
{
    // Above "Line Traffic..." in the shell's File menu.
    auto *file = menuBar()->findChild<QMenu *>("File1");
    if (!file)
        return;
    QAction *first = file->actions().value(0);
    const auto add = [&](const char *name, const char *text, void (DeviceWindow::*handler)()) {
        auto *action = new QAction(QString::fromLatin1(text), file);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, handler);
        file->insertAction(first, action);
    };
    add("OpenConfiguration", "Open Configuration...", &DeviceWindow::OpenConfigurationClick);
    add("SaveConfiguration", "Save Configuration...", &DeviceWindow::SaveConfigurationClick);
    file->insertSeparator(first);
}

void DeviceWindow::tell(const i18n::Texts &texts, const QString &details)
{
    QString text = i18n::pickText(link().ComBuf[cb::LangCode], texts);
    if (!details.isEmpty())
        text += "\n" + details;
    showMessage(text.toStdString());
}

bool DeviceWindow::mayUseFiles(bool saving)
{
    if (!m_page.show)
        return false;
    if (busy()) {
        tell(Busy);
        return false;
    }
    if (saving && !m_configurationShown) {
        tell(NotRead);
        return false;
    }
    return true;
}

void DeviceWindow::SaveConfigurationClick()
{
    if (!mayUseFiles(true))
        return;
    const QString folder = lastFolder().isEmpty() ? QDir::homePath() : lastFolder();
    const std::string_view family = familyRegisters(m_page.family).name;
    const QString name =
        QString("%1-%2.json")
            .arg(QLatin1String(family.data(), static_cast<qsizetype>(family.size())))
            .arg(m_shownSerial);
    const QString caption = findChild<QAction *>("SaveConfiguration")->text().remove("...");
    QString path =
        QFileDialog::getSaveFileName(this, caption, QDir(folder).filePath(name), FileFilter);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += ".json";
    lastFolder() = QFileInfo(path).absolutePath();
    saveConfiguration(path);
}

bool DeviceWindow::saveConfiguration(const QString &path)
{
    if (!mayUseFiles(true))
        return false;
    Configuration configuration;
    configuration.family = static_cast<int>(m_page.family);
    configuration.model = std::max(m_shownModel, 0);
    configuration.version = devVer();
    configuration.serial = m_shownSerial;
    configuration.date = QDateTime::currentDateTime().toString(Qt::ISODate).toStdString();
    for (const auto &[binding, context] : m_page.parts) {
        const FieldContext fieldContext = context();
        for (const RegisterField *field : binding->fields()) {
            if (!inConfigurationFile(*field) || !present(*field, devVer()))
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
                tell(NotSaved, describe(*field) + " holds no value a register can take.");
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
    tell(NotSaved, QString("%1 cannot be written: %2")
                       .arg(QDir::toNativeSeparators(path), file.errorString()));
    return false;
}

void DeviceWindow::OpenConfigurationClick()
{
    if (!mayUseFiles(false))
        return;
    const QString folder = lastFolder().isEmpty() ? QDir::homePath() : lastFolder();
    const QString caption = findChild<QAction *>("OpenConfiguration")->text().remove("...");
    const QString path = QFileDialog::getOpenFileName(this, caption, folder, FileFilter);
    if (path.isEmpty())
        return;
    lastFolder() = QFileInfo(path).absolutePath();
    const std::optional<Configuration> configuration = loadConfiguration(path);
    if (!configuration)
        return;
    // The module keeps its own address and rate unless the operator says otherwise.
    bool takeSettings = false;
    const QString settings = settingsOf(*configuration);
    if (!settings.isEmpty())
        takeSettings =
            QMessageBox::question(
                this, caption,
                i18n::pickText(link().ComBuf[cb::LangCode], TakeSettings) + "\n" + settings,
                QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
    applyConfiguration(*configuration, takeSettings, path);
}

bool DeviceWindow::openConfiguration(const QString &path, bool takeSettings)
{
    const std::optional<Configuration> configuration = loadConfiguration(path);
    if (!configuration)
        return false;
    applyConfiguration(*configuration, takeSettings, path);
    return true;
}

std::optional<Configuration> DeviceWindow::loadConfiguration(const QString &path)
{
    if (!mayUseFiles(false))
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        tell(NotOpened, QString("%1 cannot be read: %2")
                            .arg(QDir::toNativeSeparators(path), file.errorString()));
        return std::nullopt;
    }
    const QByteArray data = file.read(static_cast<qint64>(MaxConfigurationFileSize) + 1);
    try {
        return parseConfiguration(std::string_view(data.constData(), data.size()), m_page.family);
    } catch (const ConfigurationFileError &error) {
        const bool other = error.kind() == ConfigurationFileError::Kind::OtherFamily;
        tell(other ? OtherFamily : Damaged,
             QDir::toNativeSeparators(path) + ": " + QString::fromStdString(error.what()) + ".");
        return std::nullopt;
    }
}

QString DeviceWindow::settingsOf(const Configuration &configuration) const
{
    QStringList settings;
    for (const auto &[binding, context] : m_page.parts)
        for (const RegisterField *field : binding->fields()) {
            const auto value = configuration.values.find(field->reg);
            if (field->writeOrder != SettingsStep || value == configuration.values.end() ||
                !present(*field, devVer()))
                continue;
            QString shown = QString::number(value->second);
            if (auto *combo = qobject_cast<QComboBox *>(binding->control(field->reg));
                combo && value->second >= 0 && value->second < combo->count())
                shown = combo->itemText(value->second);
            settings << describe(*field) + ": " + shown;
        }
    return settings.join("\n");
}

void DeviceWindow::applyConfiguration(const Configuration &configuration, bool takeSettings,
                                      const QString &path)
{
    const FamilyRegisters &family = familyRegisters(m_page.family);
    std::map<int, int> words;
    QStringList notOnModule;
    bool settingsKept = false;
    for (const auto &[reg, value] : configuration.values) {
        const RegisterField &field = *configurationField(family, reg);
        if (field.writeOrder == SettingsStep && !takeSettings) {
            settingsKept = settingsKept || present(field, devVer());
            continue;
        }
        if (!present(field, devVer())) {
            notOnModule << "  " + describe(field);
            continue;
        }
        words[reg] = value;
    }
    // The read's own decode fills the page.
    m_page.show(RegisterWords(words));

    // Then every field the file filled is left in turn, as by the operator:
    // a value outside a field's rules is corrected by that field's exit rule.
    QStringList corrected;
    for (const auto &[binding, context] : m_page.parts)
        for (const RegisterField *field : binding->fields()) {
            const auto word = words.find(field->reg);
            if (word == words.end() || !inConfigurationFile(*field))
                continue;
            if (field->kind == FieldKind::Choice && binding->choice(field->reg) < 0) {
                corrected << QString("  %1: %2 is none of its choices, left empty")
                                 .arg(describe(*field))
                                 .arg(word->second);
                continue;
            }
            auto *edit = qobject_cast<ExitEdit *>(binding->control(field->reg));
            if (!edit)
                continue;
            const QString before = edit->text();
            emit edit->exited();
            if (edit->text() != before)
                corrected << QString("  %1: %2 -> %3").arg(describe(*field), before, edit->text());
        }

    const int langCode = link().ComBuf[cb::LangCode];
    QString text = i18n::pickText(langCode, Opened) + "\n" + QDir::toNativeSeparators(path);
    if (!corrected.isEmpty())
        text += "\n\n" + i18n::pickText(langCode, Corrected) + "\n" + corrected.join("\n");
    if (!notOnModule.isEmpty())
        text += "\n\n" + i18n::pickText(langCode, NotOnModule) + "\n" + notOnModule.join("\n");
    if (settingsKept)
        text += "\n\n" + i18n::pickText(langCode, SettingsKept);
    if (m_configurationShown && m_shownModel >= 0 && configuration.model != m_shownModel)
        text += "\n\n" +
                i18n::pickText(langCode, OtherModel).arg(configuration.model).arg(m_shownModel);
    showMessage(text.toStdString());
}
