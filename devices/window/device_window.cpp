#include "device_window.h"

#include "calibration_runner.h"
#include "exit_edit.h"
#include "field_rules.h"
#include "input_check.h"
#include "link.h"
#include "message_sink.h"
#include "numtext.h"
#include "radio_group.h"
#include "status_label.h"
#include "trim_binding.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTimer>

using i18n::Status;

DeviceWindow::DeviceWindow(const QString &className, Link &link, TForm3 &scan,
                           const QString &helpStem)
    : FamilyWindow(className, link, scan, helpStem)
    , m_chain(link, this)
{}

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
    if (m_status)
        i18n::showStatus(*m_status, status, link().ComBuf[cb::LangCode]);
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
    BtnAllOFF();
    showStatus(Status::Transmission);
    RequestChain chain;
    appendInfoRead(chain, link(), std::move(accept));
    chain.send(3, 0, 0).valueFrom(std::move(count));
    chain.collect().waitFor(timer).andThen(std::move(decode));
    runChain(std::move(chain), Status::ReadSuccess, Status::ReadFail, std::move(after));
}

void DeviceWindow::runConfigurationWrite(QTimer *timer,
                                         const std::vector<RegisterBinding::Write> &writes,
                                         int address, int baudIndex)
{
    BtnAllOFF();
    showStatus(Status::Transmission);
    RequestChain chain;
    chain.drain().waitFor(timer);
    for (const RegisterBinding::Write &write : writes)
        chain.write(write.field->function, write.field->reg, write.value)
            .drained(write.field->drain, write.field->drain)
            .retryOnce();
    appendAddressAndBaud(chain, address, baudIndex);
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
