#include "vma_fixture.h"

#include "language_switch.h"
#include "numtext.h"
#include "run_time_files.h"

#include <QDir>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>

#include <array>

namespace {
const QColor Green(0, 128, 0);
const QColor Red(255, 0, 0);

// The 18 ranges as the window shows them: item, maximal limits, offset bound, unit.
struct ShownRange
{
    const char *item;
    const char *low;
    const char *high;
    const char *bound;
    const char *unit;
};
const ShownRange Ranges[] = {
    {"-480-480mV", "-480.0", "480.0", "48.0", "mV"},
    {"-240-240mV", "-240.00", "240.00", "24.00", "mV"},
    {"-120-120mV", "-120.00", "120.00", "11.99", "mV"},
    {"-60-60mV", "-60.00", "60.00", "5.99", "mV"},
    {"-30-30mV", "-30.00", "30.00", "2.99", "mV"},
    {"-15-15mV", "-15.00", "15.00", "1.50", "mV"},
    {"-96-96V", "-96.00", "96.00", "9.60", "V"},
    {"-48-48V", "-48.00", "48.00", "4.80", "V"},
    {"-24-24V", "-24.00", "24.00", "2.39", "V"},
    {"-12-12V", "-12.00", "12.00", "1.20", "V"},
    {"-6-6V", "-6.00", "6.00", "0.60", "V"},
    {"-3-3V", "-3.00", "3.00", "0.30", "V"},
    {"0-177mA", "0.00", "177.00", "8.85", "mA"},
    {"0-88mA", "0.00", "88.00", "4.39", "mA"},
    {"0-44mA", "0.00", "44.00", "2.19", "mA"},
    {"0-22mA", "0.00", "22.00", "1.10", "mA"},
    {"0-11mA", "0.00", "11.00", "0.55", "mA"},
    {"0-5.5mA", "0.00", "5.50", "0.27", "mA"},
};

// The controls of one channel's range display.
struct ChannelNames
{
    const char *range, *maxLow, *maxHigh, *boundLow, *boundHigh;
    std::array<const char *, 3> units;
};
const ChannelNames Channels[] = {
    {"Item_1", "Edit3", "Edit4", "Lab1", "Lab2", {"Lab5", "Lab6", "Lab7"}},
    {"Item_7", "Edit10", "Edit11", "Lab3", "Lab4", {"Lab8", "Lab9", "Lab10"}},
};
} // namespace

using VmaWindow = VmaFixture;

TEST_F(VmaWindow, ReadFillsEveryControlInTheScaleOfEachChannel)
{
    attach(3);
    configure({{0, 0},       {2, -4800}, {3, 4800},   {6, -15},  {4, -1234},  {5, 30000}, {8, 1},
               {9, 2},       {10, 5000}, {11, 27000}, {12, 100}, {13, 32767}, {14, -128}, {15, 127},
               {16, -30000}, {17, 2},    {18, 5},     {19, 1},   {20, 2},     {23, 17},   {25, 0},
               {26, 550},    {7, 27},    {27, 1},     {28, 0},   {29, 4}});
    line->clearLog();
    read();

    EXPECT_EQ(requests(), (Requests{{4, 7936, 4}, {3, 0, 30}}));
    EXPECT_EQ(status()->text(), "Read Success");
    EXPECT_EQ(status()->fontColor(), Green);
    const std::pair<const char *, const char *> shown[] = {
        {"Edit1", "-480.0"},      {"Edit2", "480.0"}, {"Edit5", "-1.5"},    {"Edit3", "-480.0"},
        {"Lab2", "+48.0"},        {"Lab5", "mV"},     {"Edit8", "0.00"},    {"Edit9", "5.50"},
        {"Edit12", "0.27"},       {"Edit11", "5.50"}, {"Lab4", "+0.27"},    {"Lab10", "mA"},
        {"Lo_S", "-123.4"},       {"Hi_S", "3000.0"}, {"Set_A", "-128"},    {"Set_B", "127"},
        {"Set_C", "-30000"},      {"Edit6", "5000"},  {"Edit7", "27000"},   {"Edit13", "100"},
        {"Edit14", "32767"},      {"ID_Edit", "1"},   {"Label33", "RX220"}, {"Label32", "V03"},
        {"Serial_Y", "703070001"}};
    for (const auto &[name, value] : shown)
        EXPECT_EQ(text(name), value) << name;
    EXPECT_EQ(group("Item_1")->itemIndex(), 0);
    EXPECT_EQ(group("Item_7")->itemIndex(), 17);
    EXPECT_EQ(group("Item_2")->itemIndex(), 1);
    EXPECT_EQ(group("Item_4")->itemIndex(), 2);
    EXPECT_EQ(group("Item_8")->itemIndex(), 1);
    EXPECT_EQ(group("Item_10")->itemIndex(), 0);
    EXPECT_TRUE(child<QRadioButton>("High")->isChecked());
    EXPECT_TRUE(child<QCheckBox>("CheckBox2")->isChecked());
    EXPECT_EQ(child<QLabel>("Image1")->pixmap().toImage(),
              QPixmap(QDir(QCoreApplication::applicationDirPath()).filePath("SOn.bmp")).toImage());
    EXPECT_EQ(child<QComboBox>("ComboBox1")->currentText(), "19200");
    EXPECT_EQ(child<QComboBox>("ComboBox2")->currentIndex(), 4);
    EXPECT_FALSE(child<QWidget>("GroupBox4")->isHidden());
    EXPECT_TRUE(child<QWidget>("Label32")->isHidden());
    EXPECT_TRUE(enabled("BtnP1"));
}

TEST_F(VmaWindow, VersionDecidesBlockLengthFilterAndRestore)
{
    // Version 2: 29 registers, the filter neither shown nor written, no restore.
    attach(2);
    configure({{29, 7}, {30, 5}, {31, 1}});
    line->clearLog();
    form->FormActivate();
    runChain();
    EXPECT_EQ(requests(), (Requests{{4, 7936, 4}, {3, 0, 29}}));
    EXPECT_EQ(status()->text(), "Read Success");
    EXPECT_TRUE(child<QWidget>("GroupBox4")->isHidden());
    EXPECT_EQ(child<QComboBox>("ComboBox2")->currentIndex(), -1);
    child<QComboBox>("ComboBox2")->setCurrentIndex(3);
    line->clearLog();
    write();
    EXPECT_EQ(status()->text(), "Write Success");
    EXPECT_EQ(requests().size(), 21u);
    for (const auto &[function, reg, value] : requests())
        EXPECT_NE(reg, 29);

    // Version 3: 30 registers, the filter shown (the restore before the read:
    // tests/main/window_rules_test.cpp).
    attach(3);
    configure({{29, 7}, {30, 5}, {31, 1}});
    form->FormActivate();
    runChain();
    EXPECT_EQ(status()->text(), "Read Success");
    EXPECT_FALSE(child<QWidget>("GroupBox4")->isHidden());
    EXPECT_EQ(child<QComboBox>("ComboBox2")->currentIndex(), 7);
}

TEST_F(VmaWindow, RangeDisplayOfEveryRangeOnBothChannels)
{
    for (const ChannelNames &channel : Channels) {
        for (int range = 0; range < 18; ++range) {
            const ShownRange &expected = Ranges[range];
            group(channel.range)->setItemIndex(range);
            EXPECT_EQ(group(channel.range)->itemText(range), expected.item);
            EXPECT_EQ(text(channel.maxLow), expected.low) << range;
            EXPECT_EQ(text(channel.maxHigh), expected.high) << range;
            EXPECT_EQ(text(channel.boundLow), QString("-") + expected.bound) << range;
            EXPECT_EQ(text(channel.boundHigh), QString("+") + expected.bound) << range;
            for (const char *unit : channel.units)
                EXPECT_EQ(text(unit), expected.unit) << range << unit;
        }
    }
}

TEST_F(VmaWindow, RangeDisplayRunsAfterEveryReadNotOnlyOnAChange)
{
    attach(3);
    configure({{0, 2}, {23, 12}});
    group("Item_1")->setItemIndex(2);
    group("Item_7")->setItemIndex(12);
    for (const char *name : {"Lab1", "Lab2", "Lab4"})
        child<QLabel>(name)->setText("stale");
    setText("Edit3", "stale");
    read();
    EXPECT_EQ(text("Lab1"), "-11.99");
    EXPECT_EQ(text("Lab2"), "+11.99");
    EXPECT_EQ(text("Edit3"), "-120.00");
    EXPECT_EQ(text("Lab4"), "+8.85");
}

TEST_F(VmaWindow, InputCheckUsesTheShownOffsetBound)
{
    attach(3);
    configure({{0, 2}, {2, -12000}, {3, 12000}, {23, 2}, {25, 0}, {26, 100}});
    read();
    const struct
    {
        const char *field;
        const char *offset;
        bool accepted;
    } cases[] = {{"Edit5", "11.99", true}, {"Edit5", "12.00", false}, {"Edit5", "-11.99", true},
                 {"Edit5", "-12", false},  {"Edit12", "11.99", true}, {"Edit12", "11.991", false}};
    for (const auto &c : cases) {
        setText("Edit5", "0.00");
        setText("Edit12", "0.00");
        setText(c.field, c.offset);
        line->clearLog();
        write();
        EXPECT_EQ(status()->text(), c.accepted ? "Write Success" : "Write Fail") << c.offset;
        EXPECT_EQ(red(c.field), !c.accepted) << c.field << c.offset;
        EXPECT_EQ(line->log().empty(), !c.accepted) << c.offset;
    }
    EXPECT_EQ(module->holding(7), 1199);

    // Limits outside the range are marked too; a field that passes loses its mark.
    setText("Edit1", "-120.01");
    setText("Edit9", "120.5");
    write();
    EXPECT_TRUE(red("Edit1"));
    EXPECT_TRUE(red("Edit9"));
    EXPECT_FALSE(red("Edit2"));
    setText("Edit1", "-120");
    write();
    EXPECT_FALSE(red("Edit1"));
    EXPECT_TRUE(red("Edit9"));
}

TEST_F(VmaWindow, WriteSendsEveryRegisterInOrderAsTyped)
{
    attach(3);
    configure({{0, 0}, {23, 1}, {18, 5}, {19, 1}, {20, 2}, {29, 4}});
    read();
    setText("Edit1", "-100.5");
    setText("Edit2", "480");
    setText("Edit5", "-1.5");
    group("Item_2")->setItemIndex(1);
    group("Item_4")->setItemIndex(2);
    setText("Edit8", "-0.07");
    setText("Edit9", "240");
    setText("Edit12", "12.34");
    group("Item_8")->setItemIndex(0);
    group("Item_10")->setItemIndex(1);
    setText("Lo_S", "-123.4");
    setText("Hi_S", "300.0");
    setText("Set_A", "3");
    setText("Set_B", "-4");
    setText("Set_C", "7");
    child<QRadioButton>("Low")->setChecked(true);

    line->clearLog();
    form->BtnP2Click();
    EXPECT_EQ(status()->text(), "Transmission...");
    EXPECT_FALSE(enabled("BtnP1"));
    ASSERT_TRUE(form->Timer2->isActive());
    EXPECT_EQ(form->Timer2->interval(), 500);
    runChain();

    // Register 1, 22 and 24 are not this family's: never written.
    EXPECT_EQ(requests(), (Requests{{5, 0, 0},
                                    {5, 2, -1005 & 0xFFFF},
                                    {5, 3, 4800},
                                    {5, 6, -15 & 0xFFFF},
                                    {5, 8, 1},
                                    {5, 9, 2},
                                    {5, 23, 1},
                                    {5, 25, -7 & 0xFFFF},
                                    {5, 26, 24000},
                                    {5, 7, 1234},
                                    {5, 27, 0},
                                    {5, 28, 1},
                                    {5, 4, -1234 & 0xFFFF},
                                    {5, 5, 3000},
                                    {5, 14, 3},
                                    {5, 15, -4 & 0xFFFF},
                                    {5, 16, 7},
                                    {5, 17, 3},
                                    {5, 18, 1},
                                    {5, 29, 4},
                                    {5, 19, 1},
                                    {6, 20, 2}}));
    EXPECT_EQ(status()->text(), "Write Success");
    EXPECT_EQ(status()->fontColor(), Green);
    EXPECT_TRUE(enabled("BtnP1"));
    EXPECT_EQ(module->holding(26), 24000);
}

TEST_F(VmaWindow, ExitRulesCorrectTheFields)
{
    attach(3);
    configure({{0, 0}, {23, 2}});
    read();
    using Exit = void (TForm7::*)();
    const struct
    {
        const char *field;
        Exit exit;
        const char *typed;
        const char *shown;
    } cases[] = {
        {"Edit1", &TForm7::Edit1Exit, "", "-480.0"},
        {"Edit1", &TForm7::Edit1Exit, "500", "-480.0"},
        {"Edit1", &TForm7::Edit1Exit, "12.34", "12.3"},
        {"Edit2", &TForm7::Edit2Exit, "-500", "480.0"},
        {"Edit2", &TForm7::Edit2Exit, "", "480.0"},
        {"Edit5", &TForm7::Edit5Exit, "50", "48.0"},
        {"Edit5", &TForm7::Edit5Exit, "", "0.0"},
        {"Edit8", &TForm7::Edit8Exit, "130", "-120.00"},
        {"Edit9", &TForm7::Edit9Exit, "", "120.00"},
        {"Edit9", &TForm7::Edit9Exit, "7.5", "7.50"},
        {"Edit12", &TForm7::Edit12Exit, "-13", "-11.99"},
        {"Edit12", &TForm7::Edit12Exit, "1.234", "1.23"},
        {"Lo_S", &TForm7::Lo_SExit, "3500", "-3000.0"},
        {"Lo_S", &TForm7::Lo_SExit, "", "-3000.0"},
        {"Lo_S", &TForm7::Lo_SExit, "-12.34", "-12.3"},
        {"Hi_S", &TForm7::Hi_SExit, "", "3000.0"},
        {"Hi_S", &TForm7::Hi_SExit, "-3000.1", "3000.0"},
        {"Hi_S", &TForm7::Hi_SExit, "300", "300.0"},
        {"Set_A", &TForm7::Set_AExit, "200", "127"},
        {"Set_B", &TForm7::Set_BExit, "-200", "-128"},
        {"Set_B", &TForm7::Set_BExit, "", "0"},
        {"Set_C", &TForm7::Set_CExit, "0", "1"},
        {"Set_C", &TForm7::Set_CExit, "40000", "30000"},
        {"Set_C", &TForm7::Set_CExit, "", "1"},
    };
    for (const auto &c : cases) {
        setText(c.field, c.typed);
        (form.get()->*c.exit)();
        EXPECT_EQ(text(c.field), c.shown) << c.field << " '" << c.typed << "'";
    }
    setText("Set_A", "seven");
    EXPECT_THROW(form->Set_AExit(), ConversionError);
}

TEST_F(VmaWindow, OutputFunctionNeverSendsADivisorOfZeroOrAWrappedValue)
{
    attach(3);
    read();
    // Typed and written without leaving the fields.
    setText("Set_A", "300");
    setText("Set_B", "70000");
    setText("Set_C", "0");
    setText("Lo_S", "5000");
    line->clearLog();
    write();
    EXPECT_EQ(status()->text(), "Write Success");
    const Requests sent = requests();
    const auto value = [&sent](int reg) {
        for (const auto &[function, r, v] : sent)
            if (r == reg)
                return v;
        return -1;
    };
    EXPECT_EQ(value(14), 127);
    EXPECT_EQ(value(15), 127);
    EXPECT_EQ(value(16), 1);
    EXPECT_EQ(value(4), -30000 & 0xFFFF);
    EXPECT_EQ(text("Set_C"), "1");
    EXPECT_EQ(text("Lo_S"), "-3000.0");
}

TEST_F(VmaWindow, AddressOutsideOneTo255FailsTheInputCheck)
{
    attach(3);
    read();
    for (const char *address : {"0", "256", "", "-1", "abc"}) {
        setText("ID_Edit", address);
        line->clearLog();
        write();
        EXPECT_EQ(status()->text(), "Write Fail") << address;
        EXPECT_EQ(status()->fontColor(), Red);
        EXPECT_TRUE(line->log().empty()) << address;
        EXPECT_TRUE(red("ID_Edit")) << address;
        EXPECT_TRUE(enabled("BtnP2"));
    }
    setText("ID_Edit", "255");
    write();
    EXPECT_EQ(status()->text(), "Write Success");
    EXPECT_FALSE(red("ID_Edit"));
    EXPECT_EQ(module->address(), 255);
}

TEST_F(VmaWindow, ValueOutsideASelectorsItemsClearsItAndFailsTheWrite)
{
    const std::pair<int, int> foreign[] = {{0, 18}, {23, -1}, {8, 2}, {9, 3},
                                           {27, 7}, {28, 9},  {17, 7}};
    for (const auto &[reg, value] : foreign) {
        attach(3);
        configure({{0, 2}, {23, 2}, {17, 1}});
        read();
        ASSERT_EQ(text("Lab2"), "+11.99");
        configure({{reg, value}});
        read();
        EXPECT_EQ(status()->text(), "Read Success") << reg;
        EXPECT_EQ(text("Lab2"), "+11.99") << reg; // an unknown range shows nothing
        line->clearLog();
        write();
        EXPECT_EQ(status()->text(), "Write Fail") << reg;
        EXPECT_TRUE(line->log().empty()) << reg;
    }
    for (const char *source : {"RadioButton4", "RadioButton5", "High", "Low"})
        EXPECT_FALSE(child<QRadioButton>(source)->isChecked()) << source;

    // No filter selected: the filter is left as it is and the rest is written.
    attach(3);
    configure({{29, 12}});
    read();
    EXPECT_EQ(child<QComboBox>("ComboBox2")->currentIndex(), -1);
    line->clearLog();
    write();
    EXPECT_EQ(status()->text(), "Write Success");
    for (const auto &[function, reg, value] : requests())
        EXPECT_NE(reg, 29);
    EXPECT_EQ(module->holding(29), 12);
}

TEST_F(VmaWindow, ModelCodeFiftyFourIsThisWindows)
{
    attach(3, 54);
    read();
    EXPECT_EQ(status()->text(), "Read Success");
    EXPECT_EQ(text("Label33"), "RX220");
}

TEST_F(VmaWindow, MissingPicturesShowTheFormulaAsText)
{
    QTemporaryDir empty;
    overrideRunTimeFolders(QStringList{empty.path()});
    attach(3);
    configure({{18, 1}});
    read();
    overrideRunTimeFolders(std::nullopt);
    EXPECT_EQ(status()->text(), "Read Success");
    EXPECT_TRUE(child<QLabel>("Image1")->pixmap().isNull());
    EXPECT_TRUE(text("Image1").contains("PV1"));
}

TEST_F(VmaWindow, CalibrationButtonsAndSerialNumber)
{
    form->serviceModeChanged(true);

    // Every Start and Done button is told apart by its accessible name.
    int points = 0;
    for (QPushButton *button : form->findChildren<QPushButton *>())
        if (button->objectName().startsWith("Btn_")) {
            EXPECT_EQ(button->accessibleName(), button->objectName());
            ++points;
        }
    EXPECT_EQ(points, 34);

    attach(3);
    line->clearLog();
    form->Button3Click();
    runChain();
    EXPECT_EQ(requests(), (Requests{{5, 7938, 10727}, {5, 7939, 65329}, {5, 21, 34}}));
    EXPECT_EQ(text("Edit17"), "703070002");
    form->serviceModeChanged(false);
}

TEST_F(VmaWindow, CaptionsFollowTheLanguage)
{
    scan->TraditionalClick();
    EXPECT_EQ(child<QGroupBox>("Item_13")->title(), QString::fromUtf8("位址與鮑率"));
    EXPECT_EQ(child<QPushButton>("Btn_74")->text(), QString::fromUtf8("完成"));
    EXPECT_EQ(child<QTabWidget>("PageControl1")->tabText(1), QString::fromUtf8("校正"));
    scan->EnglishClick();
    EXPECT_EQ(child<QGroupBox>("Item_6")->title(), "           0/4~20 mA Output Signal Adjustment");
}
