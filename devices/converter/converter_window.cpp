#include "converter_window.h"

#include "ui_converter_page.h"

#include "device_settings.h"
#include "field_rules.h"
#include "input_check.h"
#include "input_types.h"
#include "link.h"
#include "numtext.h"
#include "range_display.h"
#include "register_values.h"

#include <QPixmap>
#include <QTimer>

using i18n::Status;

namespace {
// Model codes of the converter.
constexpr int FirstModel = 32;
constexpr int LastModel = 36;

// The controls that BtnAllOFF and BtnAllON switch together: the read and write
// buttons, the live-value and calibration buttons and the trim point
// selectors. Controls a page does not have (yet) are skipped.
const QStringList CommandControls = {
    "BtnP1",        "BtnP2",        "Btn71",        "Btn72",        "Btn51",        "Btn52",
    "IDSet",        "Button1",      "Button26",     "Button27",     "Btn11",        "Btn12",
    "Btn13",        "Btn14",        "Btn21",        "Btn22",        "Btn23",        "Btn24",
    "Btn31",        "Btn32",        "Btn33",        "Btn34",        "Button2",      "Button3",
    "Button4",      "Button5",      "Button6",      "Button7",      "Button8",      "Button9",
    "Button10",     "Button11",     "Button12",     "Button13",     "Button14",     "Button15",
    "Button16",     "Button17",     "Button18",     "Button19",     "Button20",     "Button21",
    "Button22",     "Button23",     "Button24",     "Button25",     "Rad1",         "Rad2",
    "RadioButton1", "RadioButton2", "RadioButton6", "RadioButton7", "RadioButton9", "RadioButton10",
};

const QStringList TypeItems = {
    "Thermocouple J",     "Thermocouple K", "Thermocouple T", "Thermocouple E",
    "Thermocouple B",     "Thermocouple R", "Thermocouple S", "Thermocouple N",
    "Thermocouple C",     "mV (-60~60mV)",  "PT-100",         "Voltage (-10 - 10V)",
    "Current (0 - 24mA)",
};

std::string text(const QLineEdit *edit)
{
    return edit->text().toStdString();
}

void setText(QLineEdit *edit, const std::string &value)
{
    edit->setText(QString::fromStdString(value));
}

QString qs(const std::string &value)
{
    return QString::fromStdString(value);
}
} // namespace

TForm1::TForm1(Link &link, TForm3 &scan)
    : FamilyWindow("TForm1", link, scan, "QRC")
    , m_ui(std::make_unique<Ui::ConverterPage>())
{
    auto *page = new QWidget(this);
    m_ui->setupUi(page);
    setCentralWidget(page);
    Ui::ConverterPage &ui = *m_ui;

    ui.Item1->setItems(TypeItems);
    ui.Item1->setColumns(2);
    ui.Item3->setItems({"deg C", "deg F"});
    ui.Item3->setColumns(2);
    ui.Item4->setItems({"0/4mA ~ 20mA", "20mA ~ 0/4mA"});
    ui.Item5->setItems({"DownScale(0mA)", "UpScale(>20mA)", "Cut"});
    ui.RadioButton4->setChecked(true);

    for (QLineEdit *edit : {ui.Edi3, ui.Edi4})
        edit->setText("0");
    for (QLineEdit *edit : {ui.Edi61, ui.Edi62, ui.Edit13, ui.Edit14})
        edit->setText("0.0");
    ui.Edit8->setText("0");
    ui.Edit11->setText("0");
    ui.Edit12->setText("1");
    // No baud rate or filter is selected until a read shows the module's.
    ui.ComboBox1->setCurrentIndex(-1);
    ui.ComboBox2->setCurrentIndex(-1);
    loadOutputPicture();
    QFont radical = ui.Image2->font();
    radical.setPixelSize(22);
    ui.Image2->setFont(radical);

    // Factory functions, offered in service mode only.
    ui.PageControl1->setTabVisible(ui.PageControl1->indexOf(ui.TabSheet1), false);
    ui.PageControl1->setTabVisible(ui.PageControl1->indexOf(ui.TabSheet2), false);
    ui.IDSet->hide();
    ui.GroupBox6->hide();
    ui.Label45->hide();

    connect(ui.BtnP1, &QPushButton::clicked, this, &TForm1::BtnP1Click);
    connect(ui.BtnP2, &QPushButton::clicked, this, &TForm1::BtnP2Click);
    connect(ui.IDSet, &QPushButton::clicked, this, &TForm1::IDSetClick);
    connect(ui.Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(ui.Item1, &RadioGroup::clicked, this, &TForm1::Item1Click);
    connect(ui.Item3, &RadioGroup::clicked, this, &TForm1::Item3Click);
    connect(ui.CheckBox2, &QCheckBox::clicked, this, &TForm1::CheckBox2Click);
    connect(ui.Edi3, &ExitEdit::exited, this, &TForm1::Edi3Exit);
    connect(ui.Edi4, &ExitEdit::exited, this, &TForm1::Edi4Exit);
    connect(ui.Edi61, &ExitEdit::exited, this, &TForm1::Edi61Exit);
    connect(ui.Edi62, &ExitEdit::exited, this, &TForm1::Edi62Exit);
    connect(ui.Edit8, &ExitEdit::exited, this, &TForm1::Edit8Exit);
    connect(ui.Edit11, &ExitEdit::exited, this, &TForm1::Edit11Exit);
    connect(ui.Edit12, &ExitEdit::exited, this, &TForm1::Edit12Exit);
    connect(ui.Edit13, &ExitEdit::exited, this, &TForm1::Edit13Exit);
    connect(ui.Edit14, &ExitEdit::exited, this, &TForm1::Edit14Exit);
    connect(ui.ID_Edit, &ExitEdit::exited, this, &TForm1::ID_EditExit);

    const auto makeTimer = [this](const char *name, int interval, void (TForm1::*handler)()) {
        auto *timer = new QTimer(this);
        timer->setObjectName(name);
        timer->setInterval(interval);
        timer->setTimerType(Qt::PreciseTimer); // coarse timers may fire 5 % early
        if (handler)
            connect(timer, &QTimer::timeout, this, handler);
        return timer;
    };
    Timer1 = makeTimer("Timer1", 500, &TForm1::Timer1Timer);
    Timer2 = makeTimer("Timer2", 600, nullptr);
    Timer3 = makeTimer("Timer3", 600, nullptr);
    Timer4 = makeTimer("Timer4", 300, &TForm1::Timer4Timer);
    Timer5 = makeTimer("Timer5", 600, nullptr);

    for (const QString &name : CommandControls)
        if (auto *control = findChild<QWidget *>(name))
            m_commandControls.append(control);
}

TForm1::~TForm1() = default;

int TForm1::devVer() const
{
    return link().ComBuf[cb::DevVer];
}

void TForm1::showStatus(Status status)
{
    i18n::showStatus(*m_ui->Lab83, status, link().ComBuf[cb::LangCode]);
}

void TForm1::FormActivate()
{
    TimerAllOFF();
    m_ui->PageControl1->setCurrentWidget(m_ui->Configuration);
    applyCurrentLanguage();
    if (devVer() > 7) {
        const int address = restoreAddressAndBaud(link(), 24);
        m_ui->ID_Edit->setText(QString::number(address));
    }
    BtnP1Click();
}

void TForm1::TimerAllOFF()
{
    for (QTimer *timer : {Timer1, Timer2, Timer3, Timer4, Timer5})
        timer->stop();
}

void TForm1::BtnAllOFF()
{
    for (QWidget *control : std::as_const(m_commandControls))
        control->setEnabled(false);
}

void TForm1::BtnAllON()
{
    for (QWidget *control : std::as_const(m_commandControls))
        control->setEnabled(true);
}

void TForm1::applyFirmwareRules()
{
    m_ui->Item5->setItemVisible(2, devVer() >= 4);
    m_ui->High->setVisible(devVer() >= 6);
    m_ui->Low->setVisible(devVer() >= 6);
    m_ui->GroupBox24->setVisible(devVer() >= 9);
}

void TForm1::BtnP1Click()
{
    for (ExitEdit *edit : {m_ui->Edi3, m_ui->Edi4, m_ui->Edi61, m_ui->Edi62})
        edit->resetColor();
    BtnAllOFF();
    showStatus(Status::Transmission);

    const InfoBlock info = readInfoBlock(link());
    if (info.model < FirstModel || info.model > LastModel) {
        showStatus(Status::ReadFail);
        BtnAllON();
        return;
    }
    m_ui->Label60->setText("RX220");
    link().ComBuf[cb::DevVer] = static_cast<std::int16_t>(info.version);
    m_ui->Label45->setText(qs(VersionTable(info.version)));
    m_ui->Serial_Y->setText(QString::number(info.serial));
    applyFirmwareRules();

    m_blockCount = devVer() > 7 ? 24 : 23;
    link().SendCmd(link().ComBuf[cb::DevAddr], 3, 0, m_blockCount);
    Timer4->start();
}

void TForm1::Timer4Timer()
{
    Timer4->stop();
    link().ReadReply();
    try {
        if (link().CrcCheck(3 + 2 * m_blockCount)) {
            decodeConfiguration();
            showStatus(Status::ReadSuccess);
        } else {
            showStatus(Status::ReadFail);
        }
    } catch (...) {
        showStatus(Status::ReadFail);
        BtnAllON();
        throw;
    }
    BtnAllON();
}

void TForm1::decodeConfiguration()
{
    Ui::ConverterPage &ui = *m_ui;
    const auto reg = [this](int k) { return converterSigned(link().replyRegister(k)); };

    ui.Item1->setItemIndex(reg(0));
    ui.Item3->setItemIndex(reg(1));
    const int unit = ui.Item3->itemIndex();
    if (unit == UnitCelsius || unit == UnitFahrenheit) {
        const QString caption = unit == UnitCelsius ? "deg C" : "deg F";
        for (QLabel *label : {ui.Label4, ui.Label5, ui.Label6})
            label->setText(caption);
    }
    InType = ui.Item1->itemIndex();
    if (!isInputType(InType)) {
        InType = 0;
    } else if (!isTemperature(InType)) {
        const QString caption = qs(rangeDisplay(InType, unit).unitCaption);
        for (QLabel *label : {ui.Label4, ui.Label5, ui.Label6})
            label->setText(caption);
    }

    setText(ui.Edi3, limitFromRegister(InType, reg(2)));
    setText(ui.Edi4, limitFromRegister(InType, reg(3)));
    setText(ui.Edi61, offsetFromRegister(InType, reg(6)));
    setText(ui.Edi62, offsetFromRegister(InType, reg(7)));
    setText(ui.Edit13, outputFromRegister(InType, reg(4), devVer()));
    setText(ui.Edit14, outputFromRegister(InType, reg(5), devVer()));

    ui.Item4->setItemIndex(reg(8));
    ui.Item5->setItemIndex(reg(9));
    ui.Edit8->setText(QString::number(reg(14)));
    ui.Edit11->setText(QString::number(reg(15)));
    ui.Edit12->setText(QString::number(reg(16)));
    if (devVer() > 7)
        ui.ComboBox2->setCurrentIndex(reg(23) >= 0 && reg(23) < ui.ComboBox2->count() ? reg(23)
                                                                                      : -1);
    switch (reg(17)) {
    case 0: ui.RadioButton4->setChecked(true); break;
    case 1: ui.RadioButton5->setChecked(true); break;
    case 2: ui.High->setChecked(true); break;
    case 3: ui.Low->setChecked(true); break;
    default: break; // an unknown source leaves the choice as it was
    }
    ui.CheckBox2->setChecked(reg(18) != 0);
    loadOutputPicture();
    if (devVer() > 4) {
        ui.ID_Edit->setText(QString::number(reg(19)));
        ui.ComboBox1->setCurrentIndex(reg(20) >= 0 && reg(20) < ui.ComboBox1->count() ? reg(20)
                                                                                      : -1);
    }
}

void TForm1::loadOutputPicture()
{
    // Loaded by bare name from the working directory; a missing file leaves
    // the picture empty.
    m_ui->Image1->setPixmap(QPixmap(m_ui->CheckBox2->isChecked() ? "SOn.bmp" : "SOff.bmp"));
}

void TForm1::CheckBox2Click()
{
    loadOutputPicture();
}

void TForm1::hilo_set(int type, int unit)
{
    if (!isInputType(type))
        return;
    Ui::ConverterPage &ui = *m_ui;
    InType = type;
    const RangeDisplay display = rangeDisplay(type, unit);
    if (display.showLimits) {
        for (QLabel *label : {ui.Label4, ui.Label5, ui.Label6})
            label->setText(qs(display.unitCaption));
        setText(ui.Edi1, display.lowText);
        setText(ui.Edi2, display.highText);
    }
    ui.Label1->setText(qs(display.offsetLowText));
    ui.Label3->setText(qs(display.offsetHighText));
    ui.Label32->setText(qs(display.outputBoundsText));
    setText(ui.Edit13, outputFromRaw(type, OutLoRaw));
    setText(ui.Edit14, outputFromRaw(type, OutHiRaw));
    ui.Item3->setItemText(0, qs(display.unitChoice0));
    ui.Item3->setItemText(1, qs(display.unitChoice1));
}

void TForm1::Item1Click()
{
    // The output range keeps its raw value across a type change: only its
    // decimal point moves.
    if (isInputType(InType)) {
        OutLoRaw = outputRaw(InType, text(m_ui->Edit13));
        OutHiRaw = outputRaw(InType, text(m_ui->Edit14));
    }
    hilo_set(m_ui->Item1->itemIndex(), m_ui->Item3->itemIndex());
}

void TForm1::Item3Click()
{
    // A unit change keeps an edited output range as a type change does.
    Item1Click();
}

void TForm1::Edi3Exit()
{
    m_ui->Edi3->resetColor();
    setText(m_ui->Edi3,
            lowerLimitExit(InType, text(m_ui->Edi3), text(m_ui->Edi1), text(m_ui->Edi2)));
}

void TForm1::Edi4Exit()
{
    m_ui->Edi4->resetColor();
    setText(m_ui->Edi4,
            upperLimitExit(InType, text(m_ui->Edi4), text(m_ui->Edi1), text(m_ui->Edi2)));
}

void TForm1::Edi61Exit()
{
    m_ui->Edi61->resetColor();
    setText(m_ui->Edi61, offsetExit(InType, text(m_ui->Edi61), m_ui->Label1->text().toStdString(),
                                    m_ui->Label3->text().toStdString()));
}

void TForm1::Edi62Exit()
{
    m_ui->Edi62->resetColor();
    setText(m_ui->Edi62, offsetExit(InType, text(m_ui->Edi62), m_ui->Label1->text().toStdString(),
                                    m_ui->Label3->text().toStdString()));
}

void TForm1::Edit8Exit()
{
    setText(m_ui->Edit8, coefficientExit(text(m_ui->Edit8)));
}

void TForm1::Edit11Exit()
{
    setText(m_ui->Edit11, coefficientExit(text(m_ui->Edit11)));
}

void TForm1::Edit12Exit()
{
    setText(m_ui->Edit12, divisorExit(text(m_ui->Edit12)));
}

void TForm1::Edit13Exit()
{
    setText(m_ui->Edit13, outputLowExit(InType, text(m_ui->Edit13)));
}

void TForm1::Edit14Exit()
{
    setText(m_ui->Edit14, outputHighExit(InType, text(m_ui->Edit14)));
}

void TForm1::InputCheck()
{
    CheckFailed = false;
    const int type = m_ui->Item1->itemIndex();
    const int unit = m_ui->Item3->itemIndex();
    if (!isInputType(type)) {
        // No input type chosen: nothing to check against, nothing to write.
        CheckFailed = true;
        return;
    }
    for (ExitEdit *edit : {m_ui->Edi3, m_ui->Edi4}) {
        if (!limitWithinRange(type, unit, text(edit))) {
            CheckFailed = true;
            edit->setColor(Qt::red);
        }
    }
    for (ExitEdit *edit : {m_ui->Edi61, m_ui->Edi62}) {
        if (!offsetWithinBound(type, unit, text(edit))) {
            CheckFailed = true;
            edit->setColor(Qt::red);
        }
    }
}

void TForm1::BtnP2Click()
{
    TimerAllOFF();
    try {
        InputCheck();
    } catch (...) {
        showStatus(Status::WriteFail);
        throw;
    }
    if (CheckFailed) {
        showStatus(Status::WriteFail);
        return;
    }
    BtnAllOFF();
    showStatus(Status::Transmission);
    Timer1->start();
}

void TForm1::Timer1Timer()
{
    Timer1->stop();
    try {
        writeConfiguration();
    } catch (...) {
        showStatus(Status::WriteFail);
        BtnAllON();
        throw;
    }
    BtnAllON();
}

void TForm1::writeConfiguration()
{
    Ui::ConverterPage &ui = *m_ui;
    Link &link = this->link();

    // The limits and the output range are written in ascending order: the
    // fields are exchanged on screen first.
    if (needsExchange(text(ui.Edi3), text(ui.Edi4))) {
        const QString lower = ui.Edi3->text();
        ui.Edi3->setText(ui.Edi4->text());
        ui.Edi4->setText(lower);
    }
    if (needsExchange(text(ui.Edit13), text(ui.Edit14))) {
        const QString lower = ui.Edit13->text();
        ui.Edit13->setText(ui.Edit14->text());
        ui.Edit14->setText(lower);
    }

    // Every value is converted before the first request, so that invalid text
    // never leaves the module half written.
    const int source = ui.RadioButton5->isChecked() ? 1
                       : ui.High->isChecked()       ? 2
                       : ui.Low->isChecked()        ? 3
                                                    : 0;
    const std::pair<int, int> writes[] = {
        {0, ui.Item1->itemIndex()},
        {1, ui.Item3->itemIndex()},
        {2, limitToRegister(InType, text(ui.Edi3))},
        {3, limitToRegister(InType, text(ui.Edi4))},
        {6, offsetToRegister(InType, text(ui.Edi61))},
        {7, offsetToRegister(InType, text(ui.Edi62))},
        {8, ui.Item4->itemIndex()},
        {9, ui.Item5->itemIndex()},
        {4, outputToRegister(InType, text(ui.Edit13), devVer())},
        {5, outputToRegister(InType, text(ui.Edit14), devVer())},
        {14, textToInt(text(ui.Edit8))},
        {15, textToInt(text(ui.Edit11))},
        {16, textToInt(text(ui.Edit12))},
        {17, source},
        {18, ui.CheckBox2->isChecked() ? 1 : 0},
    };
    const int address = textToInt(text(ui.ID_Edit));
    const int filter = ui.ComboBox2->currentIndex();

    link.ReadReply();
    bool failed = false;
    for (const auto &[reg, value] : writes) {
        if (!writeChecked(link, 5, reg, value, {false, false})) {
            failed = true;
            break;
        }
    }
    if (!failed && devVer() > 7 && filter >= 0)
        failed = !writeChecked(link, 5, 23, filter, {true, true});
    if (!failed)
        failed = !writeAddressAndBaud(link, address, ui.ComboBox1->currentIndex());

    showStatus(failed ? Status::WriteFail : Status::WriteSuccess);
}

void TForm1::IDSetClick()
{
    setAddressAndBaud(link(), textToInt(text(m_ui->ID_Edit)), m_ui->ComboBox1->currentIndex());
}

void TForm1::ID_EditExit()
{
    setText(m_ui->ID_Edit, checkAddressText(text(m_ui->ID_Edit)));
}

void TForm1::Button1Click()
{
    const std::uint32_t number = loadSerialNumber(link(), text(m_ui->Edit1), 21);
    m_ui->Edit1->setText(QString::number(static_cast<std::uint32_t>(number + 1)));
}

void TForm1::serviceModeChanged(bool on)
{
    Ui::ConverterPage &ui = *m_ui;
    if (!on)
        ui.PageControl1->setCurrentWidget(ui.Configuration);
    ui.PageControl1->setTabVisible(ui.PageControl1->indexOf(ui.TabSheet1), on);
    ui.PageControl1->setTabVisible(ui.PageControl1->indexOf(ui.TabSheet2), on);
    ui.IDSet->setVisible(on);
    ui.GroupBox6->setVisible(on);
}
