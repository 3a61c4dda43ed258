#include "device_window.h"

#include "commissioning.h"
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
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSaveFile>
#include <QTabWidget>
#include <QTimer>

#include <stdexcept>

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
const i18n::Texts LineLost = {
    "The adapter was lost (unplugged?) and its port could not be opened again. Use Scan > "
    "Start for a new scan.",
    "轉接器連線中斷（可能已被拔除），無法重新開啟其連接埠。請使用「掃描 > 開始」重新掃描。",
    "转接器连线中断（可能已被拔除），无法重新打开其连接埠。请使用“扫描 > 开始”重新扫描。"};
const i18n::Texts EmptyChoices = {
    "Not written: a choice is empty because the module holds a code this page has no item for. "
    "Choose one:",
    "未寫入：裝置保存的代碼在此頁沒有對應的選項，選項為空白。請選擇：",
    "未写入：装置保存的代码在此页没有对应的选项，选项为空白。请选择："};
// The restore could not read the module's own address and baud rate.
const i18n::Texts OwnSettingsUnread = {
    "The module's own address and baud rate could not be read. It still answers at the "
    "address and rate the scan set (address %1, %2 baud).\n\"Write To Device\" leaves the "
    "address and baud rate out until \"Read From Device\" reads them or you set both fields.",
    "無法讀取裝置本身的位址與鮑率。裝置仍以掃描設定的位址 %1、%2 bps 回應。\n"
    "在「讀出」讀到它們或您設定這兩個欄位之前，「寫入」不會寫入位址與鮑率。",
    "无法读取装置本身的位址与鲍率。装置仍以扫描设定的位址 %1、%2 bps 回应。\n"
    "在“读出”读到它们或您设定这两个栏位之前，“写入”不会写入位址与鲍率。"};
const i18n::Texts OwnSettingsLeftOut = {
    "Address and baud rate not written: the module's own could not be read. \"Read From "
    "Device\" tries again, or set both fields.",
    "位址與鮑率未寫入：無法讀取裝置本身的設定。請按「讀出」再試，或設定這兩個欄位。",
    "位址与鲍率未写入：无法读取装置本身的设定。请按“读出”再试，或设定这两个栏位。"};

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
    , m_activities(new ActivityOwner(link, activityTable(className.toStdString()),
                                     {[this] { BtnAllOFF(); }, [this] { BtnAllON(); },
                                      [this](Status status) {
                                          paintStatus(status);
                                          if (m_commissioning)
                                              m_commissioning->statusShown(m_activities->work(),
                                                                           status);
                                      },
                                      [this] { tell(LineLost); }},
                                     this))
{
    addConfigurationEntries();
    m_commissioning = new Commissioning(*this);
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
        connect(timer, &QTimer::timeout, this,
                [this, handler = std::move(handler)] { m_activities->caught(handler); });
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
    m_activities->showStatus(status);
}

void DeviceWindow::paintStatus(Status status)
{
    if (!m_status)
        return;
    i18n::showStatus(*m_status, status, link().ComBuf[cb::LangCode]);
    // "Transmission..." comes just before an exchange that holds the event
    // loop: it is painted now (with whatever else of the window changed), not
    // once the exchange is over.
    if (status == Status::Transmission)
        m_status->repaint();
    for (const QPointer<StatusLabel> &mirror : std::as_const(m_mirrors)) {
        if (!mirror)
            continue;
        mirror->setStatus(m_status->fontColor(), m_status->text());
        if (status == Status::Transmission)
            mirror->repaint();
    }
}

void DeviceWindow::mirrorStatus(const QList<QWidget *> &pages)
{
    for (QWidget *page : pages) {
        auto *grid = qobject_cast<QGridLayout *>(page->layout());
        if (!grid)
            throw std::logic_error(page->objectName().toStdString() + " has no grid for a status");
        auto *mirror = new StatusLabel(page);
        mirror->setObjectName(page->objectName() + "Status");
        mirror->setMinimumHeight(22);
        grid->addWidget(mirror, grid->rowCount(), 0, 1, grid->columnCount());
        m_mirrors.append(mirror);
    }
}

bool DeviceWindow::choicesMade(const RegisterBinding &binding)
{
    for (const RegisterField *field : binding.fields())
        m_emptyChoices.erase(field);
    const auto empty = binding.emptyChoices(devVer());
    for (const auto &[field, code] : empty)
        m_emptyChoices[field] =
            "  " + describe(*field) + ": " +
            (code >= 0 ? QString("the module holds code %1").arg(code) : QString("none chosen"));
    return empty.empty();
}

void DeviceWindow::inputCheckFailed()
{
    m_activities->end(Activity::Write, Status::WriteFail);
    if (m_emptyChoices.empty())
        return;
    QStringList named;
    for (const auto &[field, text] : m_emptyChoices)
        named << text;
    tell(EmptyChoices, named.join("\n"));
}

void DeviceWindow::stopWork()
{
    m_activities->event(WindowEvent::ScanStart);
}

void DeviceWindow::closing()
{
    m_activities->event(WindowEvent::Close);
    m_commissioning->closing();
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
    if (m_trim) {
        m_trim->setEnabled(false);
        // An activity that lets the output be trimmed meanwhile keeps the
        // controls that adjust it.
        if (m_activities->responseTo(WindowEvent::Trim) == Response::Within)
            m_trim->setAdjustable(true);
    }
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
    // A zero step runs on through it.
    m_activities->stop(Activity::ZeroStep);
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
        [this, success, failure, after = std::move(after), work = m_activities->work()](bool ok) {
            m_activities->end(work, ok ? success : failure);
            if (after)
                after(ok);
            showPendingMessage();
        },
        failure);
}

void DeviceWindow::runChain(RequestChain chain, ChainRunner::Finished finished, Status failure)
{
    m_pendingMessage.clear();
    m_activities->runChain(std::move(chain), std::move(finished), failure);
}

bool DeviceWindow::beginActivation(QTabWidget *pages, QLabel *serial, QLabel *version)
{
    if (!m_activities->begin(WindowEvent::Activation))
        return false;
    // Every timer stops, but one a zero step runs on.
    for (QTimer *timer : std::as_const(m_timers))
        if (!m_kept.contains(timer))
            timer->stop();
    // Saving a configuration waits for this activation's read.
    m_configurationShown = false;
    // The trim counts shown may be another module's until a read has shown
    // this one's.
    if (m_trim)
        m_trim->setArmed(false);
    pages->setCurrentIndex(0);
    m_commissioning->activated();
    if (serial)
        serial->setText(QString::number(link().SerialNo));
    if (version)
        version->setText(QString::fromStdString(VersionTable(devVer())));
    applyCurrentLanguage();
    return true;
}

void DeviceWindow::showFactoryFunctions(bool on, QTabWidget *pages, const QList<QWidget *> &factory)
{
    if (!on) {
        // Work on the pages that go (a calibration point) ends unstored.
        m_activities->event(WindowEvent::LeaveServiceMode);
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

void DeviceWindow::restoreThenRead(bool restore, int reg, QLineEdit *addressField,
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

bool DeviceWindow::ownSettingsGuessed() const
{
    return m_own.unknown && !(m_own.addressSet && m_own.baudSet);
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
    showStatus(Status::Transmission);
    RequestChain chain;
    const bool restoring = m_own.reg && m_own.unknown;
    if (restoring)
        appendRestore(chain, *m_own.reg, m_own.address,
                      [this](bool read) { m_own.unknown = !read; });
    appendConfigurationRead(chain, link(), m_page.family, std::move(accept), std::move(count),
                            timer, std::move(decode));
    runChain(std::move(chain), Status::ReadSuccess, Status::ReadFail,
             [this, restoring, after = std::move(after)](bool ok) {
                 // The module answered at the scan's address and rate, but its
                 // own could not be read: the page shows the scan's.
                 if (ok && restoring && m_own.unknown) {
                     showStatus(Status::ReadFail);
                     m_pendingMessage =
                         i18n::pickText(link().ComBuf[cb::LangCode], OwnSettingsUnread)
                             .arg(link().ComBuf[cb::DevAddr])
                             .arg(BaudRates[static_cast<std::size_t>(
                                 effectiveBaud(link(), link().currentBaud()))])
                             .toStdString();
                 }
                 if (after)
                     after(ok);
             });
}

void DeviceWindow::runConfigurationWrite(QTimer *timer,
                                         const std::vector<RegisterBinding::Write> &writes,
                                         int address, int baudIndex)
{
    showStatus(Status::Transmission);
    ConfigurationWrite write;
    write.family = m_page.family;
    write.devVer = devVer();
    write.writes = writes;
    write.wait = timer;
    write.address = address;
    write.baudIndex = baudIndex;
    write.lost = [this](const SettingsChange &change) { noteLostModule(change); };
    // An address and rate the page only shows because the scan set them are
    // never stored as the module's own.
    write.addressAndBaud = !ownSettingsGuessed();
    RequestChain chain;
    appendConfigurationWrite(chain, link(), write);
    const bool leftOut = writesAddressAndBaud(m_page.family) && !write.addressAndBaud;
    runChain(std::move(chain), Status::WriteSuccess, Status::WriteFail, [this, leftOut](bool ok) {
        if (ok && leftOut)
            m_pendingMessage =
                i18n::pickText(link().ComBuf[cb::LangCode], OwnSettingsLeftOut).toStdString();
    });
}

void DeviceWindow::appendRestore(RequestChain &chain, int reg, QLineEdit *addressField,
                                 std::function<void(bool)> read)
{
    ::appendRestore(
        chain, link(), reg,
        [addressField](int address) {
            if (addressField)
                addressField->setText(QString::number(address));
        },
        std::move(read));
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
    // Text that is not a number is the standard conversion error, before
    // anything starts.
    const std::uint32_t number = serialNumberOf(edit->text().toStdString());
    if (!m_activities->begin(WindowEvent::LoadSerialNumber))
        return;
    RequestChain chain;
    appendSerialNumber(chain, number, commandCell, [edit, number] {
        edit->setText(QString::number(static_cast<std::uint32_t>(number + 1)));
    });
    runChain(
        std::move(chain), [this](bool) { m_activities->end(Activity::SerialLoad); },
        Status::WriteFail);
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
    if (!m_activities->begin(WindowEvent::AddressSet))
        return;
    RequestChain chain;
    appendSetAddress(chain, link(), address, baudField->currentIndex(),
                     [this](const SettingsChange &change) { noteLostModule(change); });
    runChain(
        std::move(chain),
        [this](bool ok) {
            // The button reports nothing unless the module was lost.
            if (!ok)
                showStatus(Status::WriteFail);
            m_activities->end(Activity::AddressSet);
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
        connect(action, &QAction::triggered, this,
                [this, handler] { m_activities->caught([&] { (this->*handler)(); }); });
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
    if (m_activities->event(saving ? WindowEvent::SaveConfiguration
                                   : WindowEvent::OpenConfiguration) == Response::Refuse) {
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
    // Settings taken over from the file are the operator's choice.
    if (takeSettings) {
        m_own.addressSet = true;
        m_own.baudSet = true;
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
