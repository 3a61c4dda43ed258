#include "resistance_base.h"

#include "ui_resistance_page.h"

#include "commissioning.h"
#include "configuration_chains.h"
#include "link.h"
#include "live_poll.h"
#include "message_sink.h"
#include "register_values.h"
#include "trim_binding.h"
#include "trim_step.h"
#include "zero_span_calibration.h"
#include "zero_span_dialog.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QTimer>

using i18n::Status;

namespace {
// The model label of every resistance transmitter.
const QString ModelText = QStringLiteral("RY440");
const char VersionMismatch[] = "Version is not match";

bool englishShown(const Link &link)
{
    return i18n::effectiveLanguage(link.ComBuf[cb::LangCode]) == lang::English;
}
} // namespace

ResistanceBase::ResistanceBase(const QString &className, const ResistanceVariant &variant,
                               const ZeroSpanSet &calibration, Link &link, TForm3 &scan)
    : DeviceWindow(className, link, scan)
    , m_variant(variant)
    , m_ui(std::make_unique<Ui::ResistancePage>())
{
    Ui::ResistancePage &ui = setUpPage(m_ui);

    ui.Item3->setItems({"4mA ~ 20mA", "20mA ~ 4mA"});
    ui.Item4->setItems({"DownScale(< 4mA)", "UpScale(>20mA)", "Cut"});
    ui.OffsetBounds->setText(QString::fromLatin1(variant.offsetBoundsText));

    // Factory functions, offered in service mode only.
    setFactoryFunctions(ui.PageCont, {ui.ModeNum, ui.GroupBox6});
    ui.Label7->hide();
    ui.Device->hide();

    settings().setSerialNumberGroup(ui.Button1, ui.Edit1, ResistanceCommandCell);
    on(ui.Edi61, &ExitEdit::exited, &ResistanceBase::Edi61Exit);
    on(ui.Btn71, &QPushButton::clicked, &ResistanceBase::Btn71Click);
    on(ui.Btn72, &QPushButton::clicked, &ResistanceBase::Btn72Click);

    on(ui.PageCont, &QTabWidget::currentChanged, &ResistanceBase::PageContChange);

    Timer1 = makeTimer("Timer1", 500, &ResistanceBase::Timer1Timer);
    Timer2 = makeTimer("Timer2", liveRules(ModuleFamily::Resistance).intervalMs,
                       &ResistanceBase::Timer2Timer);
    Timer3 = makeTimer("Timer3", configurationWaits(ModuleFamily::Resistance).read,
                       &ResistanceBase::Timer3Timer);
    Timer4 = makeTimer("Timer4", configurationWaits(ModuleFamily::Resistance).write,
                       &ResistanceBase::Timer4Timer);
    Timer6 = makeTimer("Timer6", StoringWaitMs, &ResistanceBase::Timer6Timer);
    Timer7 = makeTimer("Timer7", 1500, &ResistanceBase::Timer7Timer);

    // Output trim: counts in registers 7 and 8, codes 27, 28 and 31 on the
    // command cell, a drain before every write.
    m_trim = new TrimBinding(
        activities(),
        {.commandRegister = ResistanceCommandCell, .drainOnSelect = true, .drainOnScroll = true});
    m_trim->addPoint({.reg = ResistanceTrimLow,
                      .code = TrimHoldCodes[0],
                      .count = ui.Edit2,
                      .bar = ui.ScrollBar3,
                      .upDown = ui.UpDown3,
                      .selector = ui.RadioButton1,
                      .drainOnStep = true});
    m_trim->addPoint({.reg = ResistanceTrimHigh,
                      .code = TrimHoldCodes[1],
                      .count = ui.Edit3,
                      .bar = ui.ScrollBar4,
                      .upDown = ui.UpDown4,
                      .selector = ui.RadioButton2,
                      .drainOnStep = true});
    m_trim->addNormal({.code = TrimNormalCodes[0], .selector = ui.RadioButton3});
    setTrim(m_trim);
    // The live value: code 40, then input register 4096 alone, each request
    // after a drain; "Stop" sends nothing.
    m_live = new LivePoll(activities(), Timer2, liveRules(ModuleFamily::Resistance), {ui.Btn72},
                          [this](const std::vector<int> &words) { showLiveValue(words.front()); });

    m_zeroSpan = new ZeroSpanCalibration(activities(), *this, calibration, ui.ZeroSpanArea,
                                         ui.ModeNum, ui.Edi3, ui.Edi4, Timer1, Timer7);

    setStatusLabel(ui.Lab83);
    setTableButtons(m_zeroSpan->offButtons(), m_zeroSpan->onButtons());
    // The commissioning record and the count trend follow the zero/span points.
    connect(m_zeroSpan, &ZeroSpanCalibration::countShown, this, [this](QLineEdit *count) {
        commissioning().showCounts(count, count, {{"count", ""}}, {count->text().toStdString()});
    });
    connect(m_zeroSpan, &ZeroSpanCalibration::pointStored, this, [this](int t, int p, bool ok) {
        // The caption of the table's group (or of the group around it) and the point.
        QString title;
        for (QWidget *w = m_zeroSpan->valueField(t, p); w && title.isEmpty(); w = w->parentWidget())
            if (auto *group = qobject_cast<QGroupBox *>(w))
                title = QString::fromStdString(plainCaption(group->title().toStdString()));
        const QString name = QString("%1 / %2").arg(title).arg(p + 1);
        commissioning().addStep(
            {name.toStdString(), m_zeroSpan->valueField(t, p)->text().toStdString(),
             m_zeroSpan->countField(t, p)->text().toStdString(), m_zeroSpan->pointCode(t, p),
             ok ? CalibrationStep::Verdict::Accepted : CalibrationStep::Verdict::Refused});
    });
    m_registers = std::make_unique<RegisterBinding>(resistanceRegisters(), *this);
    configuration().describe({
        .family = ModuleFamily::Resistance,
        .readButton = ui.BtnP1,
        .writeButton = ui.BtnP2,
        .parts = {{m_registers.get(),
                   [this] {
                       return FieldContext{0, devVer()};
                   }}},
        .show = [this](const RegisterWords &words) { showConfiguration(words); },
        .readWait = Timer3,
        .accept = [this](const InfoBlock &info) { return acceptInfoBlock(info); },
        .count = [this] { return m_variant.blockCount; },
        .beforeRead = [this] { m_versionMismatch = false; },
        .afterShow =
            [this] {
                m_zeroSpan->showStoredPoints(
                    [this](int reg) { return signedAbove32767(this->link().replyRegister(reg)); },
                    m_variant.blockCount);
            },
        .readEnded = [this](bool ok) { readEnded(ok); },
        .writeWait = Timer4,
        .storingWait = Timer6,
        .check =
            [this] {
                // The offset's rule holds even when the field was changed
                // without being left; a choice the window has no item for is
                // never written as 65535.
                Edi61Exit();
                return configuration().choicesMade(*m_registers);
            },
        .values =
            [this] {
                const std::vector<FieldWrite> writes = m_registers->values({0, devVer()});
                m_versionMismatch = false;
                return ConfigurationPage::Write{writes};
            },
        .moduleCheck = [this](const InfoBlock &info) { return versionOfWrite(info); },
        .writeEnded = [this](bool ok) { return writeEnded(ok); },
    });
    orderTabs();
}

ResistanceBase::~ResistanceBase() = default;

void ResistanceBase::orderTabs()
{
    // Reading order: the configuration column, the commands, the output
    // trim, the measuring value, the service group. The read-only fields take
    // the focus only when clicked.
    Ui::ResistancePage &ui = *m_ui;
    QList<QWidget *> order;
    for (RadioGroup *group : {ui.Item3, ui.Item4})
        for (int i = 0; i < group->count(); ++i)
            order.append(group->button(i));
    order += {ui.Edi61,      ui.BtnP1,        ui.BtnP2, ui.RadioButton1, ui.Edit2,
              ui.ScrollBar3, ui.RadioButton2, ui.Edit3, ui.ScrollBar4,   ui.RadioButton3,
              ui.Btn71,      ui.Btn72,        ui.Edit1, ui.Button1};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void ResistanceBase::setTableButtons(const QList<QWidget *> &disabled,
                                     const QList<QWidget *> &enabled)
{
    // The trim controls follow the commands through the trim binding;
    // Button1 is switched with the commands so that loading a serial number
    // never cuts into a running command.
    Ui::ResistancePage &ui = *m_ui;
    const QList<QWidget *> own = {ui.BtnP1, ui.BtnP2, ui.Btn71, ui.Btn72, ui.Button1};
    setCommandControls(own + disabled, own + enabled);
}

void ResistanceBase::FormActivate()
{
    // A command or a calibration run still under way is not cut short by a
    // new read.
    if (SkipRefresh || !activities().begin(WindowEvent::Activation))
        return;
    Ui::ResistancePage &ui = *m_ui;
    ui.PageCont->setCurrentWidget(ui.Configuration);
    ui.Serial_Y->setText(QString::number(link().SerialNo));
    ui.Label7->setText(QString::fromStdString(VersionTable(devVer())));
    ui.Label18->setText(ModelText);
    applyCurrentLanguage();
    commissioning().activated();
    // The trim counts shown may be another module's until the read has shown
    // this one's.
    m_trim->setArmed(false);
    configuration().read();
}

void ResistanceBase::stopWork()
{
    DeviceWindow::stopWork();
    TimerAllOFF();
    SkipRefresh = false;
}

bool ResistanceBase::acceptInfoBlock(const InfoBlock &info)
{
    const bool versionOk = versionMatches(m_variant, info.version);
    if (!versionOk || !modelAccepted(m_variant, info.model)) {
        m_versionMismatch = !versionOk;
        return false;
    }
    m_zeroSpan->showTable(info.model);
    settings().showInfoBlock(info, m_ui->Label7, m_ui->Serial_Y);
    m_ui->Label18->setText(ModelText);
    return true;
}

void ResistanceBase::showConfiguration(const RegisterWords &words)
{
    m_registers->show(words, signedAbove32767, {0, devVer()});
}

void ResistanceBase::readEnded(bool ok)
{
    // The box follows the status and the buttons: it runs an event loop of its own.
    if (!ok && m_versionMismatch && englishShown(link()))
        showMessage(VersionMismatch);
}

bool ResistanceBase::versionOfWrite(const InfoBlock &info)
{
    if (!versionMatches(m_variant, info.version)) {
        m_versionMismatch = true;
        return false;
    }
    showStatus(Status::Transmission);
    return true;
}

bool ResistanceBase::writeEnded(bool ok)
{
    if (!ok && m_versionMismatch) {
        // Another window's module: nothing was written and the status stays.
        activities().end(Activity::Write);
        showMessage(VersionMismatch);
        return true;
    }
    return false;
}

void ResistanceBase::Edi61Exit()
{
    m_ui->Edi61->setText(QString::fromStdString(
        resistanceOffsetExit(m_ui->Edi61->text().toStdString(), m_variant.offsetBound)));
}

void ResistanceBase::withInfoBlock(std::function<void(const InfoBlock &)> next, Status failure)
{
    auto block = std::make_shared<InfoBlock>();
    RequestChain chain;
    appendInfoRead(chain, link(), [block](const InfoBlock &info) {
        *block = info;
        return true;
    });
    runChain(
        std::move(chain),
        [this, block, next = std::move(next), failure, work = activities().work()](bool ok) {
            if (!ok) {
                activities().end(work, failure);
                return;
            }
            next(*block);
        },
        failure);
}

bool ResistanceBase::versionAccepted(const InfoBlock &info)
{
    if (versionMatches(m_variant, info.version))
        return true;
    showMessage(VersionMismatch);
    return false;
}

void ResistanceBase::Btn71Click()
{
    // The module must be one of this window's versions.
    LivePoll::Before check;
    check.steps = [this](RequestChain &chain) {
        m_versionMismatch = false;
        appendInfoRead(chain, link(), [this](const InfoBlock &info) {
            m_versionMismatch = !versionMatches(m_variant, info.version);
            return !m_versionMismatch;
        });
    };
    check.failed = [this] {
        if (m_versionMismatch)
            showMessage(VersionMismatch);
        else
            showStatus(Status::ReadFail);
    };
    m_live->start({}, check);
}

void ResistanceBase::askConfirmation()
{
    if (m_confirmation)
        m_confirmation->ask(this, [this](bool yes) { confirmationAnswered(yes); });
}

void ResistanceBase::withdrawConfirmation()
{
    if (m_confirmation)
        m_confirmation->withdraw(this);
}

void ResistanceBase::confirmationAnswered(bool yes)
{
    SkipRefresh = true;
    if (activities().shellEvent(WindowEvent::DialogAnswer) != Response::Refuse)
        m_zeroSpan->answered(yes);
}

void ResistanceBase::showLiveValue(int word)
{
    const int value = signedAbove32767(word);
    m_ui->PV1_Edit->setText(value == OpenInput ? QStringLiteral("OPEN") : QString::number(value));
}
