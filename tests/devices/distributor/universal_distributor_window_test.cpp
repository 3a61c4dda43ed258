#include "distributor_fixture.h"

#include "input_check.h"
#include "language_switch.h"
#include "numtext.h"

#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>

namespace {
const QColor Green(0, 128, 0);
const QColor Red(255, 0, 0);

int u16(int value)
{
    return value & 0xFFFF;
}

const std::string Ch2Advice = " CH-2 Signal Type Can Not Choose TC！";
const std::string Ch1Advice = " CH-1 Signal Type Can Not Choose PT-100！";
} // namespace

using DistributorWindow = DistributorFixture;

TEST_F(DistributorWindow, ReadFillsBothChannelsEachScaledByItsOwnType)
{
    attach(3);
    configure({{0, 9},    {1, 0},      {2, -1234}, {3, 5678}, {6, -29}, {8, 1},  {9, 2},
               {10, 100}, {11, 32000}, {12, 7},    {13, 8},   {19, 1},  {20, 2}, {23, 11},
               {24, 1},   {25, -1500}, {26, 9999}, {7, 1},    {27, 0},  {28, 1}, {29, 7}});
    line->clearLog();
    read();

    EXPECT_EQ(requests(), (Requests{{4, 7936, 4}, {3, 0, 30}}));
    EXPECT_EQ(status()->text(), "Read Success");
    EXPECT_EQ(status()->fontColor(), Green);
    EXPECT_EQ(group("Item1")->itemIndex(), 9);
    EXPECT_EQ(text("Edit1"), "-12.34");
    EXPECT_EQ(text("Edit2"), "56.78");
    EXPECT_EQ(text("Edit5"), "-0.29");
    EXPECT_EQ(text("Lab5"), "mV");
    EXPECT_EQ(group("Item4")->itemIndex(), 1);
    EXPECT_EQ(group("Item5")->itemIndex(), 2);
    EXPECT_EQ(group("RadioGroup1")->itemIndex(), 11);
    EXPECT_EQ(group("RadioGroup2")->itemIndex(), 1);
    EXPECT_EQ(text("Edit8"), "-1.500");
    EXPECT_EQ(text("Edit9"), "9.999");
    EXPECT_EQ(text("Edit12"), "0.001");
    EXPECT_EQ(text("Lab10"), "V");
    EXPECT_EQ(group("RadioGroup3")->itemIndex(), 0);
    EXPECT_EQ(group("RadioGroup4")->itemIndex(), 1);
    const std::pair<const char *, const char *> trims[] = {{"Edit6", "ScrollBar1"},
                                                           {"Edit7", "ScrollBar2"},
                                                           {"Edit13", "ScrollBar3"},
                                                           {"Edit14", "ScrollBar4"}};
    const int counts[] = {100, 32000, 7, 8};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(text(trims[i].first), QString::number(counts[i]));
        EXPECT_EQ(child<QScrollBar>(trims[i].second)->value(), counts[i]);
    }
    EXPECT_EQ(text("ID_Edit"), "1");
    EXPECT_EQ(child<QComboBox>("ComboBox1")->currentText(), "19200");
    EXPECT_EQ(child<QComboBox>("ComboBox2")->currentIndex(), 7);
    EXPECT_EQ(text("Label27"), "RX220");
    EXPECT_EQ(text("Label45"), "V03");
    EXPECT_EQ(text("Serial_Y"), "703070001");
    EXPECT_FALSE(form->ReadBusy);
    EXPECT_TRUE(enabled("BtnP2"));
    EXPECT_TRUE(enabled("Btn11"));
}

TEST_F(DistributorWindow, VersionDecidesBlockLengthFilterAndRestore)
{
    struct Row
    {
        int version;
        int count;
        bool filterShown;
        bool groupVisible;
        bool restored;
    };
    const Row rows[] = {
        {1, 29, false, false, false}, {2, 30, true, false, false}, {3, 30, true, true, true}};
    for (const Row &row : rows) {
        attach(row.version);
        configure({{29, 4}, {30, 1}, {31, 2}});
        child<QComboBox>("ComboBox2")->setCurrentIndex(-1);
        line->clearLog();
        form->FormActivate();
        runChain();
        const Requests log = requests();
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(log.front() == std::make_tuple(3, 30, 2), row.restored) << row.version;
        EXPECT_EQ(log.back(), std::make_tuple(3, 0, row.count)) << row.version;
        EXPECT_EQ(status()->text(), "Read Success") << row.version;
        EXPECT_EQ(child<QComboBox>("ComboBox2")->currentIndex(), row.filterShown ? 4 : -1);
        EXPECT_EQ(!child<QWidget>("GroupBox10")->isHidden(), row.groupVisible) << row.version;

        // The filter is written from version 2 on, shown or not.
        child<QComboBox>("ComboBox2")->setCurrentIndex(6);
        line->clearLog();
        write();
        EXPECT_EQ(status()->text(), "Write Success") << row.version;
        bool filterWritten = false;
        for (const auto &[function, reg, value] : requests())
            filterWritten = filterWritten || reg == 29;
        EXPECT_EQ(filterWritten, row.version >= 2) << row.version;
        EXPECT_EQ(module->holding(29), row.version >= 2 ? 6 : 4) << row.version;
    }
}

TEST_F(DistributorWindow, AFailedReadEndsReadBusy)
{
    attach(3);
    line->injectFault({LineFault::BadCrc, 3, 0});
    read();
    EXPECT_EQ(status()->text(), "Read Fail");
    EXPECT_FALSE(form->ReadBusy);
}

TEST_F(DistributorWindow, RangeDisplayOfEveryClassOnBothChannels)
{
    struct Row
    {
        int type;
        int unit;
        const char *low;
        const char *high;
        const char *boundLow;
        const char *boundHigh;
        const char *caption;
    };
    const Row rows[] = {
        {1, 1, "-58", "2498", "-127.8", "+127.8", "deg F"},
        {0, 0, "-50", "1000", "-52.5", "+52.5", "deg C"},
        {2, 1, "-454", "752", "-60.3", "+60.3", "deg F"},
        {10, 0, "-200", "600", "-40.0", "+40.0", "deg C"},
        {9, 1, "-60.00", "60.00", "-6.00", "+6.00", "mV"},
        {11, 0, "-10.000", "10.000", "-1.000", "+1.000", "V"},
        {12, 1, "0.000", "24.000", "-1.200", "+1.200", "mA"},
    };
    // Each channel's controls: type, unit, maximal range, offset bounds, captions.
    const char *channels[2][8] = {
        {"Item1", "Item3", "Edit3", "Edit4", "Lab1", "Lab2", "Lab5", "Lab7"},
        {"RadioGroup1", "RadioGroup2", "Edit10", "Edit11", "Lab3", "Lab4", "Lab8", "Lab10"}};
    for (const auto &c : channels) {
        for (const Row &row : rows) {
            group(c[1])->setItemIndex(row.unit);
            group(c[0])->setItemIndex(row.type);
            EXPECT_EQ(text(c[2]), row.low) << c[0] << " " << row.type;
            EXPECT_EQ(text(c[3]), row.high) << c[0] << " " << row.type;
            EXPECT_EQ(text(c[4]), row.boundLow) << c[0] << " " << row.type;
            EXPECT_EQ(text(c[5]), row.boundHigh) << c[0] << " " << row.type;
            EXPECT_EQ(text(c[6]), row.caption) << c[0] << " " << row.type;
            EXPECT_EQ(text(c[7]), row.caption) << c[0] << " " << row.type;
        }
        // Current renames the unit choices; the selection stays.
        EXPECT_EQ(group(c[1])->itemText(0), "com +");
        EXPECT_EQ(group(c[1])->itemText(1), "com -");
        EXPECT_EQ(group(c[1])->itemIndex(), 1);
        group(c[0])->setItemIndex(0);
        EXPECT_EQ(group(c[1])->itemText(1), "deg F");
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(DistributorWindow, ExitRulesCorrectEachChannelByItsOwnType)
{
    attach(3);
    configure({{0, 0}, {1, 0}, {23, 9}, {24, 0}}); // J deg C; mV
    read();
    struct Row
    {
        void (TForm5::*exit)();
        const char *field;
        const char *typed;
        const char *shown;
    };
    const Row rows[] = {
        {&TForm5::Edit2Exit, "Edit2", "2000", "1000"},
        {&TForm5::Edit1Exit, "Edit1", "2000", "-50"},
        {&TForm5::Edit1Exit, "Edit1", "", "-50"},
        {&TForm5::Edit2Exit, "Edit2", "", "1000"},
        {&TForm5::Edit1Exit, "Edit1", "12.50", "12.5"},
        {&TForm5::Edit5Exit, "Edit5", "", "0.0"},
        {&TForm5::Edit5Exit, "Edit5", "60", "52.5"},
        {&TForm5::Edit5Exit, "Edit5", "-1.25", "-1.3"},
        {&TForm5::Edit9Exit, "Edit9", "100", "60.00"},
        {&TForm5::Edit8Exit, "Edit8", "-1.234", "-1.23"},
        {&TForm5::Edit12Exit, "Edit12", "-7", "-6.00"},
        {&TForm5::Edit12Exit, "Edit12", "", "0.00"},
    };
    for (const Row &row : rows) {
        setText(row.field, row.typed);
        child<ExitEdit>(row.field)->setColor(Qt::red);
        (form.get()->*row.exit)();
        EXPECT_EQ(text(row.field), row.shown) << row.field << " " << row.typed;
        EXPECT_FALSE(child<ExitEdit>(row.field)->isRed()) << row.field;
    }
    setText("Edit5", "seven");
    EXPECT_THROW(form->Edit5Exit(), ConversionError);
}

TEST_F(DistributorWindow, AdvisoriesOnlyOnAnOperatorChange)
{
    attach(3);
    configure({{0, 10}, {3, 500}, {23, 1}}); // PT-100 on CH-1, Thermocouple K on CH-2
    read();
    EXPECT_TRUE(messages.empty()); // a read shows none

    group("Item1")->setItemIndex(0);
    group("Item1")->setItemIndex(10);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages.back(), Ch2Advice);
    EXPECT_EQ(group("Item1")->itemIndex(), 10);

    group("RadioGroup1")->setItemIndex(10);
    EXPECT_EQ(messages.size(), 1u);
    scan->TraditionalClick();
    group("RadioGroup1")->setItemIndex(2);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages.back(), " CH-1 輸入訊號不可選 PT-100！");
    scan->EnglishClick();

    // The pair is the operator's choice: the write takes it.
    write();
    EXPECT_EQ(status()->text(), "Write Success");
    EXPECT_EQ(module->holding(0), 10);
    EXPECT_EQ(module->holding(23), 2);
    EXPECT_EQ(messages.size(), 2u);
}

TEST_F(DistributorWindow, WriteSendsEveryRegisterInOrderWithExactDecimals)
{
    attach(3);
    configure({{0, 9}, {1, 0}, {23, 1}, {24, 0}, {19, 1}, {20, 2}});
    read();
    setText("Edit1", "-12.34");
    setText("Edit2", "56.78");
    setText("Edit5", "-0.29");
    group("Item3")->setItemIndex(1);
    group("Item4")->setItemIndex(1);
    group("Item5")->setItemIndex(0);
    setText("Edit8", "12.7");
    setText("Edit9", "1000");
    setText("Edit12", "-3.4");
    group("RadioGroup3")->setItemIndex(1);
    group("RadioGroup4")->setItemIndex(2);
    child<QComboBox>("ComboBox2")->setCurrentIndex(7);

    line->clearLog();
    form->BtnP2Click();
    EXPECT_EQ(status()->text(), "Transmission...");
    // No command and no trim control can send while the write runs.
    for (const char *control : {"BtnP1", "Btnc2", "RBtn5", "RBtn6", "ScrollBar4", "UpDown4"})
        EXPECT_FALSE(enabled(control)) << control;
    ASSERT_TRUE(form->Timer2->isActive());
    EXPECT_EQ(form->Timer2->interval(), 500);
    runChain();

    EXPECT_EQ(requests(), (Requests{{5, 0, 9},
                                    {5, 1, 1},
                                    {5, 2, u16(-1234)},
                                    {5, 3, 5678},
                                    {5, 6, u16(-29)},
                                    {5, 8, 1},
                                    {5, 9, 0},
                                    {5, 23, 1},
                                    {5, 24, 0},
                                    {5, 25, 12},
                                    {5, 26, 1000},
                                    {5, 7, u16(-34)},
                                    {5, 27, 1},
                                    {5, 28, 2},
                                    {5, 29, 7},
                                    {5, 19, 1},
                                    {6, 20, 2}}));
    EXPECT_EQ(module->holding(6), u16(-29));
    EXPECT_EQ(status()->text(), "Write Success");
    EXPECT_EQ(status()->fontColor(), Green);
    EXPECT_TRUE(enabled("BtnP1"));
    EXPECT_TRUE(enabled("Btnc2"));
    EXPECT_TRUE(enabled("RBtn6"));
}

TEST_F(DistributorWindow, InputCheckMarksOffendingFieldsAndSendsNothing)
{
    attach(3);
    configure({{0, 1}, {1, 1}, {2, 0}, {3, 1000}, {23, 0}, {24, 0}, {25, 0}, {26, 100}});
    read(); // K deg F on CH-1, J deg C on CH-2
    setText("Edit5", "127.8");
    setText("Edit12", "-52.5");
    write();
    EXPECT_EQ(status()->text(), "Write Success");

    struct Row
    {
        const char *field;
        const char *typed;
    };
    const Row rows[] = {{"Edit5", "127.9"}, {"Edit2", "2499"}, {"Edit1", "-59"}, {"Edit12", "52.6"},
                        {"Edit9", "1001"},  {"Edit8", "-51"},  {"ID_Edit", "0"}, {"ID_Edit", "256"},
                        {"ID_Edit", ""},    {"ID_Edit", "abc"}};
    for (const Row &row : rows) {
        read();
        const QString kept = text(row.field);
        setText(row.field, row.typed);
        line->clearLog();
        write();
        EXPECT_TRUE(line->log().empty()) << row.field << " " << row.typed;
        EXPECT_FALSE(form->Timer2->isActive());
        EXPECT_EQ(status()->text(), "Write Fail") << row.field << " " << row.typed;
        EXPECT_TRUE(child<ExitEdit>(row.field)->isRed()) << row.field;
        for (const char *other : {"Edit1", "Edit2", "Edit5", "Edit8", "Edit9", "Edit12"})
            EXPECT_EQ(child<ExitEdit>(other)->isRed(), other == std::string(row.field));
        EXPECT_TRUE(enabled("BtnP2"));
        setText(row.field, kept);
    }
    // The lower limit may be above the upper one.
    read();
    setText("Edit1", "900");
    setText("Edit2", "100");
    write();
    EXPECT_EQ(status()->text(), "Write Success");
    EXPECT_EQ(module->holding(2), 900);
}

TEST_F(DistributorWindow, ValuesWithoutAnItemAreNeverWritten)
{
    // Register values the selectors have no item for: the selector is cleared,
    // the range display keeps what it showed, the input check refuses.
    struct Row
    {
        int reg;
        int value;
        const char *selector;
    };
    const Row rows[] = {{0, 13, "Item1"},       {1, 2, "Item3"},         {8, -1, "Item4"},
                        {9, 3, "Item5"},        {23, 99, "RadioGroup1"}, {24, -1, "RadioGroup2"},
                        {27, 2, "RadioGroup3"}, {28, 7, "RadioGroup4"}};
    attach(3);
    for (const Row &row : rows) {
        configure({{0, 1}, {1, 0}, {8, 0}, {9, 0}, {23, 1}, {24, 0}, {27, 0}, {28, 0}});
        read();
        configure({{row.reg, row.value}});
        read();
        EXPECT_EQ(status()->text(), "Read Success") << row.selector;
        EXPECT_EQ(group(row.selector)->itemIndex(), -1) << row.selector;
        EXPECT_EQ(text("Edit3"), "-50");
        EXPECT_EQ(text("Edit4"), "1370");
        line->clearLog();
        write();
        EXPECT_TRUE(line->log().empty()) << row.selector;
        EXPECT_EQ(status()->text(), "Write Fail") << row.selector;
    }

    // A filter nobody chose is left out of the write, as is a baud rate: the
    // line keeps its rate.
    configure({{0, 1}, {1, 0}, {8, 0}, {9, 0}, {23, 1}, {24, 0}, {27, 0}, {28, 0}, {29, 12}});
    module->setHolding(20, 2);
    read();
    EXPECT_EQ(child<QComboBox>("ComboBox2")->currentIndex(), -1);
    child<QComboBox>("ComboBox1")->setCurrentIndex(-1);
    line->clearLog();
    write();
    EXPECT_EQ(status()->text(), "Write Success");
    for (const auto &[function, reg, value] : requests())
        EXPECT_NE(reg, 29);
    EXPECT_EQ(requests().back(), std::make_tuple(6, 20, 2));
    EXPECT_EQ(module->holding(29), 12);
}

TEST_F(DistributorWindow, CalibrationPageAndCaptions)
{
    auto *pages = child<QTabWidget>("PageControl1");
    auto *calibration = child<QWidget>("Calbration1");

    // Start and Done buttons are named for assistive tools as in the code.
    int points = 0;
    for (QPushButton *button : calibration->findChildren<QPushButton *>()) {
        if (button->text() != "Start" && button->text() != "Done")
            continue;
        ++points;
        EXPECT_EQ(button->accessibleName(), button->objectName());
    }
    EXPECT_EQ(points, 36);

    scan->SimplifiedClick();
    EXPECT_EQ(pages->tabText(pages->indexOf(calibration)), QString::fromUtf8("校正"));
    EXPECT_EQ(child<QGroupBox>("GroupBox25")->title(), QString::fromUtf8("偏差校正"));
    scan->EnglishClick();
}
