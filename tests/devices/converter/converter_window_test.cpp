#include "converter_fixture.h"

#include "numtext.h"

#include "language_switch.h"
#include "run_time_files.h"
#include "service_mode.h"

#include <QDir>
#include <QGroupBox>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QColor Green(0, 128, 0);
const QColor Red(255, 0, 0);
} // namespace

using ConverterWindow = ConverterFixture;

TEST_F(ConverterWindow, ReadOfAVersionNineConverterFillsEveryControl)
{
    attach(9);
    configure({{0, 1},
               {1, 1},
               {2, -40},
               {3, 2400},
               {4, -1234},
               {5, 20000},
               {6, -15},
               {7, 27},
               {8, 1},
               {9, 2},
               {14, -128},
               {15, 127},
               {16, -30000},
               {17, 2},
               {18, 3},
               {19, 1},
               {20, 2},
               {23, 7}});
    line->clearLog();
    read();

    EXPECT_EQ(requests(), (Requests{{4, 7936, 4}, {3, 0, 24}}));
    EXPECT_EQ(status()->text(), "Read Success");
    EXPECT_EQ(status()->fontColor(), Green);
    EXPECT_EQ(child<RadioGroup>("Item1")->itemIndex(), 1);
    EXPECT_EQ(child<RadioGroup>("Item3")->itemIndex(), 1);
    EXPECT_EQ(form->InType, 1);
    EXPECT_EQ(text("Label4"), "deg F");
    EXPECT_EQ(text("Label6"), "deg F");
    EXPECT_EQ(text("Edi3"), "-40");
    EXPECT_EQ(text("Edi4"), "2400");
    EXPECT_EQ(text("Edit13"), "-123.4");
    EXPECT_EQ(text("Edit14"), "2000.0");
    EXPECT_EQ(text("Edi61"), "-1.5");
    EXPECT_EQ(text("Edi62"), "2.7");
    EXPECT_EQ(child<RadioGroup>("Item4")->itemIndex(), 1);
    EXPECT_EQ(child<RadioGroup>("Item5")->itemIndex(), 2);
    EXPECT_EQ(text("Edit8"), "-128");
    EXPECT_EQ(text("Edit11"), "127");
    EXPECT_EQ(text("Edit12"), "-30000");
    EXPECT_TRUE(child<QRadioButton>("High")->isChecked());
    EXPECT_TRUE(child<QCheckBox>("CheckBox2")->isChecked());
    EXPECT_EQ(text("ID_Edit"), "1");
    EXPECT_EQ(child<QComboBox>("ComboBox1")->currentText(), "19200");
    EXPECT_EQ(child<QComboBox>("ComboBox2")->currentIndex(), 7);
    EXPECT_EQ(text("Label60"), "RX220");
    EXPECT_EQ(text("Label45"), "V09");
    EXPECT_EQ(text("Serial_Y"), "703070001");
    EXPECT_FALSE(child<QWidget>("GroupBox24")->isHidden());
    EXPECT_FALSE(child<QWidget>("High")->isHidden());
    EXPECT_TRUE(child<RadioGroup>("Item5")->isItemVisible(2));
    EXPECT_TRUE(child<QPushButton>("BtnP1")->isEnabled());
}

TEST_F(ConverterWindow, FirmwareVersionDecidesBlockLengthAndVisibleChoices)
{
    attach(8);
    line->clearLog();
    read();
    EXPECT_EQ(requests().back(), std::make_tuple(3, 0, 24)); // CRC over 51 bytes
    EXPECT_EQ(status()->text(), "Read Success");
    EXPECT_TRUE(child<QWidget>("GroupBox24")->isHidden());

    attach(5);
    line->clearLog();
    read();
    EXPECT_EQ(requests().back(), std::make_tuple(3, 0, 23)); // CRC over 49 bytes
    EXPECT_EQ(status()->text(), "Read Success");
    EXPECT_TRUE(child<QWidget>("High")->isHidden());
    EXPECT_TRUE(child<QWidget>("Low")->isHidden());
    EXPECT_TRUE(child<RadioGroup>("Item5")->isItemVisible(2));

    attach(3);
    setText("ID_Edit", "99");
    read();
    EXPECT_FALSE(child<RadioGroup>("Item5")->isItemVisible(2));
    EXPECT_EQ(text("ID_Edit"), "99"); // the address is shown from version 5 on
}

TEST_F(ConverterWindow, OldFirmwareExchangesTheOutputRangeUnscaled)
{
    attach(2);
    configure({{0, 1}, {1, 0}, {4, 150}, {5, 900}});
    read();
    EXPECT_EQ(text("Edit13"), "150.0");
    EXPECT_EQ(text("Edit14"), "900.0");

    write();
    EXPECT_EQ(status()->text(), "Write Success");
    EXPECT_EQ(module->holding(4), 150);
    EXPECT_EQ(module->holding(5), 900);
}

TEST_F(ConverterWindow, RangeDisplayOfThermocoupleKInFahrenheit)
{
    attach(9);
    configure({{0, 1}, {1, 1}});
    read();
    EXPECT_EQ(text("Edi1"), "-58");
    EXPECT_EQ(text("Edi2"), "2498");
    EXPECT_EQ(text("Label1"), "-127.8");
    EXPECT_EQ(text("Label3"), "+127.8");
    EXPECT_EQ(text("Label32"), "-3000.0~3000.0");

    // Thermocouple T: trunc(-270 × 1.8 + 32)
    child<RadioGroup>("Item1")->setItemIndex(2);
    EXPECT_EQ(text("Edi1"), "-454");
}

TEST_F(ConverterWindow, InputCheckMarksOffendingFieldsAndSendsNothing)
{
    attach(9);
    configure({{0, 1}, {1, 1}, {2, 0}, {3, 1000}});
    read();

    setText("Edi61", "127.8");
    setText("Edi62", "-127.8");
    line->clearLog();
    write();
    EXPECT_EQ(status()->text(), "Write Success");

    setText("Edi61", "127.9");
    setText("Edi4", "2499");
    line->clearLog();
    write();
    EXPECT_TRUE(line->log().empty());
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_EQ(status()->text(), "Write Fail");
    EXPECT_EQ(status()->fontColor(), Red);
    EXPECT_TRUE(child<ExitEdit>("Edi61")->isRed());
    EXPECT_TRUE(child<ExitEdit>("Edi4")->isRed());
    EXPECT_FALSE(child<ExitEdit>("Edi62")->isRed());
    EXPECT_FALSE(child<ExitEdit>("Edi3")->isRed());

    // Marks stay until the field is left or the next read.
    form->Edi61Exit();
    EXPECT_FALSE(child<ExitEdit>("Edi61")->isRed());
    read();
    EXPECT_FALSE(child<ExitEdit>("Edi4")->isRed());
}

TEST_F(ConverterWindow, WriteSendsEveryRegisterInOrderAndEndsWithAddressAndBaud)
{
    attach(9);
    configure({{0, 1}, {1, 0}, {19, 1}, {20, 2}});
    read();
    child<RadioGroup>("Item1")->setItemIndex(0); // Thermocouple J
    setText("Edi3", "500");
    setText("Edi4", "100");
    setText("Edi61", "1.5");
    setText("Edi62", "-2.5");
    child<RadioGroup>("Item4")->setItemIndex(1);
    child<RadioGroup>("Item5")->setItemIndex(2);
    setText("Edit13", "300.0");
    setText("Edit14", "-100.5");
    setText("Edit8", "3");
    setText("Edit11", "-4");
    setText("Edit12", "7");
    child<QRadioButton>("Low")->setChecked(true);
    child<QCheckBox>("CheckBox2")->setChecked(true);
    child<QComboBox>("ComboBox2")->setCurrentIndex(4);
    child<QComboBox>("ComboBox1")->setCurrentIndex(2);

    line->clearLog();
    form->BtnP2Click();
    EXPECT_EQ(status()->text(), "Transmission...");
    EXPECT_FALSE(child<QPushButton>("BtnP1")->isEnabled());
    ASSERT_TRUE(form->Timer1->isActive());
    EXPECT_EQ(form->Timer1->interval(), 500);
    runChain();

    EXPECT_EQ(text("Edi3"), "100");
    EXPECT_EQ(text("Edi4"), "500");
    EXPECT_EQ(text("Edit13"), "-100.5");
    EXPECT_EQ(text("Edit14"), "300.0");
    EXPECT_EQ(requests(), (Requests{{5, 0, 0},
                                    {5, 1, 0},
                                    {5, 2, 100},
                                    {5, 3, 500},
                                    {5, 6, 15},
                                    {5, 7, -25 & 0xFFFF},
                                    {5, 8, 1},
                                    {5, 9, 2},
                                    {5, 4, -1005 & 0xFFFF},
                                    {5, 5, 3000},
                                    {5, 14, 3},
                                    {5, 15, -4 & 0xFFFF},
                                    {5, 16, 7},
                                    {5, 17, 3},
                                    {5, 18, 1},
                                    {5, 23, 4},
                                    {5, 19, 1},
                                    {6, 20, 2}}));
    EXPECT_EQ(module->holding(2), 100);
    EXPECT_EQ(module->holding(3), 500);
    EXPECT_EQ(status()->text(), "Write Success");
    EXPECT_EQ(status()->fontColor(), Green);
    EXPECT_TRUE(child<QPushButton>("BtnP1")->isEnabled());
}

TEST_F(ConverterWindow, ALostBaudChangeIsAFailureWithWhereTheModuleMayBe)
{
    attach(9);
    read();
    child<QComboBox>("ComboBox1")->setCurrentIndex(3);
    line->injectFault({LineFault::NoReply, 6, 20});
    line->clearLog();
    write();
    EXPECT_EQ(requests().back(), std::make_tuple(4, 7936, 4)); // asked at 38400: nobody answers
    EXPECT_EQ(status()->text(), "Write Fail");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("19200 or 38400 baud"), std::string::npos) << messages[0];
    EXPECT_TRUE(child<QPushButton>("BtnP1")->isEnabled());
}

TEST_F(ConverterWindow, AValueWithoutAnItemClearsItsSelectorAndNothingIsWritten)
{
    // Register values the window has no item for: an input type, a sensor
    // break choice, an output source.
    for (const auto &[reg, value] : {std::pair{0, 13}, {9, 3}, {17, 4}}) {
        attach(9);
        configure({{reg, value}});
        read();
        EXPECT_EQ(status()->text(), "Read Success");
        line->clearLog();
        write();
        EXPECT_EQ(status()->text(), "Write Fail") << reg;
        EXPECT_TRUE(line->log().empty()) << reg;
    }
    EXPECT_EQ(child<RadioGroup>("Item5")->itemIndex(), 1); // the last read had a sound choice
    EXPECT_FALSE(child<QRadioButton>("RadioButton4")->isChecked());
    EXPECT_FALSE(child<QRadioButton>("Low")->isChecked());
}

TEST_F(ConverterWindow, NoCommandHoldsTheWindowLongerThanOneExchange)
{
    attach(9);
    configure({{24, 1}, {25, 2}});
    form->FormActivate();
    runChain();
    write();
    for (int reg : {2, 9, 23}) // retries are exchanges of their own
        line->injectFault({LineFault::BadCrc, 5, reg});
    write();
    EXPECT_EQ(status()->text(), "Write Success");
    // An exchange: a drain (100 ms of silence), the request and its reply at
    // 19200 baud (about 10 ms), 100 ms of silence after it.
    EXPECT_LE(longestStallMs, 250);
    EXPECT_GE(longestStallMs, 200);
}

TEST_F(ConverterWindow, WithoutABaudRateTheLineKeepsItsRate)
{
    attach(4); // registers 19 and 20 are not shown below version 5
    read();
    ASSERT_EQ(child<QComboBox>("ComboBox1")->currentIndex(), -1);
    setText("ID_Edit", "1");
    line->clearLog();
    write();
    EXPECT_EQ(status()->text(), "Write Success");
    EXPECT_EQ(requests().back(), std::make_tuple(6, 20, 2));
    EXPECT_EQ(line->baudCode(), 2);
    EXPECT_EQ(module->baudCode(), 2);
}

TEST_F(ConverterWindow, ExitRulesCorrectTheFields)
{
    attach(9);
    configure({{0, 0}, {1, 0}}); // Thermocouple J, deg C
    read();
    setText("Edi4", "2000");
    form->Edi4Exit();
    EXPECT_EQ(text("Edi4"), "1000");
    setText("Edi3", "");
    form->Edi3Exit();
    EXPECT_EQ(text("Edi3"), "-50");
    setText("Edi3", "12.7");
    form->Edi3Exit();
    EXPECT_EQ(text("Edi3"), "12");

    const std::pair<const char *, const char *> divisor[] = {
        {"0", "1"}, {"40000", "30000"}, {"", "1"}, {"-40000", "-30000"}};
    for (const auto &[typed, shown] : divisor) {
        setText("Edit12", typed);
        form->Edit12Exit();
        EXPECT_EQ(text("Edit12"), shown) << typed;
    }
    const std::pair<const char *, const char *> coefficient[] = {
        {"200", "127"}, {"-200", "-128"}, {"", "0"}};
    for (const auto &[typed, shown] : coefficient) {
        setText("Edit8", typed);
        form->Edit8Exit();
        EXPECT_EQ(text("Edit8"), shown) << typed;
    }

    // The mV type: offsets in hundredths.
    child<RadioGroup>("Item1")->setItemIndex(9);
    setText("Edi61", "1.234");
    form->Edi61Exit();
    EXPECT_EQ(text("Edi61"), "1.23");
    setText("Edi62", "0.29");
    setText("Edi3", "-10");
    setText("Edi4", "10");
    write();
    EXPECT_EQ(module->holding(6), 123);
    EXPECT_EQ(module->holding(7), 29);

    // An invalid entry is the standard conversion error.
    setText("Edit11", "seven");
    EXPECT_THROW(form->Edit11Exit(), ConversionError);
}

TEST_F(ConverterWindow, TypeChangeKeepsTheRawOutputRange)
{
    attach(9);
    configure({{0, 1}, {1, 0}, {4, 1000}, {5, -250}});
    read();
    ASSERT_EQ(text("Edit13"), "100.0");
    child<RadioGroup>("Item1")->setItemIndex(9); // K to mV
    EXPECT_EQ(text("Edit13"), "10.00");
    EXPECT_EQ(text("Edit14"), "-2.50");
    EXPECT_EQ(text("Label32"), "-300.00~300.00");
    EXPECT_EQ(text("Label4"), "mV");

    // A unit change keeps the output range edited since.
    setText("Edit13", "12.34");
    child<RadioGroup>("Item3")->setItemIndex(1);
    EXPECT_EQ(text("Edit13"), "12.34");

    // Current renames the unit choices and shows mA.
    child<RadioGroup>("Item1")->setItemIndex(12);
    EXPECT_EQ(child<RadioGroup>("Item3")->itemText(0), "com +");
    EXPECT_EQ(child<RadioGroup>("Item3")->itemText(1), "com -");
    EXPECT_EQ(child<RadioGroup>("Item3")->itemIndex(), 1);
    EXPECT_EQ(text("Label5"), "mA");
    EXPECT_EQ(text("Edi1"), "0.000");
    EXPECT_EQ(text("Edi2"), "24.000");
    EXPECT_EQ(text("Label1"), "-1.200");
    child<RadioGroup>("Item1")->setItemIndex(1);
    EXPECT_EQ(child<RadioGroup>("Item3")->itemText(0), "deg C");
}

TEST_F(ConverterWindow, VersionSevenAndBelowHasNoAddressAndBaudToRestore)
{
    attach(7);
    configure({{24, 5}, {25, 1}});
    line->clearLog();
    form->FormActivate();
    EXPECT_EQ(line->log().front().function, 4);
}

TEST_F(ConverterWindow, MissingPicturesLeaveTheImageEmpty)
{
    QTemporaryDir empty;
    overrideRunTimeFolders(QStringList{empty.path()});
    attach(9);
    configure({{18, 1}});
    read();
    overrideRunTimeFolders(std::nullopt);
    EXPECT_EQ(status()->text(), "Read Success");
    EXPECT_TRUE(child<QLabel>("Image1")->pixmap().isNull());
    EXPECT_TRUE(child<QPushButton>("BtnP1")->isEnabled());
}

TEST_F(ConverterWindow, CaptionedControlsOfTheBuiltPagesExist)
{
    const i18n::WindowSet windows = {{"TForm3", scan.get()}, {"TForm1", form.get()}};
    const std::vector<i18n::CaptionTarget> missing = i18n::missingControls(windows);
    const QStringList built = {
        "Configuration", "TabSheet1", "TabSheet2", "Item1",  "Item2",     "Item3",
        "Item4",         "Item5",     "Item6",     "Item8",  "calculate", "GroupBox11",
        "GroupBox15",    "GroupBox6", "Button1",   "IDSet",  "BtnP1",     "BtnP2",
        "Lab81",         "Lab82",     "Lab21",     "Lab22",  "Lab23",     "Label16",
        "Label17",       "Label35",   "Label36",   "Label7", "Label8",    "File1",
        "Exit1",         "Language",  "Scan",      "Start",  "Help",      "Conents"};
    for (const i18n::CaptionTarget &target : missing) {
        EXPECT_NE(target.window, "TForm3") << target.control.toStdString();
        if (target.window == "TForm1") {
            EXPECT_FALSE(built.contains(target.control)) << target.control.toStdString();
        }
    }

    scan->TraditionalClick();
    EXPECT_EQ(child<QGroupBox>("calculate")->title(), QString::fromUtf8("輸出功能"));
    EXPECT_EQ(child<QPushButton>("BtnP2")->text(), QString::fromUtf8("寫入"));
    EXPECT_EQ(child<QLabel>("Lab81")->text(), QString::fromUtf8("裝置名稱    :"));
    auto *pages = child<QTabWidget>("PageControl1");
    EXPECT_EQ(pages->tabText(2), QString::fromUtf8("校正(2)"));
    scan->EnglishClick();
    EXPECT_EQ(pages->tabText(0), "Configuration");
}

TEST_F(ConverterWindow, ServiceKeyTogglesServiceModeInEveryWindow)
{
    FamilyWindow other("TForm5", *link, *scan);
    form->show();
    form->activateWindow();
    QApplication::processEvents();
    form->TimerAllOFF();
    auto *pages = child<QTabWidget>("PageControl1");

    QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(ServiceMode::instance().isOn());
    EXPECT_TRUE(pages->isTabVisible(1));
    EXPECT_TRUE(other.findChild<QMenu *>("Help")->menuAction()->isVisible() == false);

    QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(ServiceMode::instance().isOn());
    EXPECT_FALSE(pages->isTabVisible(1));
    form->hide();
}

TEST_F(ConverterWindow, FieldRulesHoldForFieldsChangedWithoutLeavingThem)
{
    // Typed, never left (a keyboard shortcut wrote at once): the write still
    // corrects each field by its own rule before anything is sent.
    attach(9);
    read();
    setText("Edit12", "0");
    setText("Edit8", "500");
    setText("Edit14", "99999");
    write();
    EXPECT_EQ(status()->text(), "Write Success");
    EXPECT_EQ(module->holding(16), 1);
    EXPECT_EQ(module->holding(14), 127);
    EXPECT_EQ(module->holding(5), 30000);
    EXPECT_EQ(text("Edit12"), "1");
}
