#include "transmitter_window.h"

#include "ui_transmitter_page.h"

#include "calibration_runner.h"
#include "configuration_chains.h"
#include "field_rules.h"
#include "input_check.h"
#include "input_type_panel.h"
#include "input_types.h"
#include "link.h"
#include "live_poll.h"
#include "numtext.h"
#include "qt_text.h"
#include "range_display.h"
#include "register_values.h"
#include "transmitter_registers.h"
#include "trim_binding.h"
#include "trim_step.h"

#include <QEvent>
#include <QTimer>

#include <memory>

using i18n::Status;

namespace {

// A radio group's buttons, in item order, for the tab order.
QList<QWidget *> buttonsOf(const RadioGroup *group)
{
    QList<QWidget *> buttons;
    for (int i = 0; i < group->count(); ++i)
        buttons << group->button(i);
    return buttons;
}
} // namespace

TForm2::TForm2(Link &link, TForm3 &scan)
    : DeviceWindow("TForm2", link, scan, "QRT")
    , m_ui(std::make_unique<Ui::TransmitterPage>())
{
    Ui::TransmitterPage &ui = setUpPage(m_ui);

    showInputTypeChoices(ui.Item1, ui.Item3, inputTypeItems(), 2);
    ui.Item4->setItems({"4mA ~ 20mA", "20mA ~ 4mA"});
    ui.Item5->setItems({"DownScale(< 4mA)", "UpScale(>20mA)", "Cut"});
    for (QLineEdit *edit : {ui.Edi3, ui.Edi4})
        edit->setText("0");
    ui.Edi61->setText("0.0");

    // The blank panel that covers the voltage and current choices of a model
    // without those inputs; it follows the choices' place in the group.
    ui.GroupBox9->hide();
    ui.Item1->installEventFilter(this);

    // Factory functions, offered in service mode only.
    setFactoryFunctions(ui.PageControl1, {ui.TabSheet1, ui.GroupBox6});
    ui.Label7->hide();

    settings().setSerialNumberGroup(ui.Button1, ui.Edit1, TransmitterCommandCell);
    on(ui.Item1, &RadioGroup::clicked, &TForm2::Item1Click);
    on(ui.Item3, &RadioGroup::clicked, &TForm2::Item3Click);
    on(ui.Edi3, &ExitEdit::exited, &TForm2::Edi3Exit);
    on(ui.Edi4, &ExitEdit::exited, &TForm2::Edi4Exit);
    on(ui.Edi61, &ExitEdit::exited, &TForm2::Edi61Exit);

    for (QPushButton *start : {ui.Btn71, ui.Btn51})
        on(start, &QPushButton::clicked, &TForm2::Btn71Click);
    for (QPushButton *stop : {ui.Btn72, ui.Btn52})
        on(stop, &QPushButton::clicked, &TForm2::Btn72Click);

    Timer1 =
        makeTimer("Timer1", liveRules(ModuleFamily::Transmitter).intervalMs, &TForm2::Timer1Timer);
    Timer2 = makeTimer("Timer2", configurationWaits(ModuleFamily::Transmitter).read,
                       &TForm2::Timer2Timer);
    Timer3 = makeTimer("Timer3", configurationWaits(ModuleFamily::Transmitter).write,
                       &TForm2::Timer3Timer);
    Timer4 = makeTimer("Timer4", 1000, &TForm2::Timer4Timer);
    Timer5 = makeTimer("Timer5", 1000, &TForm2::Timer5Timer);
    Timer6 = makeTimer("Timer6", StoringWaitMs, &TForm2::Timer6Timer);

    InputTypeControls type{
        ui.Item1, ui.Item3,   ui.Edi1,   ui.Edi2,   ui.Edi3,
        ui.Edi4,  {ui.Edi61}, ui.Label1, ui.Label3, {ui.Label4, ui.Label5, ui.Label6}};
    type.renameUnitChoices = false;
    m_type = std::make_unique<InputTypePanel>(type);

    // Output trim: the count registers 7 and 8 and the command codes 27, 28
    // and 31 on register 9; the hidden page mirrors the group. The point
    // selectors wait for a read since activation.
    m_trim = new TrimBinding(activities(),
                             {.commandRegister = TransmitterCommandCell, .drainOnSelect = true});
    for (const TrimPoint &point : firstOutputTrim(ui, TransmitterTrimLow, TransmitterTrimHigh))
        m_trim->addPoint(point);
    m_trim->addNormal({.code = TrimNormalCodes[0], .selector = ui.RadioButton3, .mirror = ui.Rad3});
    setTrim(m_trim);

    // The live value: code 40 first, then PV alone, a drain before every request.
    m_live = new LivePoll(activities(), Timer1, liveRules(ModuleFamily::Transmitter),
                          {ui.Btn72, ui.Btn52},
                          [this](const std::vector<int> &words) { showLiveValue(words); });
    m_calibration = new CalibrationRunner(
        activities(), *this,
        {.commandRegister = TransmitterCommandCell,
         .referenceRegister = TransmitterReferenceCell,
         .typeRegister = 0,
         .unitRegister = 1,
         .countRegister = TransmitterCountRegister},
        transmitterCalibration(), {Timer4, Timer5},
        [this](int, int type, bool unit) { m_type->selectForCalibration(type, unit); },
        &signedAbove32768);

    setStatusLabel(ui.Lab83);
    mirrorStatus({ui.TabSheet1});
    // "Load Serial Number" is switched with the commands: it waits for the
    // work under way, which it would otherwise cut off.
    const QList<QWidget *> commands = {ui.BtnP1, ui.BtnP2, ui.Btn71,  ui.Btn72,
                                       ui.Btn51, ui.Btn52, ui.Button1};
    setCommandControls(commands, *m_calibration);
    m_registers = std::make_unique<RegisterBinding>(transmitterRegisters(), *this);
    configuration().describe({
        .family = ModuleFamily::Transmitter,
        .readButton = ui.BtnP1,
        .writeButton = ui.BtnP2,
        .parts = {typedPart(*m_registers, InType)},
        .show = [this](const RegisterWords &words) { showConfiguration(words); },
        .readWait = Timer2,
        .accept = [this](const InfoBlock &info) { return acceptInfoBlock(info); },
        .count = [] { return TransmitterBlockCount; },
        .beforeRead = [this] { m_type->resetColors(); },
        .writeWait = Timer3,
        .storingWait = Timer6,
        .check =
            [this] {
                InputCheck();
                return !CheckFailed;
            },
        .values =
            [this] {
                // The limits are written in ascending order.
                m_type->orderLimits();
                return ConfigurationPage::Write{m_registers->values({InType, devVer()})};
            },
    });
    orderTabs();
}

TForm2::~TForm2()
{
    // The group outlives this part of the window: no event may reach it now.
    m_ui->Item1->removeEventFilter(this);
}

void TForm2::orderTabs()
{
    Ui::TransmitterPage &ui = *m_ui;
    QList<QWidget *> order = buttonsOf(ui.Item1) + buttonsOf(ui.Item3);
    order << ui.Edi3 << ui.Edi4 << ui.Edi61;
    order += buttonsOf(ui.Item4) + buttonsOf(ui.Item5);
    order << ui.BtnP1 << ui.BtnP2 << ui.RadioButton1 << ui.ScrollBar3 << ui.RadioButton2
          << ui.ScrollBar4 << ui.RadioButton3 << ui.Btn71 << ui.Btn72;
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void TForm2::FormActivate()
{
    Ui::TransmitterPage &ui = *m_ui;
    if (!beginActivation(ui.PageControl1, ui.Serial_Y, ui.Label7))
        return;
    ui.Edit1->setText(QString::number(link().SerialNo));
    showModel(link().ComBuf[cb::DevModel]);
    configuration().read();
    ui.Item5->setItemVisible(2, devVer() >= TransmitterCutMinVer);
}

void TForm2::showModel(int model)
{
    const std::string_view label = transmitterModelLabel(model);
    if (label.empty())
        return; // other accepted codes keep the label and panel they had
    Ui::TransmitterPage &ui = *m_ui;
    ui.Label18->setText(qs(label));
    const bool covered = transmitterHidesVoltageAndCurrent(model);
    ui.GroupBox9->setVisible(covered);
    // Covered choices cannot be reached by the keyboard either; a read still
    // selects them.
    for (int type : {VoltType, MilliampereType})
        ui.Item1->button(type)->setEnabled(!covered);
    placeTypePanel();
}

void TForm2::placeTypePanel()
{
    Ui::TransmitterPage &ui = *m_ui;
    const QRadioButton *first = ui.Item1->button(VoltType);
    const QRadioButton *last = ui.Item1->button(MilliampereType);
    QRect area = first->geometry().united(last->geometry());
    area.setRight(ui.Item1->contentsRect().right() - 4);
    ui.GroupBox9->setGeometry(area.adjusted(-3, -2, 0, 2));
    ui.GroupBox9->raise();
}

bool TForm2::eventFilter(QObject *watched, QEvent *event)
{
    // The group's layout has placed the choices when these arrive.
    if (watched == m_ui->Item1 &&
        (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest))
        placeTypePanel();
    return DeviceWindow::eventFilter(watched, event);
}

bool TForm2::acceptInfoBlock(const InfoBlock &info)
{
    if (!transmitterAccepts(info.model, info.version))
        return false;
    InfoBlock shown = info;
    shown.version = transmitterVersion(info.model, info.version);
    settings().showInfoBlock(shown, m_ui->Label7, m_ui->Serial_Y);
    m_ui->Item5->setItemVisible(2, devVer() >= TransmitterCutMinVer);
    showModel(info.model);
    return true;
}

void TForm2::showConfiguration(const RegisterWords &words)
{
    // The fields after the input type are scaled by the type it leaves in InType.
    m_type->showBlock(*m_registers, words, signedAbove32768, devVer(), InType,
                      [this](int reg) { registerShown(reg); });
}

void TForm2::registerShown(int reg)
{
    // The trim counts 7 and 8 move their scroll bars; the trim binding shows
    // them in the count fields and the mirrors.
    if (reg != 1)
        return;
    m_type->takeSelectedType(InType);
    m_type->showUnitCaptions(InType);
}

void TForm2::hilo_set(int type, int unit)
{
    // The unit choices stay "deg C" and "deg F" for every type.
    if (m_type->show(type, unit))
        InType = type;
}

void TForm2::Item1Click()
{
    hilo_set(m_ui->Item1->itemIndex(), m_ui->Item3->itemIndex());
}

void TForm2::Item3Click()
{
    hilo_set(m_ui->Item1->itemIndex(), m_ui->Item3->itemIndex());
}

void TForm2::Edi61Exit()
{
    m_type->offsetExit(m_ui->Edi61, InType);
}

void TForm2::InputCheck()
{
    // A choice nobody made (a register value the window has no item for) is
    // never written as 65535.
    CheckFailed = !m_type->check();
    if (!configuration().choicesMade(*m_registers))
        CheckFailed = true;
}

void TForm2::Btn71Click()
{
    m_live->start([this] { m_type->takeSelectedType(InType); });
}

void TForm2::showLiveValue(const std::vector<int> &words)
{
    // 0x8000 and above are negative here, unlike the configuration read.
    const int value = signedAbove32767(words.front());
    m_ui->PV1_Edit->setText(qs(liveValueText(InType, value, true)));
    m_ui->PV1_Edit2->setText(qs(liveValueText(InType, value, false)));
}
