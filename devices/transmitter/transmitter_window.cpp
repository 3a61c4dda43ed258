#include "transmitter_window.h"

#include "ui_transmitter_page.h"

#include "field_rules.h"
#include "input_check.h"
#include "input_type_panel.h"
#include "input_types.h"
#include "link.h"
#include "numtext.h"
#include "range_display.h"
#include "register_values.h"
#include "transmitter_registers.h"

#include <QEvent>
#include <QTimer>

#include <memory>

using i18n::Status;

namespace {
QString qs(std::string_view value)
{
    return QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()));
}

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
    auto *page = new QWidget(this);
    m_ui->setupUi(page);
    setCentralWidget(page);
    Ui::TransmitterPage &ui = *m_ui;

    ui.Item1->setItems(inputTypeItems());
    ui.Item1->setColumns(2);
    ui.Item3->setItems({"deg C", "deg F"});
    ui.Item3->setColumns(2);
    ui.Item4->setItems({"4mA ~ 20mA", "20mA ~ 4mA"});
    ui.Item5->setItems({"DownScale(< 4mA)", "UpScale(>20mA)", "Cut"});
    for (QLineEdit *edit : {ui.Edi3, ui.Edi4})
        edit->setText("0");
    ui.Edi61->setText("0.0");

    // The blank panel that covers the voltage and current choices of a model
    // without those inputs; it follows the choices' place in the group.
    ui.GroupBox9->hide();
    ui.Item1->installEventFilter(this);

    // The trim points are selectable once BtnAllON has run.
    for (QWidget *selector : {ui.RadioButton1, ui.RadioButton2, ui.Rad1, ui.Rad2})
        selector->setEnabled(false);

    // Factory functions, offered in service mode only.
    ui.PageControl1->setTabVisible(ui.PageControl1->indexOf(ui.TabSheet1), false);
    ui.GroupBox6->hide();
    ui.Label7->hide();

    connect(ui.BtnP1, &QPushButton::clicked, this, &TForm2::BtnP1Click);
    connect(ui.BtnP2, &QPushButton::clicked, this, &TForm2::BtnP2Click);
    connect(ui.Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
    connect(ui.Item1, &RadioGroup::clicked, this, &TForm2::Item1Click);
    connect(ui.Item3, &RadioGroup::clicked, this, &TForm2::Item3Click);
    connect(ui.Edi3, &ExitEdit::exited, this, &TForm2::Edi3Exit);
    connect(ui.Edi4, &ExitEdit::exited, this, &TForm2::Edi4Exit);
    connect(ui.Edi61, &ExitEdit::exited, this, &TForm2::Edi61Exit);

    Timer1 = makeTimer("Timer1", 500);
    Timer2 = makeTimer("Timer2", 1000, &TForm2::Timer2Timer);
    Timer3 = makeTimer("Timer3", 50, &TForm2::Timer3Timer);
    Timer4 = makeTimer("Timer4", 1000);
    Timer5 = makeTimer("Timer5", 1000);
    Timer6 = makeTimer("Timer6", 2000, &TForm2::Timer6Timer);

    InputTypeControls type{
        ui.Item1, ui.Item3,   ui.Edi1,   ui.Edi2,   ui.Edi3,
        ui.Edi4,  {ui.Edi61}, ui.Label1, ui.Label3, {ui.Label4, ui.Label5, ui.Label6}};
    type.renameUnitChoices = false;
    m_type = std::make_unique<InputTypePanel>(type);
    setStatusLabel(ui.Lab83);
    setCommandControls({ui.BtnP1,   ui.BtnP2,        ui.Btn71,       ui.Btn72,    ui.Btn51,
                        ui.Btn52,   ui.Btn11,        ui.Btn12,       ui.Btn13,    ui.Btn14,
                        ui.Btn21,   ui.Btn22,        ui.Btn23,       ui.Btn24,    ui.Btn31,
                        ui.Btn32,   ui.Btn33,        ui.Btn34,       ui.Button2,  ui.Button3,
                        ui.Button9, ui.Button10,     ui.Button11,    ui.Button12, ui.Rad1,
                        ui.Rad2,    ui.RadioButton1, ui.RadioButton2});
    m_registers = std::make_unique<RegisterBinding>(transmitterRegisters(), *this);
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
    // TimerAllOFF also ends a storing result still awaited: its request would
    // otherwise go out in the middle of this read.
    TimerAllOFF();
    Ui::TransmitterPage &ui = *m_ui;
    ui.PageControl1->setCurrentWidget(ui.Configuration);
    const QString serial = QString::number(link().SerialNo);
    ui.Serial_Y->setText(serial);
    ui.Edit1->setText(serial);
    ui.Label7->setText(QString::fromStdString(VersionTable(devVer())));
    showModel(link().ComBuf[cb::DevModel]);
    applyCurrentLanguage();
    BtnP1Click();
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

void TForm2::BtnP1Click()
{
    m_type->resetColors();
    runConfigurationRead([this](const InfoBlock &info) { return acceptInfoBlock(info); },
                         [] { return TransmitterBlockCount; }, Timer2,
                         [this] { return decodeConfiguration(); });
}

bool TForm2::acceptInfoBlock(const InfoBlock &info)
{
    if (!transmitterAccepts(info.model, info.version))
        return false;
    InfoBlock shown = info;
    shown.version = transmitterVersion(info.model, info.version);
    showInfoBlock(shown, m_ui->Label7, m_ui->Serial_Y);
    m_ui->Item5->setItemVisible(2, devVer() >= TransmitterCutMinVer);
    showModel(info.model);
    return true;
}

void TForm2::Timer2Timer()
{
    resumeChain(Timer2);
}

bool TForm2::decodeConfiguration()
{
    if (!link().ReplyOk(TransmitterBlockCount))
        return false;
    // The input type and unit come first; the fields after them are scaled by
    // the type they leave in InType (registerShown keeps the context up to date).
    FieldContext context{InType, devVer()};
    m_registers->show(
        TransmitterBlockCount,
        [this](int reg) { return signedAbove32768(link().replyRegister(reg)); }, context,
        [this, &context](int reg) {
            registerShown(reg);
            context.type = InType;
        });
    return true;
}

void TForm2::registerShown(int reg)
{
    Ui::TransmitterPage &ui = *m_ui;
    switch (reg) {
    case 1:
        if (isInputType(ui.Item1->itemIndex()))
            InType = ui.Item1->itemIndex();
        m_type->showUnitCaptions(InType);
        break;
    // The trim counts show in both count fields, the mirror scroll bars follow.
    case TransmitterTrimLow:
        ui.Edit2->setText(QString::number(ui.ScrollBar3->value()));
        ui.Edi41->setText(ui.Edit2->text());
        ui.ScrollBar1->setValue(ui.ScrollBar3->value());
        break;
    case TransmitterTrimHigh:
        ui.Edit3->setText(QString::number(ui.ScrollBar4->value()));
        ui.Edi42->setText(ui.Edit3->text());
        ui.ScrollBar2->setValue(ui.ScrollBar4->value());
        break;
    default: break;
    }
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

void TForm2::Edi3Exit()
{
    m_type->lowExit(InType);
}

void TForm2::Edi4Exit()
{
    m_type->highExit(InType);
}

void TForm2::Edi61Exit()
{
    m_type->offsetExit(m_ui->Edi61, InType);
}

void TForm2::InputCheck()
{
    // A choice nobody made (a register value the window has no item for) is
    // never written as 65535.
    CheckFailed = !m_type->check() || m_registers->selectorCleared(devVer());
}

void TForm2::BtnP2Click()
{
    TimerAllOFF();
    guarded(Status::WriteFail, [this] {
        InputCheck();
        if (CheckFailed) {
            showStatus(Status::WriteFail);
            return;
        }
        // The limits are written in ascending order.
        m_type->orderLimits();
        // Every value is converted before the first request, so that invalid
        // text never leaves the module half written.
        const std::vector<RegisterBinding::Write> writes = m_registers->values({InType, devVer()});
        const bool storing = devVer() >= TransmitterStoringMinVer;

        BtnAllOFF();
        showStatus(Status::Transmission);
        RequestChain chain;
        for (const RegisterBinding::Write &write : writes) {
            ChainStep &step = chain.write(write.field->function, write.field->reg, write.value)
                                  .drained(write.field->drain, write.field->drain)
                                  .retryOnce();
            if (&write == &writes.front())
                step.waitFor(Timer3);
        }
        // Only a sound answer with the "stored" code counts as stored.
        auto stored = std::make_shared<bool>(true);
        if (storing)
            appendStoringCheck(chain, link(), Timer6, [stored](bool ok) { *stored = ok; });
        runChain(
            std::move(chain),
            [this, stored](bool ok) {
                showStatus(!ok       ? Status::WriteFail
                           : *stored ? Status::WriteSuccess
                                     : Status::WriteMemoryFail);
                BtnAllON();
            },
            Status::WriteFail);
    });
}

void TForm2::Timer3Timer()
{
    resumeChain(Timer3);
}

void TForm2::Timer6Timer()
{
    resumeChain(Timer6);
}

void TForm2::Button1Click()
{
    loadSerialNumber(m_ui->Edit1, TransmitterCommandCell);
}

void TForm2::serviceModeChanged(bool on)
{
    Ui::TransmitterPage &ui = *m_ui;
    if (!on)
        ui.PageControl1->setCurrentWidget(ui.Configuration);
    ui.PageControl1->setTabVisible(ui.PageControl1->indexOf(ui.TabSheet1), on);
    ui.GroupBox6->setVisible(on);
}
