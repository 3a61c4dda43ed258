#include "vma_distributor_window.h"

#include "ui_vma_distributor_page.h"

#include "calibration_runner.h"
#include "configuration_chains.h"
#include "distributor_trim.h"
#include "field_rules.h"
#include "input_check.h"
#include "link.h"
#include "live_poll.h"
#include "numtext.h"
#include "output_function.h"
#include "register_values.h"
#include "trim_binding.h"
#include "vma_distributor_registers.h"
#include "vma_ranges.h"
#include "vma_zero_step.h"

#include <QTimer>

#include <algorithm>

using i18n::Status;

namespace {
QStringList rangeItems()
{
    QStringList items;
    for (int range = 0; range < VmaRangeCount; ++range)
        items << vmaRange(range).item;
    return items;
}
} // namespace

TForm7::TForm7(Link &link, TForm3 &scan)
    : DeviceWindow("TForm7", link, scan)
    , m_ui(std::make_unique<Ui::VmaDistributorPage>())
{
    Ui::VmaDistributorPage &ui = setUpPage(m_ui);

    for (RadioGroup *range : {ui.Item_1, ui.Item_7}) {
        range->setItems(rangeItems());
        range->setColumns(3); // mV, V and mA ranges in one column each
    }
    for (RadioGroup *direction : {ui.Item_2, ui.Item_8})
        direction->setItems({"(0/4->20)mA", "(20->0/4)mA"});
    for (RadioGroup *fault : {ui.Item_4, ui.Item_10})
        fault->setItems({"DownScale(0mA)", "UpScale(>20mA)", "Cut"});
    m_ch1 = {.range = ui.Item_1,
             .lower = ui.Edit1,
             .upper = ui.Edit2,
             .offset = ui.Edit5,
             .maxLower = ui.Edit3,
             .maxUpper = ui.Edit4,
             .units = {ui.Lab5, ui.Lab6, ui.Lab7},
             .boundLow = ui.Lab1,
             .boundHigh = ui.Lab2};
    m_ch2 = {.range = ui.Item_7,
             .lower = ui.Edit8,
             .upper = ui.Edit9,
             .offset = ui.Edit12,
             .maxLower = ui.Edit10,
             .maxUpper = ui.Edit11,
             .units = {ui.Lab8, ui.Lab9, ui.Lab10},
             .boundLow = ui.Lab3,
             .boundHigh = ui.Lab4};

    ui.Lo_S->setText("0.0");
    ui.Hi_S->setText("0.0");
    ui.RadioButton4->setChecked(true);
    // No baud rate or filter is selected until a read shows the module's.
    ui.ComboBox1->setCurrentIndex(-1);
    ui.ComboBox2->setCurrentIndex(-1);
    ui.GroupBox4->hide();
    m_output =
        std::make_unique<OutputFunction>(OutputFunctionControls{.a = ui.Set_A,
                                                                .b = ui.Set_B,
                                                                .c = ui.Set_C,
                                                                .root = ui.CheckBox2,
                                                                .picture = ui.Image1,
                                                                .radical = ui.Image2,
                                                                .formulaWithoutPicture = true});

    // Factory functions, offered in service mode only.
    setFactoryFunctions(ui.PageControl1, {ui.Calbration1, ui.GroupBox3});
    ui.Label32->hide();

    settings().setSerialNumberGroup(ui.Button3, ui.Edit17, VmaDistributorCommandCell);
    on(ui.Item_1, &RadioGroup::clicked, &TForm7::Item_1Click);
    on(ui.Item_7, &RadioGroup::clicked, &TForm7::Item_7Click);
    on(ui.CheckBox2, &QCheckBox::clicked, &TForm7::CheckBox2Click);
    on(ui.Edit1, &ExitEdit::exited, &TForm7::Edit1Exit);
    on(ui.Edit2, &ExitEdit::exited, &TForm7::Edit2Exit);
    on(ui.Edit5, &ExitEdit::exited, &TForm7::Edit5Exit);
    on(ui.Edit8, &ExitEdit::exited, &TForm7::Edit8Exit);
    on(ui.Edit9, &ExitEdit::exited, &TForm7::Edit9Exit);
    on(ui.Edit12, &ExitEdit::exited, &TForm7::Edit12Exit);
    on(ui.Lo_S, &ExitEdit::exited, &TForm7::Lo_SExit);
    on(ui.Hi_S, &ExitEdit::exited, &TForm7::Hi_SExit);
    on(ui.Set_A, &ExitEdit::exited, &TForm7::Set_AExit);
    on(ui.Set_B, &ExitEdit::exited, &TForm7::Set_BExit);
    on(ui.Set_C, &ExitEdit::exited, &TForm7::Set_CExit);
    for (QPushButton *read : {ui.Btn11, ui.Btn21})
        on(read, &QPushButton::clicked, &TForm7::Btn11Click);
    for (QPushButton *stop : {ui.Btn12, ui.Btn22})
        on(stop, &QPushButton::clicked, &TForm7::Btn12Click);
    on(ui.Btn_11, &QPushButton::clicked, &TForm7::Btn_11Click);
    on(ui.Btn_33, &QPushButton::clicked, &TForm7::Btn_33Click);

    Timer1 = makeTimer("Timer1", configurationWaits(ModuleFamily::VmaDistributor).read,
                       &TForm7::Timer1Timer);
    Timer2 = makeTimer("Timer2", configurationWaits(ModuleFamily::VmaDistributor).write,
                       &TForm7::Timer2Timer);
    Timer3 = makeTimer("Timer3", liveRules(ModuleFamily::VmaDistributor).intervalMs,
                       &TForm7::Timer3Timer);
    Timer4 = makeTimer("Timer4", 500, &TForm7::Timer4Timer);
    Timer5 = makeTimer("Timer5", VmaZeroTickMs, &TForm7::Timer5Timer);
    keepThroughTimerAllOFF(Timer5);

    // Output trim as in the universal distributor.
    m_trim = makeDistributorTrim(activities(), VmaDistributorCommandCell,
                                 distributorTrimControls(ui, ui.UpDown1, ui.UpDown2));
    setTrim(m_trim);

    // Live values: code 40 first (sent once more on a mismatch, without a
    // drain), then PV1, PV2 and F every tick; "Stop" leaves the line as it is.
    m_live = new LivePoll(activities(), Timer3, liveRules(ModuleFamily::VmaDistributor),
                          {ui.Btn12, ui.Btn22},
                          [this](const std::vector<int> &words) { showLiveValues(words); });
    m_calibration = new CalibrationRunner(
        activities(), *this, vmaDistributorCalibrationRules(), vmaDistributorCalibration(),
        {Timer4}, [this](int channel, int range, bool) { selectCalibrationRange(channel, range); },
        &signedAbove32767);
    m_zero = new VmaZeroStep(commands(), Timer5, {ui.ProgressBar1, ui.ProgressBar2});

    setStatusLabel(ui.Lab83);
    mirrorStatus({ui.Calbration1});
    // The serial-number button runs a chain as well: it is switched with the
    // other command controls, so that no command interrupts another. Each
    // Done is enabled by its own point's Start only; the trim controls follow
    // the binding.
    const QList<QWidget *> commands = {ui.BtnP1, ui.BtnP2,  ui.Btn11,  ui.Btn12,  ui.Btn21,
                                       ui.Btn22, ui.Btn_11, ui.Btn_33, ui.Button3};
    setCommandControls(commands, *m_calibration);
    m_registers = std::make_unique<RegisterBinding>(vmaDistributorRegisters(), *this);
    configuration().describe({
        .family = ModuleFamily::VmaDistributor,
        .readButton = ui.BtnP1,
        .writeButton = ui.BtnP2,
        .parts = {{m_registers.get(), [this] { return fieldContext(); }}},
        .show = [this](const RegisterWords &words) { showConfiguration(words); },
        .readWait = Timer1,
        .accept = [this](const InfoBlock &info) { return acceptInfoBlock(info); },
        .count = [this] { return m_blockCount; },
        .beforeRead =
            [this] {
                Ui::VmaDistributorPage &ui = *m_ui;
                for (ExitEdit *edit :
                     {ui.Edit1, ui.Edit2, ui.Edit5, ui.Edit8, ui.Edit9, ui.Edit12, ui.ID_Edit})
                    edit->resetColor();
            },
        .writeWait = Timer2,
        .check = [this] { return writeCheck(); },
        .values =
            [this] {
                return ConfigurationPage::Write{m_registers->values(fieldContext()),
                                                textToInt(fieldText(m_ui->ID_Edit)),
                                                m_ui->ComboBox1->currentIndex()};
            },
    });
    orderTabs();
}

TForm7::~TForm7() = default;

void TForm7::orderTabs()
{
    Ui::VmaDistributorPage &ui = *m_ui;
    // Column by column, as the page reads: CH-1, CH-2, the output function and
    // the live values, then the device and its settings; on the calibration
    // page CH-1 and CH-2 point by point, then the live values.
    chainTabOrder(
        {ui.Item_1,     ui.Edit1,        ui.Edit2,        ui.Edit5,      ui.Item_2,  ui.Item_4,
         ui.RBtn1,      ui.ScrollBar1,   ui.RBtn2,        ui.ScrollBar2, ui.RBtn3,   ui.Item_7,
         ui.Edit8,      ui.Edit9,        ui.Edit12,       ui.Item_8,     ui.Item_10, ui.RBtn4,
         ui.ScrollBar3, ui.RBtn5,        ui.ScrollBar4,   ui.RBtn6,      ui.Set_A,   ui.Set_B,
         ui.Set_C,      ui.RadioButton4, ui.RadioButton5, ui.High,       ui.Low,     ui.CheckBox2,
         ui.Lo_S,       ui.Hi_S,         ui.Btn11,        ui.Btn12,      ui.BtnP1,   ui.BtnP2,
         ui.ID_Edit,    ui.ComboBox1,    ui.ComboBox2,    ui.Edit17,     ui.Button3, ui.Btn_11,
         ui.Btn_21,     ui.Btn_27,       ui.Btn_22,       ui.Btn_28,     ui.Btn_23,  ui.Btn_29,
         ui.Btn_24,     ui.Btn_30,       ui.Btn_25,       ui.Btn_31,     ui.Btn_26,  ui.Btn_32,
         ui.Btn_61,     ui.Btn_62,       ui.Btn_63,       ui.Btn_64,     ui.Btn_33,  ui.Btn_41,
         ui.Btn_47,     ui.Btn_42,       ui.Btn_48,       ui.Btn_43,     ui.Btn_49,  ui.Btn_44,
         ui.Btn_50,     ui.Btn_45,       ui.Btn_51,       ui.Btn_46,     ui.Btn_52,  ui.Btn_71,
         ui.Btn_72,     ui.Btn_73,       ui.Btn_74,       ui.Btn21,      ui.Btn22});
}

void TForm7::FormActivate()
{
    if (!beginActivation(m_ui->PageControl1, m_ui->Serial_Y, m_ui->Label32))
        return;
    settings().restoreThenRead(devVer() >= VmaDistributorFilterMinVer, VmaDistributorOwnSettings,
                               m_ui->ID_Edit, m_ui->ComboBox1, [this] { configuration().read(); });
}

bool TForm7::acceptInfoBlock(const InfoBlock &info)
{
    if (!acceptedModule(ModuleFamily::VmaDistributor, info))
        return false;
    m_ui->Label33->setText("RX220");
    settings().showInfoBlock(info, m_ui->Label32, m_ui->Serial_Y);
    m_ui->GroupBox4->setVisible(devVer() >= VmaDistributorFilterMinVer);
    m_blockCount = vmaDistributorBlockCount(devVer());
    return true;
}

void TForm7::showConfiguration(const RegisterWords &words)
{
    // The two ranges come first; the limits and offsets after them are scaled
    // by the range each channel shows.
    FieldContext context{-1, devVer(), -1};
    m_registers->show(words, signedAbove32767, context, [this, &context, &words](int reg) {
        if (reg == 0)
            context.type = m_ui->Item_1->itemIndex();
        else if (reg == 23)
            context.type2 = m_ui->Item_7->itemIndex();
        else if (reg == 18)
            m_output->showPicture();
        else if (reg >= 10 && reg <= 13)
            m_trim->showCount(reg, signedAbove32767(words.word(reg)));
    });
    // Shown after every read, not only when a selector's index changed: the
    // bounds beside the fields are what the exit rules and the input check use.
    hilo_setA(m_ui->Item_1->itemIndex());
    hilo_setB(m_ui->Item_7->itemIndex());
}

void TForm7::Item_1Click()
{
    hilo_setA(m_ui->Item_1->itemIndex());
}

void TForm7::Item_7Click()
{
    hilo_setB(m_ui->Item_7->itemIndex());
}

void TForm7::Lo_SExit()
{
    setFieldText(m_ui->Lo_S,
                 bandExit(OutputFunctionDecimals, OutputFunctionBand, fieldText(m_ui->Lo_S), true));
}

void TForm7::Hi_SExit()
{
    setFieldText(m_ui->Hi_S, bandExit(OutputFunctionDecimals, OutputFunctionBand,
                                      fieldText(m_ui->Hi_S), false));
}

void TForm7::InputCheck()
{
    CheckFailed = false;
    m_ch1.check();
    m_ch2.check();
    // A choice nobody made (a register value the window has no item for) is
    // never written as 65535.
    if (!configuration().choicesMade(*m_registers))
        CheckFailed = true;
    checkAddress(m_ui->ID_Edit);
}

FieldContext TForm7::fieldContext() const
{
    return {m_ui->Item_1->itemIndex(), devVer(), m_ui->Item_7->itemIndex()};
}

bool TForm7::writeCheck()
{
    m_ui->ID_Edit->resetColor();
    // The output function's fields are corrected as when they are left:
    // a divisor of 0 never reaches register 16, no value wraps past 16 bits.
    Set_AExit();
    Set_BExit();
    Set_CExit();
    Lo_SExit();
    Hi_SExit();
    InputCheck();
    return !CheckFailed;
}

void TForm7::showLiveValues(const std::vector<int> &words)
{
    Ui::VmaDistributorPage &ui = *m_ui;
    // Each input in the scale of the range its channel shows now; F in tenths.
    const auto show = [](int word, int decimals, std::initializer_list<QLineEdit *> fields) {
        const std::string shown = liveText(signedAbove32767(word), decimals);
        for (QLineEdit *field : fields)
            setFieldText(field, shown);
    };
    show(words[0], vmaDecimals(ui.Item_1->itemIndex()), {ui.PV1_Edit, ui.PV1_Edit2});
    show(words[1], vmaDecimals(ui.Item_7->itemIndex()), {ui.PV2_Edit, ui.PV2_Edit2});
    show(words[2], OutputFunctionDecimals, {ui.PVS_Edit});
}

void TForm7::selectCalibrationRange(int channel, int range)
{
    // Runs the range display of the channel, as an operator's choice does.
    (channel == 1 ? m_ui->Item_7 : m_ui->Item_1)->setItemIndex(range);
}
