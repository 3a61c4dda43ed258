// The zero/span calibration of the compact resistance transmitter window
// TForm10 against a simulated module of version index 3: fixed end points,
// "Set Zero", points between the ends, signed counts, no count order, block
// enabling and every point button back after a read or a run.
#include "resistance_fixture.h"

#include <QGroupBox>
#include <QRadioButton>

struct CompactZeroSpan : ResistanceFixture<TForm10>
{
    void readModule(int mode)
    {
        attachModule(3, mode);
        read();
        form->show();
    }

    const ZeroSpanTable &table(int mode) const { return *tableOfMode(compactZeroSpan(), mode); }

    std::vector<std::string> enabledPointButtons(int mode) const
    {
        std::vector<std::string> names;
        for (const ZeroSpanPoint &point : table(mode).points)
            for (const std::string &name : {point.set, point.done})
                if (enabled(name.c_str()))
                    names.push_back(name);
        return names;
    }
    bool everyPointButton(bool on) const
    {
        for (const ZeroSpanTable &t : compactZeroSpan().tables)
            for (const ZeroSpanPoint &point : t.points)
                if (enabled(point.set.c_str()) != on || enabled(point.done.c_str()) != on)
                    return false;
        return true;
    }
    // "Set Span" buttons of points first..last (1-based) of a table.
    std::vector<std::string> sets(int mode, int first, int last) const
    {
        std::vector<std::string> names;
        for (int k = first; k <= last; ++k)
            names.push_back(table(mode).points[static_cast<std::size_t>(k - 1)].set);
        return names;
    }
};

TEST_F(CompactZeroSpan, ReadShowsPointsAsReadAndEveryButton)
{
    const std::pair<int, const char *> groups[] = {
        {3, "GroupBox3"}, {4, "GroupBox1"}, {5, "GroupBox8"}, {6, "GroupBox5"}};
    for (const auto &[mode, shown] : groups) {
        attachModule(3, mode);
        read();
        for (const auto &[other, group] : groups)
            EXPECT_EQ(child<QGroupBox>(group)->isHidden(), other != mode) << mode << group;
    }
    // No point equal to the one before it is zeroed; the ends are fixed.
    configure({{2, 5}, {3, 995}, {11, 100}, {12, 100}, {13, 300}, {28, 300}, {29, 300}});
    read();
    for (const auto &[field, shown] : {std::pair{"Edit10", "100"},
                                       {"Edit11", "100"},
                                       {"Edit12", "300"},
                                       {"Edit9", "0"},
                                       {"Edit13", "1000"},
                                       {"Edit_2", "100"},
                                       {"Edit_3", "100"},
                                       {"Edit_16", "1000"},
                                       {"Edit22", "100"},
                                       {"Edit_19", "300"},
                                       {"Edit_20", "300"},
                                       {"Edit_21", "1000"},
                                       {"Edi3", "5"},
                                       {"Edi4", "995"}})
        EXPECT_EQ(text(field), shown) << field;
    for (const char *fixed : {"Edit16", "Edit17", "Edit9", "Edit13", "Edit_1", "Edit46"})
        EXPECT_TRUE(child<QLineEdit>(fixed)->isReadOnly()) << fixed;
    EXPECT_EQ(child<QPushButton>("Btn_200")->text(), "Set Zero");
    EXPECT_TRUE(everyPointButton(true));
    form->BtnAllOFF();
    EXPECT_TRUE(everyPointButton(false));
    form->BtnAllON();
    EXPECT_TRUE(everyPointButton(true));
}

TEST_F(CompactZeroSpan, SetZeroWritesNothingAndCountsAreSigned)
{
    readModule(6);
    module->setInput(4100, 40000);
    line->clearLog();
    click("Btn_100");
    EXPECT_EQ(requests(), (Requests{{4, 7936, 4}}));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(enabledPointButtons(6), std::vector<std::string>{"Btn_21"});
    EXPECT_TRUE(commandsEnabled(false));
    dialog->Button1Click();
    EXPECT_TRUE(form->SkipRefresh);
    tick(form->Timer1, 2);
    for (const char *field : {"Edt1", "Edit4", "Edit14", "Edit18"})
        EXPECT_EQ(text(field), "-25536") << field;
    line->clearLog();
    click("Btn_21");
    EXPECT_EQ(requests(), (Requests{{5, 9, 20}}));
    EXPECT_EQ(enabledPointButtons(6), sets(6, 2, 6));

    // Another window's version at "Set Zero": the box, nothing else.
    form->StartClick();
    form->show();
    module->setInput(7936, 6 << 8 | 5);
    line->clearLog();
    click("Btn_100");
    EXPECT_EQ(requests(), (Requests{{4, 7936, 4}}));
    EXPECT_EQ(messages, std::vector<std::string>{"Version is not match"});
    EXPECT_TRUE(everyPointButton(true));
}

TEST_F(CompactZeroSpan, MiddlePointsOfTheLargeTablesLieBetweenTheEnds)
{
    readModule(6);
    // Leaving a middle field of the 16-point table replaces a value outside
    // the ends; the 21-point table's fields are not checked.
    for (const auto &[field, typed, shown] : {std::tuple{"Edit_4", "1200", "190"},
                                              {"Edit_4", "", "190"},
                                              {"Edit_4", "500", "500"},
                                              {"Edit22", "5000", "5000"}}) {
        leave(field, typed);
        EXPECT_EQ(text(field), shown) << field << " " << typed;
        EXPECT_FALSE(red(field));
    }
    for (const char *value : {"0", "1000", "-4"}) {
        setText("Edit_3", value);
        line->clearLog();
        click("Btn_102");
        EXPECT_TRUE(line->log().empty()) << value;
        EXPECT_TRUE(everyPointButton(true)) << value;
    }
    setText("Edit_3", "999");
    click("Btn_102");
    EXPECT_EQ(requests(), (Requests{{5, 10, 999}}));
    EXPECT_TRUE(form->Timer1->isActive());
    EXPECT_EQ(form->zeroSpan().CalSlot, 2);
    EXPECT_EQ(enabledPointButtons(6), std::vector<std::string>{"Btn_23"});

    // The 5-point table writes whatever whole number its field holds.
    form->StartClick();
    attachModule(3, 4);
    read();
    setText("Edit10", "0");
    line->clearLog();
    click("Btn_2");
    EXPECT_EQ(requests(), (Requests{{5, 10, 0}}));
}

TEST_F(CompactZeroSpan, ATwentyOnePointRunGoesBlockByBlock)
{
    readModule(5);
    const ZeroSpanTable &t = table(5);
    click("Btn_200");
    dialog->Button1Click();
    tick(form->Timer1, 2);
    click("Btn_221");
    // A block ends at points 6, 11, 16 and 21; the end of a block (and point
    // 1) opens the next one.
    const auto blockEnd = [](int k) { return k < 6 ? 6 : k < 11 ? 11 : k < 16 ? 16 : 21; };
    EXPECT_EQ(enabledPointButtons(5), sets(5, 2, 6));
    for (int k = 2; k <= 21; ++k) {
        const ZeroSpanPoint &point = t.points[static_cast<std::size_t>(k - 1)];
        if (k < 21)
            setText(point.value.c_str(), QString::number(40 * k));
        line->clearLog();
        click(point.set.c_str());
        EXPECT_EQ(enabledPointButtons(5), std::vector<std::string>{point.done}) << k;
        tick(form->Timer1, 2);
        click(point.done.c_str());
        const Requests sent = requests();
        EXPECT_EQ(sent.front(),
                  k < 21 ? std::make_tuple(5, 10, 40 * k) : std::make_tuple(4, 4100, 1))
            << k;
        EXPECT_EQ(sent.back(), std::make_tuple(5, 9, zeroSpanCode(k, 21))) << k;
        if (k < 21) {
            EXPECT_EQ(enabledPointButtons(5), sets(5, k + 1, blockEnd(k))) << k;
        }
    }
    EXPECT_EQ(requests().back(), std::make_tuple(5, 9, 21));
    EXPECT_TRUE(everyPointButton(true));
    EXPECT_TRUE(commandsEnabled(true));
    EXPECT_FALSE(form->zeroSpan().running());
    for (int k = 2; k <= 20; ++k)
        EXPECT_EQ(module->holding(9 + k), 40 * k) << k;
}

TEST_F(CompactZeroSpan, ASixteenPointRunEndsWithCode21)
{
    readModule(6);
    click("Btn_100");
    dialog->Button1Click();
    tick(form->Timer1, 2);
    click("Btn_21");
    for (const auto &[set, done, next] :
         {std::tuple{"Btn_105", "Btn_26", 7}, {"Btn_110", "Btn_31", 12}}) {
        click(set);
        tick(form->Timer1, 2);
        click(done);
        EXPECT_EQ(enabledPointButtons(6), sets(6, next, next + 4));
    }
    line->clearLog();
    click("Btn_115");
    EXPECT_EQ(requests(), (Requests{{5, 10, 1000}}));
    EXPECT_EQ(form->zeroSpan().CalSlot, 15);
    tick(form->Timer1, 2);
    click("Btn_36");
    EXPECT_EQ(requests().back(), std::make_tuple(5, 9, 21));
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_TRUE(everyPointButton(true));
    EXPECT_TRUE(commandsEnabled(true));
    EXPECT_FALSE(form->zeroSpan().running());
}

TEST_F(CompactZeroSpan, TheTwoPointLastPollLeavesTheCommandsButEndsBeforeAnyOtherCommand)
{
    readModule(3);
    // The trim and the mode buttons go between its count requests instead.
    const std::pair<bool, std::function<void(CompactZeroSpan &)>> exchanges[] = {
        {true, [](CompactZeroSpan &t) { t.click("BtnP1"); }},
        {false,
         [](CompactZeroSpan &t) { t.template child<QRadioButton>("RadioButton3")->click(); }},
        {false, [](CompactZeroSpan &t) { t.click("Button2"); }},
        {true, [](CompactZeroSpan &t) { t.click("Btn71"); }},
        {true, [](CompactZeroSpan &t) { t.click("Btn_1"); }},
    };
    int i = 0;
    for (const auto &[ends, exchange] : exchanges) {
        form->BtnAllON();
        module->setInput(4100, 1234);
        line->clearLog();
        click("Button6");
        EXPECT_TRUE(line->log().empty());
        EXPECT_FALSE(enabled("Button6"));
        EXPECT_TRUE(enabled("Button7"));
        EXPECT_TRUE(commandsEnabled(true));
        EXPECT_EQ(form->zeroSpan().CalSlot, 4);
        tick(form->Timer1, 2);
        for (const char *field : {"Edit15", "Edit8", "Edt5", "Edit31"})
            EXPECT_EQ(text(field), "1234") << field;

        line->clearLog();
        exchange(*this);
        EXPECT_EQ(form->Timer1->isActive(), !ends) << i;
        EXPECT_FALSE(line->log().empty()) << i;
        EXPECT_NE(line->log().front().reg, 4100) << i;
        form->Btn72Click();
        form->TimerAllOFF();
        ++i;
    }
    form->BtnAllON();
    click("Button6");
    line->clearLog();
    click("Button7");
    EXPECT_EQ(requests(), (Requests{{5, 9, 21}}));
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_TRUE(everyPointButton(true));
}

TEST_F(CompactZeroSpan, NoAndScanStartGiveEveryButtonBack)
{
    readModule(4);
    click("Btn_1");
    ASSERT_TRUE(dialog->isVisible());
    dialog->Button2Click();
    EXPECT_TRUE(form->SkipRefresh);
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_TRUE(everyPointButton(true));
    EXPECT_TRUE(commandsEnabled(true));

    // A point ends with Scan > Start.
    click("Btn_3");
    EXPECT_TRUE(form->Timer1->isActive());
    form->StartClick(); // ends the point
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_TRUE(everyPointButton(true));
}
