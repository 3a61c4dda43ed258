#include "transmitter_fixture.h"

#include "language_switch.h"
#include "numtext.h"

#include <QGroupBox>
#include <QScrollBar>
#include <QTabWidget>

#include <functional>
#include <optional>

namespace {
const QColor Green(0, 128, 0);
const QColor Red(255, 0, 0);

// The controls that BtnAllOFF and BtnAllON switch. The calibration Done
// buttons are switched off too, but only their own point's Start turns one on.
const char *const CommandControls[] = {
    "BtnP1",        "BtnP2",        "Btn71",        "Btn72",      "Btn51",  "Btn52",
    "Btn11",        "Btn12",        "Btn21",        "Btn22",      "Btn31",  "Btn32",
    "Button2",      "Button9",      "Button10",     "Rad1",       "Rad2",   "Rad3",
    "RadioButton1", "RadioButton2", "RadioButton3", "ScrollBar3", "UpDown4"};
const char *const DoneButtons[] = {"Btn13", "Btn14",   "Btn23",    "Btn24",   "Btn33",
                                   "Btn34", "Button3", "Button11", "Button12"};

constexpr int Unchanged = -1;
} // namespace

using TransmitterWindow = TransmitterFixture;

TEST_F(TransmitterWindow, AcceptedModulesAndWhatTheirBlockShows)
{
    struct Row
    {
        int model, version;
        bool accepted;
        const char *label; // nullptr: the label stays as it was
        int devVer;
        int panel; // GroupBox9 shown (1), hidden (0) or Unchanged
    };
    const Row rows[] = {
        {1, 4, true, "RX110", 4, 0},
        {17, 7, true, "RY550", 7, 1},
        {16, 7, true, nullptr, 7, Unchanged},
        {18, 7, true, nullptr, 7, Unchanged},
        {2, 3, true, "RY550", 3, 0},
        {12, 38, true, nullptr, 0, Unchanged},
        {12, 37, false, nullptr, 0, Unchanged},
        {3, 5, false, nullptr, 0, Unchanged},
        {32, 9, false, nullptr, 0, Unchanged},
        {0, 0, false, nullptr, 0, Unchanged},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << "model " << row.model << " version " << row.version);
        attach(row.version, row.model);
        child<QLabel>("Label18")->setText("before");
        const bool panelBefore = !child<QWidget>("GroupBox9")->isHidden();
        line->clearLog();
        read();
        if (!row.accepted) {
            EXPECT_EQ(requests(), (Requests{{4, 7936, 4}}));
            EXPECT_EQ(status()->text(), "Read Fail");
            EXPECT_EQ(text("Label18"), "before");
            EXPECT_TRUE(enabled("BtnP1"));
            continue;
        }
        EXPECT_EQ(requests(), (Requests{{4, 7936, 4}, {3, 0, 9}}));
        EXPECT_EQ(status()->text(), "Read Success");
        EXPECT_EQ(text("Label18"), row.label ? row.label : "before");
        EXPECT_EQ(link->ComBuf[cb::DevVer], row.devVer);
        EXPECT_EQ(text("Label7"), QString("V%1").arg(row.devVer, 2, 10, QChar('0')));
        EXPECT_EQ(group("Item5")->isItemVisible(2), row.devVer > 3); // "Cut"
        EXPECT_EQ(!child<QWidget>("GroupBox9")->isHidden(),
                  row.panel == Unchanged ? panelBefore : row.panel == 1);
    }
}

TEST_F(TransmitterWindow, ReadDecodesTheBlockASecondLaterAndRefillsEveryControl)
{
    attach(9);
    configure(
        {{0, 12}, {1, 1}, {2, 4012}, {3, 20000}, {4, -500}, {5, 1}, {6, 2}, {7, 5000}, {8, 27000}});
    line->clearLog();
    form->BtnP1Click();
    settle();
    EXPECT_EQ(requests(), (Requests{{4, 7936, 4}, {3, 0, 9}}));
    ASSERT_EQ(form->chain().awaitedTimer(), form->Timer2);
    EXPECT_EQ(form->Timer2->interval(), 1000);
    EXPECT_EQ(status()->text(), "Transmission...");
    for (const char *name : CommandControls)
        EXPECT_FALSE(enabled(name)) << name;
    EXPECT_EQ(text("Edi3"), "0"); // nothing shown before the tick

    runChain();
    EXPECT_EQ(status()->text(), "Read Success");
    EXPECT_EQ(status()->fontColor(), Green);
    EXPECT_EQ(group("Item1")->itemIndex(), 12);
    EXPECT_EQ(group("Item3")->itemIndex(), 1);
    EXPECT_EQ(form->InType, 12);
    EXPECT_EQ(text("Label4"), "mA");
    EXPECT_EQ(text("Label6"), "mA");
    EXPECT_EQ(group("Item3")->itemText(0), "deg C"); // the unit choices keep their names
    EXPECT_EQ(text("Edi3"), "4.012");
    EXPECT_EQ(text("Edi4"), "20.000");
    EXPECT_EQ(text("Edi61"), "-0.500");
    EXPECT_EQ(text("Label1"), "-1.200");
    EXPECT_EQ(group("Item4")->itemIndex(), 1);
    EXPECT_EQ(group("Item5")->itemIndex(), 2);
    EXPECT_EQ(text("Edit2"), "5000");
    EXPECT_EQ(text("Edi41"), "5000");
    EXPECT_EQ(child<QScrollBar>("ScrollBar1")->value(), 5000);
    EXPECT_EQ(text("Edit3"), "27000");
    EXPECT_EQ(child<QScrollBar>("ScrollBar2")->value(), 27000);
    EXPECT_EQ(text("Serial_Y"), "703070001");
    for (const char *name : CommandControls)
        EXPECT_TRUE(enabled(name)) << name;
    for (const char *name : DoneButtons)
        EXPECT_FALSE(enabled(name)) << name;
}

TEST_F(TransmitterWindow, ReadScalesByTypeWithThisWindowsSignRule)
{
    struct Row
    {
        int type, unit, low, high, offset;
        const char *caption, *lowText, *highText, *offsetText;
    };
    const Row rows[] = {
        {1, 1, 32768, 32769, -15, "deg F", "32768", "-32767", "-1.5"},
        {9, 0, -6000, 6000, 123, "mV", "-60.00", "60.00", "1.23"},
        {11, 0, -10000, 8190, 999, "V", "-10.000", "8.190", "0.999"},
        {10, 0, -200, 600, 5, "deg C", "-200", "600", "0.5"},
    };
    attach(9);
    for (const Row &row : rows) {
        SCOPED_TRACE(row.type);
        configure({{0, row.type}, {1, row.unit}, {2, row.low}, {3, row.high}, {4, row.offset}});
        read();
        EXPECT_EQ(text("Label5"), row.caption);
        EXPECT_EQ(text("Edi3"), row.lowText);
        EXPECT_EQ(text("Edi4"), row.highText);
        EXPECT_EQ(text("Edi61"), row.offsetText);
    }
}

TEST_F(TransmitterWindow, WriteSendsTheTypeLastWithFunctionSixAndExactDecimals)
{
    struct Row
    {
        int type, unit;
        const char *low, *high, *offset;
        int direction, fault;
        Requests expected;
        const char *lowAfter;
    };
    const Row rows[] = {
        {12,
         1,
         "20",
         "4.012",
         "-0.5",
         1,
         0,
         {{5, 2, 4012},
          {5, 3, 20000},
          {5, 4, -500 & 0xFFFF},
          {5, 1, 1},
          {5, 5, 1},
          {5, 6, 0},
          {6, 0, 12}},
         "4.012"},
        {11,
         0,
         "-10",
         "8.190",
         "0.999",
         0,
         1,
         {{5, 2, -10000 & 0xFFFF},
          {5, 3, 8190},
          {5, 4, 999},
          {5, 1, 0},
          {5, 5, 0},
          {5, 6, 1},
          {6, 0, 11}},
         "-10"},
        {0,
         1,
         "500",
         "100",
         "1.5",
         0,
         2,
         {{5, 2, 100}, {5, 3, 500}, {5, 4, 15}, {5, 1, 1}, {5, 5, 0}, {5, 6, 2}, {6, 0, 0}},
         "100"},
    };
    attach(4); // no storing result below version 5
    read();
    for (const Row &row : rows) {
        SCOPED_TRACE(row.type);
        group("Item1")->setItemIndex(row.type);
        group("Item3")->setItemIndex(row.unit);
        setText("Edi3", row.low);
        setText("Edi4", row.high);
        setText("Edi61", row.offset);
        group("Item4")->setItemIndex(row.direction);
        group("Item5")->setItemIndex(row.fault);
        line->clearLog();
        form->BtnP2Click();
        EXPECT_EQ(status()->text(), "Transmission...");
        ASSERT_EQ(form->chain().awaitedTimer(), form->Timer3);
        EXPECT_EQ(form->Timer3->interval(), 50);
        runChain();
        EXPECT_EQ(requests(), row.expected);
        EXPECT_EQ(text("Edi3"), row.lowAfter);
        EXPECT_EQ(module->holding(0), row.type);
        EXPECT_EQ(status()->text(), "Write Success");
        EXPECT_EQ(status()->fontColor(), Green);
        EXPECT_FALSE(form->Timer6->isActive());
        EXPECT_TRUE(enabled("BtnP2"));
    }
}

TEST_F(TransmitterWindow, StoringResultTwoSecondsAfterAWriteFromVersionFive)
{
    struct Row
    {
        int model, version;
        bool storeFails;
        std::optional<LineFault> fault; // on the storing result's request
        bool asked;
        const char *status;
    };
    const Row rows[] = {
        {1, 5, false, {}, true, "Write Success"},
        {1, 5, true, {}, true, "Write Memory Fail"},
        {1, 5, false, LineFault::NoReply, true, "Write Memory Fail"},
        {1, 5, false, LineFault::BadCrc, true, "Write Memory Fail"},
        {1, 4, false, {}, false, "Write Success"},
        {12, 38, true, {}, false, "Write Success"}, // DevVer 0
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << row.version << " " << row.status);
        attach(row.version, row.model);
        read();
        module->setStoreFails(row.storeFails);
        if (row.fault)
            line->injectFault(FaultRule{*row.fault, 4, 4102});
        line->clearLog();
        form->BtnP2Click();
        fire(form->Timer3);
        settle(); // the seven writes
        EXPECT_EQ(requests().size(), 7u);
        if (row.asked) {
            ASSERT_EQ(form->chain().awaitedTimer(), form->Timer6);
            EXPECT_EQ(form->Timer6->interval(), 2000);
            EXPECT_EQ(status()->text(), "Transmission...");
            EXPECT_FALSE(enabled("BtnP1"));
            runChain();
            EXPECT_EQ(requests().back(), std::make_tuple(4, 4102, 1));
        }
        EXPECT_FALSE(form->busy());
        EXPECT_EQ(requests().size(), row.asked ? 8u : 7u);
        EXPECT_EQ(status()->text(), row.status);
        EXPECT_EQ(status()->fontColor(), QString(row.status) == "Write Success" ? Green : Red);
        EXPECT_TRUE(enabled("BtnP1"));
    }
}

TEST_F(TransmitterWindow, AWriteRefusedTwiceLeavesTheLaterRegistersAndTheTypeUnsent)
{
    attach(5);
    configure({{0, 1}, {3, 1000}});
    read();
    group("Item1")->setItemIndex(0);
    setText("Edi3", "10");
    setText("Edi4", "900");
    line->clearLog();
    line->injectFault(FaultRule{LineFault::Exception, 5, 3, 1, 2});
    write();
    EXPECT_EQ(requests(), (Requests{{5, 2, 10}, {5, 3, 900}, {5, 3, 900}}));
    EXPECT_EQ(status()->text(), "Write Fail");
    EXPECT_EQ(status()->fontColor(), Red);
    EXPECT_EQ(module->holding(0), 1); // the input type is untouched
    EXPECT_EQ(module->holding(3), 1000);
    EXPECT_FALSE(form->Timer6->isActive());
    EXPECT_TRUE(enabled("BtnP2"));
}

TEST_F(TransmitterWindow, ActivationAndScanStartEndAnAwaitedStoringResult)
{
    const std::pair<const char *, std::function<void(TForm2 &)>> actions[] = {
        {"activation", [](TForm2 &form) { form.FormActivate(); }},
        {"Scan > Start", [](TForm2 &form) { form.StartClick(); }},
    };
    for (const auto &[name, action] : actions) {
        SCOPED_TRACE(name);
        attach(5);
        read();
        form->BtnP2Click();
        fire(form->Timer3);
        settle();
        ASSERT_EQ(form->chain().awaitedTimer(), form->Timer6);
        line->clearLog();
        action(*form);
        EXPECT_FALSE(form->Timer6->isActive());
        runChain();
        line->wait(2000);
        form->fireTimer(form->Timer6);
        for (const auto &request : requests())
            EXPECT_NE(request, std::make_tuple(4, 4102, 1));
    }
}

TEST_F(TransmitterWindow, AChoiceNobodyMadeSendsNothing)
{
    // A register value the window has no choice for clears the selector.
    const std::tuple<int, int, const char *> cleared[] = {
        {0, 13, "Item1"}, {1, 2, "Item3"}, {5, 2, "Item4"}, {6, 3, "Item5"}};
    for (const auto &[reg, value, name] : cleared) {
        attach(9);
        configure({{reg, value}});
        read();
        EXPECT_EQ(group(name)->itemIndex(), -1) << name;
        line->clearLog();
        write();
        EXPECT_TRUE(line->log().empty()) << name;
        EXPECT_EQ(status()->text(), "Write Fail");
    }
}

TEST_F(TransmitterWindow, RangeDisplayInputCheckAndExitRules)
{
    attach(9);
    configure({{0, 1}, {1, 1}, {2, 0}, {3, 1000}});
    read();
    EXPECT_EQ(text("Edi1"), "-58");
    EXPECT_EQ(text("Edi2"), "2498");
    EXPECT_EQ(text("Label1"), "-127.8");
    EXPECT_EQ(text("Label3"), "+127.8");

    setText("Edi61", "127.9");
    setText("Edi4", "2499");
    line->clearLog();
    write();
    EXPECT_TRUE(line->log().empty());
    EXPECT_EQ(status()->text(), "Write Fail");
    EXPECT_TRUE(child<ExitEdit>("Edi61")->isRed());
    EXPECT_TRUE(child<ExitEdit>("Edi4")->isRed());
    EXPECT_FALSE(child<ExitEdit>("Edi3")->isRed());

    form->Edi61Exit();
    EXPECT_EQ(text("Edi61"), "127.8");
    EXPECT_FALSE(child<ExitEdit>("Edi61")->isRed());
    form->Edi4Exit();
    EXPECT_EQ(text("Edi4"), "2498");
    setText("Edi3", "");
    form->Edi3Exit();
    EXPECT_EQ(text("Edi3"), "-58");
    write();
    EXPECT_EQ(status()->text(), "Write Success");
}

TEST_F(TransmitterWindow, Model17CoversTheVoltageAndCurrentChoices)
{
    attach(9, 17);
    configure({{0, 11}});
    form->show();
    QApplication::processEvents(); // activation reads
    if (!form->busy())
        form->FormActivate();
    runChain();
    QApplication::processEvents();
    auto *types = group("Item1");
    auto *panel = child<QGroupBox>("GroupBox9");
    EXPECT_EQ(types->itemIndex(), 11); // a read still selects a covered type
    ASSERT_FALSE(panel->isHidden());
    for (int type : {11, 12}) {
        const QPoint centre = types->button(type)->geometry().center();
        EXPECT_EQ(types->childAt(centre), panel) << type;
        EXPECT_FALSE(types->button(type)->isEnabled());
    }

    attach(9, 1);
    read();
    EXPECT_TRUE(panel->isHidden());
    EXPECT_TRUE(types->button(12)->isEnabled());
    form->hide();
}

TEST_F(TransmitterWindow, ActivationShowsTheScanResultReadsAndStopsTheTimers)
{
    // What the scan learnt shows even when the module does not answer the read.
    attach(7, 2);
    link->SerialNo = 4294967295u;
    form->Timer4->start();
    line->injectFault(FaultRule{LineFault::NoReply, 4, 7936});
    form->FormActivate();
    runChain();
    EXPECT_FALSE(form->Timer4->isActive());
    EXPECT_EQ(text("Serial_Y"), "4294967295");
    EXPECT_EQ(text("Edit1"), "4294967295");
    EXPECT_EQ(text("Label7"), "V07");
    EXPECT_EQ(text("Label18"), "RY550");
    EXPECT_EQ(status()->text(), "Read Fail");

    line->clearLog();
    form->FormActivate();
    runChain();
    EXPECT_EQ(requests().front(), std::make_tuple(4, 7936, 4)); // no address restore
    EXPECT_EQ(text("Serial_Y"), "703070001");
    EXPECT_EQ(status()->text(), "Read Success");

    // "Load Serial Number" commits on the command register 9.
    setText("Edit1", "0703070001");
    line->clearLog();
    form->Button1Click();
    runChain();
    EXPECT_EQ(requests(), (Requests{{5, 7938, 10727}, {5, 7939, 65329}, {5, 9, 34}}));
    EXPECT_EQ(text("Edit1"), "703070002");
}

TEST_F(TransmitterWindow, CaptionsAndTabOrder)
{
    scan->TraditionalClick();
    EXPECT_EQ(child<QGroupBox>("GroupBox7")->title(), QString::fromUtf8("4~20mA輸出訊號調整"));
    auto *pages = child<QTabWidget>("PageControl1");
    EXPECT_EQ(pages->tabText(1), QString::fromUtf8("校正"));
    scan->EnglishClick();

    EXPECT_TRUE(child<QWidget>("Label7")->isHidden());

    // The configuration fields in reading order, then the commands.
    QStringList visited;
    QWidget *widget = group("Item1")->button(0);
    for (int i = 0; i < 200 && visited.size() < 8; ++i, widget = widget->nextInFocusChain()) {
        const QString name = widget->objectName();
        if (QStringList{"Edi3", "Edi4", "Edi61", "Item5_0", "BtnP1", "BtnP2", "RadioButton3",
                        "Btn71"}
                .contains(name))
            visited << name;
    }
    EXPECT_EQ(visited, (QStringList{"Edi3", "Edi4", "Edi61", "Item5_0", "BtnP1", "BtnP2",
                                    "RadioButton3", "Btn71"}));
}
