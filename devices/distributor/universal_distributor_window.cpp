#include "universal_distributor_window.h"

#include "ui_universal_distributor_page.h"

#include "calibration_runner.h"
#include "configuration_chains.h"
#include "distributor_registers.h"
#include "distributor_trim.h"
#include "field_rules.h"
#include "input_check.h"
#include "input_type_panel.h"
#include "input_types.h"
#include "link.h"
#include "live_poll.h"
#include "message_sink.h"
#include "numtext.h"
#include "qt_text.h"
#include "range_display.h"
#include "register_values.h"
#include "trim_binding.h"
#include "window_commands.h"

#include <QTimer>

#include <algorithm>

using i18n::Status;

TForm5::TForm5(Link &link, TForm3 &scan)
    : DeviceWindow("TForm5", link, scan, "QRC")
    , m_ui(std::make_unique<Ui::UniversalDistributorPage>())
{
    Ui::UniversalDistributorPage &ui = setUpPage(m_ui);

    showInputTypeChoices(ui.Item1, ui.Item3, inputTypeItems(true), 3);
    showInputTypeChoices(ui.RadioGroup1, ui.RadioGroup2, inputTypeItems(true), 3);
    for (RadioGroup *group : {ui.Item4, ui.RadioGroup3})
        group->setItems({"(0/4->20)mA", "(20->0/4)mA"});
    for (RadioGroup *group : {ui.Item5, ui.RadioGroup4})
        group->setItems({"DownScale(0mA)", "UpScale(>20mA)", "Cut"});
    // No baud rate or filter is selected until a read shows the module's.
    ui.ComboBox1->setCurrentIndex(-1);
    ui.ComboBox2->setCurrentIndex(-1);

    // Factory functions, offered in service mode only; the filter group is
    // shown once a read has found firmware that has it.
    setFactoryFunctions(ui.PageControl1, {ui.Calbration1});
    ui.Label45->hide();
    ui.GroupBox10->hide();

    // The two channels: the same rules on their own controls and registers.
    const auto channel = [this](InputTypeControls controls, int index) {
        controls.limits = TemperatureLimit::General;
        return Channel{
            std::make_unique<InputTypePanel>(controls),
            std::make_unique<RegisterBinding>(distributorChannelRegisters(index), *this)};
    };
    m_channels[0] = channel({ui.Item1,
                             ui.Item3,
                             ui.Edit3,
                             ui.Edit4,
                             ui.Edit1,
                             ui.Edit2,
                             {ui.Edit5},
                             ui.Lab1,
                             ui.Lab2,
                             {ui.Lab5, ui.Lab6, ui.Lab7}},
                            0);
    m_channels[1] = channel({ui.RadioGroup1,
                             ui.RadioGroup2,
                             ui.Edit10,
                             ui.Edit11,
                             ui.Edit8,
                             ui.Edit9,
                             {ui.Edit12},
                             ui.Lab3,
                             ui.Lab4,
                             {ui.Lab8, ui.Lab9, ui.Lab10}},
                            1);
    m_common = std::make_unique<RegisterBinding>(distributorCommonRegisters(), *this);
    on(ui.Item1, &RadioGroup::clicked, &TForm5::Item1Click);
    on(ui.Item3, &RadioGroup::clicked, &TForm5::Item3Click);
    on(ui.RadioGroup1, &RadioGroup::clicked, &TForm5::RadioGroup1Click);
    on(ui.RadioGroup2, &RadioGroup::clicked, &TForm5::RadioGroup2Click);
    on(ui.Edit1, &ExitEdit::exited, &TForm5::Edit1Exit);
    on(ui.Edit2, &ExitEdit::exited, &TForm5::Edit2Exit);
    on(ui.Edit5, &ExitEdit::exited, &TForm5::Edit5Exit);
    on(ui.Edit8, &ExitEdit::exited, &TForm5::Edit8Exit);
    on(ui.Edit9, &ExitEdit::exited, &TForm5::Edit9Exit);
    on(ui.Edit12, &ExitEdit::exited, &TForm5::Edit12Exit);
    for (QPushButton *read : {ui.Btn71, ui.Btn81})
        on(read, &QPushButton::clicked, &TForm5::Btn71Click);
    for (QPushButton *stop : {ui.Btn72, ui.Btn82})
        on(stop, &QPushButton::clicked, &TForm5::Btn72Click);

    Timer1 = makeTimer("Timer1", configurationWaits(ModuleFamily::Distributor).read,
                       &TForm5::Timer1Timer);
    Timer2 = makeTimer("Timer2", configurationWaits(ModuleFamily::Distributor).write,
                       &TForm5::Timer2Timer);
    Timer3 =
        makeTimer("Timer3", liveRules(ModuleFamily::Distributor).intervalMs, &TForm5::Timer3Timer);
    Timer4 = makeTimer("Timer4", 400, &TForm5::Timer4Timer);

    // A file's fields convert as the write converts them: each channel's by its type.
    const auto context = [this](const Channel *channel) {
        return [this, channel] { return FieldContext{channel ? channel->type() : -1, devVer()}; };
    };
    configuration().describe({
        .family = ModuleFamily::Distributor,
        .readButton = ui.BtnP1,
        .writeButton = ui.BtnP2,
        .parts = {{m_channels[0].registers.get(), context(&m_channels[0])},
                  {m_channels[1].registers.get(), context(&m_channels[1])},
                  {m_common.get(), context(nullptr)}},
        .show = [this](const RegisterWords &words) { showConfiguration(words); },
        .readWait = Timer1,
        .accept = [this](const InfoBlock &info) { return acceptInfoBlock(info); },
        .count = [this] { return m_blockCount; },
        .beforeRead =
            [this] {
                for (const Channel &channel : m_channels)
                    channel.panel->resetColors();
                m_ui->ID_Edit->resetColor();
            },
        .readEnded = [this](bool) { ReadBusy = false; },
        .writeWait = Timer2,
        .check =
            [this] {
                m_ui->ID_Edit->resetColor();
                InputCheck();
                return !CheckFailed;
            },
        .values = [this] { return writeValues(); },
    });

    // Output trim of both channels.
    m_trim = makeDistributorTrim(activities(), DistributorCommandCell,
                                 distributorTrimControls(ui, ui.UpDown3, ui.UpDown4));
    setTrim(m_trim);

    // Live values PV1 and PV2 after the start code 40; "Stop" reads nothing more.
    m_live = new LivePoll(activities(), Timer3, liveRules(ModuleFamily::Distributor),
                          {ui.Btn72, ui.Btn82},
                          [this](const std::vector<int> &words) { showLiveValues(words); });
    // Input calibration: CH-1 types in registers 0/1, CH-2 types in 23/24.
    const DistributorChannel &ch1 = DistributorChannels[0];
    const DistributorChannel &ch2 = DistributorChannels[1];
    m_calibration = new CalibrationRunner(
        activities(), *this,
        {.commandRegister = DistributorCommandCell,
         .referenceRegister = DistributorReferenceCell,
         .typeRegister = ch1.type,
         .unitRegister = ch1.unit,
         .countRegister = DistributorCountRegister,
         .secondTypeRegister = ch2.type,
         .secondUnitRegister = ch2.unit},
        distributorCalibration(), {Timer4},
        [this](int channel, int type, bool unit) {
            m_channels[static_cast<std::size_t>(channel)].panel->selectForCalibration(type, unit);
        },
        &signedAbove32767);
    // A read cut short shows the advisories again.
    for (Activity read : {Activity::Activation, Activity::Read})
        activities().onStop(read, [this] { ReadBusy = false; });

    setStatusLabel(ui.Lab83);
    mirrorStatus({ui.Calbration1});
    // Every command button of both pages; the trim controls follow the trim
    // binding.
    const QList<QWidget *> commands = {ui.BtnP1, ui.BtnP2, ui.Btn71, ui.Btn72, ui.Btn81, ui.Btn82};
    setCommandControls(commands, *m_calibration);
    setTabOrderOfPages();
}

TForm5::~TForm5() = default;

void TForm5::setTabOrderOfPages()
{
    // The radio items are made after the page, so the order is set here:
    // CH-1 in the order of its registers, then CH-2, the common groups and
    // the commands.
    Ui::UniversalDistributorPage &ui = *m_ui;
    const QList<QWidget *> order = {
        ui.Item1,       ui.Item3,       ui.Edit1,      ui.Edit2, ui.Edit5,      ui.Item4,
        ui.Item5,       ui.RBtn1,       ui.ScrollBar1, ui.RBtn2, ui.ScrollBar2, ui.RBtn3,
        ui.RadioGroup1, ui.RadioGroup2, ui.Edit8,      ui.Edit9, ui.Edit12,     ui.RadioGroup3,
        ui.RadioGroup4, ui.RBtn4,       ui.ScrollBar3, ui.RBtn5, ui.ScrollBar4, ui.RBtn6,
        ui.ComboBox2,   ui.ID_Edit,     ui.ComboBox1,  ui.Btn71, ui.Btn72,      ui.BtnP1,
        ui.BtnP2};
    chainTabOrder(order);
}

void TForm5::FormActivate()
{
    if (!beginActivation(m_ui->PageControl1, m_ui->Serial_Y, m_ui->Label45))
        return;
    settings().restoreThenRead(devVer() >= DistributorRestoreMinVer, DistributorOwnSettings,
                               m_ui->ID_Edit, m_ui->ComboBox1, [this] { configuration().read(); });
}

bool TForm5::acceptInfoBlock(const InfoBlock &info)
{
    if (!isUniversalDistributorModel(info.model))
        return false;
    m_ui->Label27->setText("RX220");
    settings().showInfoBlock(info, m_ui->Label45, m_ui->Serial_Y);
    m_ui->GroupBox10->setVisible(devVer() >= DistributorFilterGroupMinVer);
    m_blockCount = distributorBlockCount(devVer());
    ReadBusy = true; // no advisory while the read selects the types
    return true;
}

void TForm5::showConfiguration(const RegisterWords &words)
{
    // Each channel's limits and offset are scaled by the type its read has
    // just selected (the type register comes first in its table).
    const auto showChannel = [&](Channel &channel, int typeRegister) {
        FieldContext context{-1, devVer()};
        channel.registers->show(words, signedAbove32767, context, [&](int reg) {
            if (reg == typeRegister)
                context.type = channel.type();
        });
    };
    showChannel(m_channels[0], DistributorChannels[0].type);
    m_common->show(words, signedAbove32767, {-1, devVer()});
    showChannel(m_channels[1], DistributorChannels[1].type);
    hilo_setA(m_ui->Item1->itemIndex(), m_ui->Item3->itemIndex());
    hilo_setB(m_ui->RadioGroup1->itemIndex(), m_ui->RadioGroup2->itemIndex());
}

int TForm5::Channel::type() const
{
    return panel->controls().type->itemIndex();
}

void TForm5::hilo_set(Channel &channel, int type, int unit)
{
    // A type register the window has no item for leaves the display alone.
    channel.panel->show(type, unit);
}

void TForm5::typeChanged(Channel &channel)
{
    hilo_set(channel, channel.type(), channel.panel->controls().unit->itemIndex());
    if (ReadBusy)
        return;
    // The module cannot measure PT-100 on CH-1 with a thermocouple on CH-2;
    // the operator is told which channel to change, and the choice stays.
    const int first = m_ui->Item1->itemIndex();
    const int second = m_ui->RadioGroup1->itemIndex();
    if (first != Pt100Type || !isThermocouple(second))
        return;
    commands().tell(&channel == &m_channels[0] ? i18n::Advice::Ch2CannotBeThermocouple
                                               : i18n::Advice::Ch1CannotBePt100);
}

void TForm5::Item3Click()
{
    hilo_setA(m_ui->Item1->itemIndex(), m_ui->Item3->itemIndex());
}

void TForm5::RadioGroup2Click()
{
    hilo_setB(m_ui->RadioGroup1->itemIndex(), m_ui->RadioGroup2->itemIndex());
}

void TForm5::Edit5Exit()
{
    m_channels[0].panel->offsetExit(m_ui->Edit5, m_channels[0].type());
}

void TForm5::Edit12Exit()
{
    m_channels[1].panel->offsetExit(m_ui->Edit12, m_channels[1].type());
}

void TForm5::InputCheck()
{
    CheckFailed = false;
    // A choice nobody made (a register value the window has no item for) is
    // never written as 65535.
    for (const Channel &channel : m_channels) {
        const bool made = configuration().choicesMade(*channel.registers);
        if (!channel.panel->check() || !made)
            CheckFailed = true;
    }
    // Address 0 is the broadcast address: the module would answer nobody.
    if (!validAddress(fieldText(m_ui->ID_Edit))) {
        CheckFailed = true;
        m_ui->ID_Edit->setColor(Qt::red);
    }
}

ConfigurationPage::Write TForm5::writeValues()
{
    // Each channel's fields are scaled by the type selected for it now.
    std::vector<RegisterBinding::Write> writes;
    for (Channel &channel : m_channels) {
        const auto values = channel.registers->values({channel.type(), devVer()});
        writes.insert(writes.end(), values.begin(), values.end());
    }
    const auto common = m_common->values({-1, devVer()});
    writes.insert(writes.end(), common.begin(), common.end());
    std::stable_sort(writes.begin(), writes.end(), [](const auto &a, const auto &b) {
        return a.field->writeOrder < b.field->writeOrder;
    });
    return {writes, textToInt(fieldText(m_ui->ID_Edit)), m_ui->ComboBox1->currentIndex()};
}

void TForm5::showLiveValues(const std::vector<int> &words)
{
    Ui::UniversalDistributorPage &ui = *m_ui;
    QLineEdit *const configuration[] = {ui.PV1_Edit, ui.PV2_Edit};
    QLineEdit *const calibration[] = {ui.PV1_Edit2, ui.PV2_Edit2};
    for (std::size_t i = 0; i < m_channels.size(); ++i) {
        // Each value is scaled by the type selected for its channel now; with
        // no type selected there is no scale to show it in.
        const int type = m_channels[i].type();
        const int value = signedAbove32767(words[i]);
        const bool shown = value == OpenInput || isInputType(type);
        configuration[i]->setText(shown ? qs(liveValueText(type, value, true)) : QString());
        calibration[i]->setText(shown ? qs(liveValueText(type, value, false)) : QString());
    }
}
