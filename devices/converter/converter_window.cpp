#include "converter_window.h"

#include "ui_converter_page.h"

#include "calibration_runner.h"
#include "configuration_chains.h"
#include "converter_registers.h"
#include "field_rules.h"
#include "input_check.h"
#include "input_type_panel.h"
#include "input_types.h"
#include "link.h"
#include "live_poll.h"
#include "numtext.h"
#include "output_function.h"
#include "qt_text.h"
#include "range_display.h"
#include "register_values.h"
#include "trim_binding.h"
#include "trim_step.h"

#include <QTimer>

using i18n::Status;

namespace {} // namespace

TForm1::TForm1(Link &link, TForm3 &scan)
    : DeviceWindow("TForm1", link, scan, "QRC")
    , m_ui(std::make_unique<Ui::ConverterPage>())
{
    Ui::ConverterPage &ui = setUpPage(m_ui);

    showInputTypeChoices(ui.Item1, ui.Item3, inputTypeItems(), 2);
    ui.Item4->setItems({"0/4mA ~ 20mA", "20mA ~ 0/4mA"});
    ui.Item5->setItems({"DownScale(0mA)", "UpScale(>20mA)", "Cut"});
    ui.RadioButton4->setChecked(true);

    for (QLineEdit *edit : {ui.Edi3, ui.Edi4})
        edit->setText("0");
    for (QLineEdit *edit : {ui.Edi61, ui.Edi62, ui.Edit13, ui.Edit14})
        edit->setText("0.0");
    // No baud rate or filter is selected until a read shows the module's.
    ui.ComboBox1->setCurrentIndex(-1);
    ui.ComboBox2->setCurrentIndex(-1);
    m_output = std::make_unique<OutputFunction>(OutputFunctionControls{.a = ui.Edit8,
                                                                       .b = ui.Edit11,
                                                                       .c = ui.Edit12,
                                                                       .root = ui.CheckBox2,
                                                                       .picture = ui.Image1,
                                                                       .radical = ui.Image2});

    // Factory functions, offered in service mode only.
    setFactoryFunctions(ui.PageControl1, {ui.TabSheet1, ui.TabSheet2, ui.IDSet, ui.GroupBox6});
    ui.Label45->hide();

    on(ui.IDSet, &QPushButton::clicked, &TForm1::IDSetClick);
    settings().setSerialNumberGroup(ui.Button1, ui.Edit1, ConverterCommandCell);
    on(ui.Item1, &RadioGroup::clicked, &TForm1::Item1Click);
    on(ui.Item3, &RadioGroup::clicked, &TForm1::Item3Click);
    on(ui.CheckBox2, &QCheckBox::clicked, &TForm1::CheckBox2Click);
    on(ui.Edi3, &ExitEdit::exited, &TForm1::Edi3Exit);
    on(ui.Edi4, &ExitEdit::exited, &TForm1::Edi4Exit);
    on(ui.Edi61, &ExitEdit::exited, &TForm1::Edi61Exit);
    on(ui.Edi62, &ExitEdit::exited, &TForm1::Edi62Exit);
    on(ui.Edit8, &ExitEdit::exited, &TForm1::Edit8Exit);
    on(ui.Edit11, &ExitEdit::exited, &TForm1::Edit11Exit);
    on(ui.Edit12, &ExitEdit::exited, &TForm1::Edit12Exit);
    on(ui.Edit13, &ExitEdit::exited, &TForm1::Edit13Exit);
    on(ui.Edit14, &ExitEdit::exited, &TForm1::Edit14Exit);
    on(ui.ID_Edit, &ExitEdit::exited, &TForm1::ID_EditExit);

    for (QPushButton *read : {ui.Btn71, ui.Btn51, ui.Button26})
        on(read, &QPushButton::clicked, &TForm1::Btn71Click);
    for (QPushButton *stop : {ui.Btn72, ui.Btn52, ui.Button27})
        on(stop, &QPushButton::clicked, &TForm1::Btn72Click);

    Timer1 = makeTimer("Timer1", configurationWaits(ModuleFamily::Converter).write,
                       &TForm1::Timer1Timer);
    Timer2 = makeTimer("Timer2", 600, &TForm1::Timer2Timer);
    Timer3 =
        makeTimer("Timer3", liveRules(ModuleFamily::Converter).intervalMs, &TForm1::Timer3Timer);
    Timer4 =
        makeTimer("Timer4", configurationWaits(ModuleFamily::Converter).read, &TForm1::Timer4Timer);
    Timer5 = makeTimer("Timer5", 600, &TForm1::Timer5Timer);

    // Output trim: the count registers 10..13 and the command codes 27..32 on
    // register 21; the hidden page mirrors both groups.
    m_trim = new TrimBinding(activities(),
                             {.commandRegister = ConverterCommandCell, .drainOnSelect = true});
    for (const TrimPoint &point :
         firstOutputTrim(ui, ConverterTrimCounts[0], ConverterTrimCounts[1]))
        m_trim->addPoint(point);
    m_trim->addPoint({.reg = ConverterTrimCounts[2],
                      .code = TrimHoldCodes[2],
                      .count = ui.Edit9,
                      .bar = ui.ScrollBar5,
                      .upDown = ui.UpDown5,
                      .selector = ui.RadioButton6,
                      .mirrorCount = ui.Edit16,
                      .mirrorBar = ui.ScrollBar7,
                      .mirrorUpDown = ui.UpDown7,
                      .mirrorSelector = ui.RadioButton9});
    m_trim->addPoint({.reg = ConverterTrimCounts[3],
                      .code = TrimHoldCodes[3],
                      .count = ui.Edit10,
                      .bar = ui.ScrollBar6,
                      .upDown = ui.UpDown6,
                      .selector = ui.RadioButton7,
                      .mirrorCount = ui.Edit17,
                      .mirrorBar = ui.ScrollBar8,
                      .mirrorUpDown = ui.UpDown8,
                      .mirrorSelector = ui.RadioButton10});
    m_trim->addNormal({.code = TrimNormalCodes[0], .selector = ui.RadioButton3, .mirror = ui.Rad3});
    m_trim->addNormal(
        {.code = TrimNormalCodes[1], .selector = ui.RadioButton8, .mirror = ui.RadioButton11});
    setTrim(m_trim);

    m_live = new LivePoll(activities(), Timer3, liveRules(ModuleFamily::Converter),
                          {ui.Btn72, ui.Btn52, ui.Button27},
                          [this](const std::vector<int> &words) { showLiveValues(words); });
    m_calibration = new CalibrationRunner(
        activities(), *this,
        {.commandRegister = ConverterCommandCell,
         .referenceRegister = ConverterReferenceCell,
         .typeRegister = 0,
         .unitRegister = 1,
         .countRegister = ConverterCountRegister},
        converterCalibration(), {Timer2, Timer5},
        [this](int, int type, bool) { m_type->selectForCalibration(type, true); },
        &signedAbove32768);

    m_type = std::make_unique<InputTypePanel>(InputTypeControls{ui.Item1,
                                                                ui.Item3,
                                                                ui.Edi1,
                                                                ui.Edi2,
                                                                ui.Edi3,
                                                                ui.Edi4,
                                                                {ui.Edi61, ui.Edi62},
                                                                ui.Label1,
                                                                ui.Label3,
                                                                {ui.Label4, ui.Label5, ui.Label6}});
    setStatusLabel(ui.Lab83);
    mirrorStatus({ui.TabSheet1, ui.TabSheet2});
    const QList<QWidget *> commands = {ui.BtnP1, ui.BtnP2, ui.Btn71,   ui.Btn72,    ui.Btn51,
                                       ui.Btn52, ui.IDSet, ui.Button1, ui.Button26, ui.Button27};
    setCommandControls(commands, *m_calibration);
    m_registers = std::make_unique<RegisterBinding>(converterRegisters(), *this);
    configuration().describe({
        .family = ModuleFamily::Converter,
        .readButton = ui.BtnP1,
        .writeButton = ui.BtnP2,
        .parts = {typedPart(*m_registers, InType)},
        .show = [this](const RegisterWords &words) { showConfiguration(words); },
        .readWait = Timer4,
        .accept = [this](const InfoBlock &info) { return acceptInfoBlock(info); },
        .count = [this] { return m_blockCount; },
        .beforeRead =
            [this] {
                m_type->resetColors();
                m_ui->ID_Edit->resetColor();
            },
        .writeWait = Timer1,
        .check = [this] { return writeCheck(); },
        .values = [this] { return writeValues(); },
    });
}

TForm1::~TForm1() = default;

void TForm1::FormActivate()
{
    if (!beginActivation(m_ui->PageControl1))
        return;
    settings().restoreThenRead(devVer() >= ConverterRestoreMinVer, ConverterOwnSettings,
                               m_ui->ID_Edit, m_ui->ComboBox1, [this] { configuration().read(); });
}

void TForm1::applyFirmwareRules()
{
    m_ui->Item5->setItemVisible(2, devVer() >= 4);
    m_ui->High->setVisible(devVer() >= 6);
    m_ui->Low->setVisible(devVer() >= 6);
    m_ui->GroupBox24->setVisible(devVer() >= 9);
}

bool TForm1::acceptInfoBlock(const InfoBlock &info)
{
    if (!acceptedModule(ModuleFamily::Converter, info))
        return false;
    m_ui->Label60->setText("RX220");
    settings().showInfoBlock(info, m_ui->Label45, m_ui->Serial_Y);
    applyFirmwareRules();
    m_blockCount = converterBlockCount(devVer());
    return true;
}

void TForm1::showConfiguration(const RegisterWords &words)
{
    // The fields after the input type are scaled by the type it leaves in InType.
    m_type->showBlock(*m_registers, words, signedAbove32767, devVer(), InType,
                      [this](int reg) { registerShown(reg); });
}

void TForm1::registerShown(int reg)
{
    if (reg == 1) {
        m_type->takeSelectedType(InType);
        m_type->showUnitCaptions(InType);
    } else if (reg == 18) {
        m_output->showPicture();
    }
}

void TForm1::hilo_set(int type, int unit)
{
    const std::optional<RangeDisplay> display = m_type->show(type, unit);
    if (!display)
        return;
    Ui::ConverterPage &ui = *m_ui;
    InType = type;
    ui.Label32->setText(qs(display->outputBoundsText));
    setFieldText(ui.Edit13, outputFromRaw(type, OutLoRaw));
    setFieldText(ui.Edit14, outputFromRaw(type, OutHiRaw));
}

void TForm1::Item1Click()
{
    // The output range keeps its raw value across a type change: only its
    // decimal point moves.
    if (isInputType(InType)) {
        OutLoRaw = outputRaw(InType, fieldText(m_ui->Edit13));
        OutHiRaw = outputRaw(InType, fieldText(m_ui->Edit14));
    }
    hilo_set(m_ui->Item1->itemIndex(), m_ui->Item3->itemIndex());
}

void TForm1::Item3Click()
{
    // A unit change keeps an edited output range as a type change does.
    Item1Click();
}

void TForm1::Edi61Exit()
{
    m_type->offsetExit(m_ui->Edi61, InType);
}

void TForm1::Edi62Exit()
{
    m_type->offsetExit(m_ui->Edi62, InType);
}

void TForm1::Edit13Exit()
{
    setFieldText(m_ui->Edit13, outputLowExit(InType, fieldText(m_ui->Edit13)));
}

void TForm1::Edit14Exit()
{
    setFieldText(m_ui->Edit14, outputHighExit(InType, fieldText(m_ui->Edit14)));
}

void TForm1::InputCheck()
{
    // A choice nobody made (a register value the window has no item for) is
    // never written as 65535.
    CheckFailed = !m_type->check();
    if (!configuration().choicesMade(*m_registers))
        CheckFailed = true;
    // Address 0 is the broadcast address: the module would answer nobody.
    if (!validAddress(fieldText(m_ui->ID_Edit))) {
        CheckFailed = true;
        m_ui->ID_Edit->setColor(Qt::red);
    }
}

bool TForm1::writeCheck()
{
    m_ui->ID_Edit->resetColor();
    // The rules of the output function's fields hold even when a field was
    // changed without being left: a divisor of 0 never reaches register 16.
    Edit8Exit();
    Edit11Exit();
    Edit12Exit();
    Edit13Exit();
    Edit14Exit();
    InputCheck();
    return !CheckFailed;
}

ConfigurationPage::Write TForm1::writeValues()
{
    // The limits and the output range are written in ascending order.
    m_type->orderLimits();
    putInOrder(m_ui->Edit13, m_ui->Edit14);
    return {m_registers->values({InType, devVer()}), textToInt(fieldText(m_ui->ID_Edit)),
            m_ui->ComboBox1->currentIndex()};
}

void TForm1::Btn71Click()
{
    m_live->start([this] { m_type->takeSelectedType(InType); });
}

void TForm1::showLiveValues(const std::vector<int> &words)
{
    Ui::ConverterPage &ui = *m_ui;
    const auto show = [this](int word, std::initializer_list<QLineEdit *> pages,
                             QLineEdit *configuration) {
        const int value = signedAbove32768(word);
        if (configuration)
            configuration->setText(qs(liveValueText(InType, value, true)));
        for (QLineEdit *field : pages)
            field->setText(qs(liveValueText(InType, value, false)));
    };
    show(words[0], {ui.PV1_Edit2, ui.Edit27}, ui.PV1_Edit);
    show(words[1], {ui.Edit22, ui.Edit28}, ui.PV2_Edit);
    show(words[2], {ui.PVS_Edit}, nullptr);
}

void TForm1::IDSetClick()
{
    settings().setAddress(m_ui->ID_Edit, m_ui->ComboBox1);
}

void TForm1::ID_EditExit()
{
    m_ui->ID_Edit->resetColor();
    setFieldText(m_ui->ID_Edit, addressExit(fieldText(m_ui->ID_Edit)));
}
