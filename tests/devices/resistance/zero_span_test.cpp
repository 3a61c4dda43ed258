// The zero/span calibration of the resistance transmitter window TForm4
// against the simulated resistance transmitter: loading, field checks, the
// run point by point, the confirmation dialog and the "Set ModeNum" page.
#include "resistance_fixture.h"

#include <QGroupBox>

namespace {
// The first point's buttons of the five tables.
const std::vector<std::string> FirstSets = {"Button4", "Btn_1", "Btn_100", "Btn_200", "Btn25_1"};
const char *const FirstDones[] = {"Button5", "Btn_6", "Btn_21", "Btn_221", "Btn25_26"};
} // namespace

struct ZeroSpan : ResistanceFixture<TForm4>
{
    // A module in a calibration mode, read, the window shown (the dialog
    // answers only a window that is shown).
    void readModule(int mode)
    {
        attachModule(5, mode);
        read();
        form->show();
    }

    // The point buttons enabled now, out of every table.
    std::vector<std::string> enabledPointButtons() const
    {
        std::vector<std::string> names;
        for (const ZeroSpanTable &table : resistanceZeroSpan().tables)
            for (const ZeroSpanPoint &point : table.points)
                for (const std::string &name : {point.set, point.done})
                    if (enabled(name.c_str()))
                        names.push_back(name);
        return names;
    }
    using Names = std::vector<std::string>;

    // The first point of the 5-point table set, confirmed and counted.
    void firstPoint(const char *value = "100")
    {
        leave("Edit9", value);
        click("Btn_1");
        dialog->Button1Click();
        tick(form->Timer1, 2);
    }
};

TEST_F(ZeroSpan, ARunOfFivePointsStoresEachPointWithItsCode)
{
    readModule(4);
    for (const auto &[field, value] :
         {std::pair{"Edit9", "100"}, {"Edit11", "300"}, {"Edit13", "500"}})
        leave(field, value);
    EXPECT_EQ(enabledPointButtons(), FirstSets);

    // First point: mode and version, the value, then the question.
    line->clearLog();
    click("Btn_1");
    EXPECT_EQ(requests(), (Requests{{4, 7936, 4}, {5, 10, 100}}));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(text("Edi3"), "100");
    EXPECT_EQ(enabledPointButtons(), Names{"Btn_6"});
    EXPECT_TRUE(commandsEnabled(false));
    EXPECT_FALSE(form->Timer1->isActive());
    dialog->Button1Click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(form->SkipRefresh);
    EXPECT_EQ(form->Timer1->interval(), 500);

    // The count shows from the second tick in every count field of slot 0;
    // a damaged one leaves them as they are.
    tick(form->Timer1);
    EXPECT_EQ(text("Edit4"), "");
    tick(form->Timer1);
    const QString count = text("Edit4");
    EXPECT_FALSE(count.isEmpty());
    for (const char *field : {"Edit14", "Edt1", "Edit18", "Edit25_26"})
        EXPECT_EQ(text(field), count) << field;
    line->injectFault({LineFault::BadCrc, 4, 4100});
    tick(form->Timer1); // sends the request whose reply is damaged
    const QString before = text("Edit4");
    tick(form->Timer1);
    EXPECT_EQ(text("Edit4"), before);
    tick(form->Timer1);

    line->clearLog();
    click("Btn_6");
    EXPECT_EQ(requests(), (Requests{{5, 9, 20}}));
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_EQ(form->zeroSpan().LastCount, text("Edit4").toInt());
    EXPECT_EQ(enabledPointButtons(), (Names{"Btn_2", "Btn_3", "Btn_4", "Btn_5"}));

    // Point 2 skipped: point 3 in slot 2.
    click("Btn_3");
    EXPECT_EQ(enabledPointButtons(), Names{"Btn_8"});
    tick(form->Timer1, 2);
    for (const char *field : {"Edit20", "Edt3", "Edit25_28"})
        EXPECT_EQ(text(field), text("Edit6")) << field;
    click("Btn_8");
    EXPECT_EQ(enabledPointButtons(), (Names{"Btn_4", "Btn_5"}));

    // The last point: slot 24, the upper range limit, code 21, the commands back.
    click("Btn_5");
    EXPECT_EQ(text("Edi4"), "500");
    tick(form->Timer1, 2);
    for (const char *field : {"Edit15", "Edt15", "Edt20", "Edit25_50"})
        EXPECT_EQ(text(field), text("Edit8")) << field;
    click("Btn_a");
    EXPECT_TRUE(commandsEnabled(true));
    EXPECT_EQ(enabledPointButtons(), FirstSets); // the last "Done" cannot store twice
    EXPECT_FALSE(form->zeroSpan().running());

    EXPECT_EQ(module->holding(11), 100);
    EXPECT_EQ(module->holding(13), 300);
    EXPECT_EQ(module->holding(35), 500);
    std::vector<std::tuple<int, int>> stored;
    for (const StoredPoint &point : module->storedPoints())
        stored.emplace_back(point.code, point.reference);
    EXPECT_EQ(stored, (std::vector<std::tuple<int, int>>{{20, 100}, {23, 300}, {21, 500}}));
}

TEST_F(ZeroSpan, ReadShowsTheTableOfTheModeAndRepeatedPointsAsZero)
{
    const std::pair<int, const char *> groups[] = {
        {3, "GroupBox3"}, {4, "GroupBox1"}, {5, "GroupBox8"}, {6, "GroupBox5"}, {7, "GroupBox10"}};
    for (const auto &[mode, shown] : groups) {
        attachModule(5, mode);
        read();
        for (const auto &[other, group] : groups)
            EXPECT_EQ(child<QGroupBox>(group)->isHidden(), other != mode) << mode << group;
    }

    leave("Edit25_3", "30001"); // a red field stays red through a read
    configure({{11, 100}, {12, 150}, {13, 150}, {14, 140}, {35, 900}});
    for (int reg = 15; reg <= 34; ++reg)
        configure({{reg, 140}});
    read();
    for (int k = 1; k <= 25; ++k) {
        const QString shown = k <= 4    ? QStringList{"100", "150", "0", "140"}[k - 1]
                              : k == 25 ? "900"
                                        : "0";
        EXPECT_EQ(text(QString("Edit25_%1").arg(k).toLatin1().constData()), shown) << k;
    }
    EXPECT_TRUE(red("Edit25_3"));
    for (const auto &[field, shown] : {std::pair{"Edit12", "140"},
                                       {"Edit13", "900"},
                                       {"Edit17", "900"},
                                       {"Edit_5", "0"},
                                       {"Edit_20", "900"}})
        EXPECT_EQ(text(field), shown) << field;
}

TEST_F(ZeroSpan, FieldsAreMarkedRedInTheOrderTheyAreLeft)
{
    readModule(7);
    for (const auto &[field, typed, isRed, lastPointValue] :
         {std::tuple{"Edit25_1", "30000", false, 30000},
          {"Edit25_1", "30001", true, 30000},
          {"Edit25_1", "200", false, 200},
          {"Edit25_2", "100", true, 200},
          {"Edit_1", "20", false, 20},
          {"Edit25_2", "30", false, 30},
          {"Edit_19", "500", false, 500},
          {"Edit_20", "10", false, 500}}) {
        leave(field, typed);
        EXPECT_EQ(red(field), isRed) << field << " " << typed;
        EXPECT_EQ(form->zeroSpan().LastPointValue, lastPointValue) << field << " " << typed;
    }
    // A red field refuses its "Set Span" and leaves only it enabled.
    leave("Edit25_3", "10");
    line->clearLog();
    form->zeroSpan().setSpan(4, 2);
    runChain();
    EXPECT_TRUE(line->log().empty());
    EXPECT_EQ(enabledPointButtons(), Names{"Btn25_3"});
    EXPECT_TRUE(commandsEnabled(false));
}

TEST_F(ZeroSpan, DoneNeedsACountAboveTheLastOneComparedUnsigned)
{
    readModule(4);
    module->setInput(4100, 30000);
    firstPoint("0");
    click("Btn_6");
    EXPECT_EQ(form->zeroSpan().LastCount, 30000);

    click("Btn_2");
    tick(form->Timer1, 2);
    line->clearLog();
    click("Btn_7");
    EXPECT_EQ(messages, std::vector<std::string>{"Count must more than last one"});
    EXPECT_TRUE(line->log().empty());
    EXPECT_TRUE(form->Timer1->isActive());
    module->setInput(4100, 40000);
    tick(form->Timer1, 2);
    EXPECT_EQ(text("Edit5"), "40000");
    click("Btn_7");
    EXPECT_EQ(requests().back(), std::make_tuple(5, 9, 22));
    EXPECT_EQ(form->zeroSpan().LastCount, 40000);
}

TEST_F(ZeroSpan, TheFirstPointReadsAModuleOfAnotherModeAndRefusesAnotherVersion)
{
    readModule(4);
    line->clearLog();
    click("Btn25_1");
    EXPECT_EQ(requests(), (Requests{{4, 7936, 4}, {4, 7936, 4}, {3, 0, 36}}));
    EXPECT_FALSE(child<QGroupBox>("GroupBox1")->isHidden());

    module->setInput(7936, 4 << 8 | 4);
    line->clearLog();
    click("Btn_1");
    EXPECT_EQ(requests(), (Requests{{4, 7936, 4}}));
    EXPECT_EQ(messages, std::vector<std::string>{"Version is not match"});
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(commandsEnabled(true));
}

TEST_F(ZeroSpan, NoOrClosingTheDialogGivesTheFirstPointUp)
{
    for (const int value : {50, 51}) {
        readModule(3);
        form->SkipRefresh = false;
        leave("Edit16", QString::number(value));
        click("Button4");
        ASSERT_TRUE(dialog->isVisible());
        value == 50 ? dialog->Button2Click() : static_cast<void>(dialog->close());
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(module->holding(10), value); // not taken back
        EXPECT_TRUE(form->SkipRefresh);
        EXPECT_FALSE(form->Timer1->isActive());
        EXPECT_TRUE(commandsEnabled(true));
        EXPECT_EQ(enabledPointButtons(), FirstSets);
        for (const char *done : FirstDones)
            EXPECT_FALSE(enabled(done)) << done;
        line->clearLog();
        form->FormActivate(); // activation keeps the window as it is
        EXPECT_TRUE(line->log().empty());
    }
}

TEST_F(ZeroSpan, ModeButtonsWriteTheModeThenCode34AndShowTheirResult)
{
    readModule(7);
    form->zeroSpan().LastCount = 77;
    line->clearLog();
    click("Button9");
    EXPECT_EQ(requests(), (Requests{{5, 7936, 1280}, {5, 9, 34}}));
    EXPECT_EQ(form->zeroSpan().LastCount, 0);
    auto *label = child<StatusLabel>("Label25");
    EXPECT_EQ(label->text(), "N/A");
    EXPECT_EQ(form->Timer7->interval(), 1500);
    fire(form->Timer7);
    EXPECT_EQ(label->text(), "OK!");
    EXPECT_EQ(label->fontColor(), QColor(0, 128, 0));
    EXPECT_EQ(form->Timer7->interval(), 5000);
    fire(form->Timer7);
    EXPECT_EQ(label->text(), "N/A");
    EXPECT_FALSE(form->Timer7->isActive());
    read();
    EXPECT_FALSE(child<QGroupBox>("GroupBox8")->isHidden());

    // Refused, damaged (either reply, a mend) or pressed while a read runs: "NG!" at once.
    const std::pair<std::optional<FaultRule>, Requests> failures[] = {
        {FaultRule{LineFault::Exception, 5, 7936}, {{5, 7936, 1792}}},
        {FaultRule{LineFault::BadCrc, 5, 7936}, {{5, 7936, 1792}}},
        {FaultRule{LineFault::BadCrc, 5, 9}, {{5, 7936, 1792}, {5, 9, 34}}},
        {std::nullopt, {}},
    };
    for (const auto &[fault, sent] : failures) {
        form->PageContChange(); // every label back to "N/A"
        if (fault)
            line->injectFault(*fault);
        else
            form->BtnP1Click();
        line->clearLog();
        child<QPushButton>("Button10")->click();
        if (fault)
            runChain();
        // The read's own exchanges in one go come first; no mode goes out.
        Requests writes;
        for (const auto &request : requests())
            if (std::get<0>(request) == 5)
                writes.push_back(request);
        EXPECT_EQ(writes, sent);
        EXPECT_EQ(child<StatusLabel>("Label29")->text(), "NG!");
        EXPECT_FALSE(form->Timer7->isActive());
        runChain();
    }
    EXPECT_EQ(status()->text(), "Read Success"); // the read went on
}

// What goes wrong in a run is reported and never stores a point against
// another value.
TEST_F(ZeroSpan, RefusedValuesAndCodesStartNoPollAndKeepTheirButton)
{
    readModule(4);
    leave("Edit9", "100");
    line->injectFault({LineFault::Exception, 5, 10, 1, 2});
    line->clearLog();
    click("Btn_1");
    EXPECT_EQ(requests(), (Requests{{4, 7936, 4}, {5, 10, 100}, {5, 10, 100}}));
    EXPECT_EQ(status()->text(), "Write Fail");
    EXPECT_FALSE(dialog->isVisible()); // no question for a value not written
    EXPECT_EQ(enabledPointButtons(), Names{"Btn_1"});

    firstPoint();
    line->injectFault({LineFault::Exception, 5, 9, 1, 2});
    click("Btn_6");
    EXPECT_EQ(status()->text(), "Write Fail");
    EXPECT_EQ(enabledPointButtons(), Names{"Btn_6"});
    EXPECT_TRUE(form->Timer1->isActive()); // the point goes on
    EXPECT_TRUE(module->storedPoints().empty());
    click("Btn_6");
    EXPECT_EQ(module->storedPoints().size(), 1u);

    line->injectFault({LineFault::BadCrc, 5, 10, 1, 2});
    click("Btn_2");
    EXPECT_EQ(status()->text(), "Write Fail");
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_EQ(enabledPointButtons(), Names{"Btn_2"});
    EXPECT_TRUE(commandsEnabled(false));
    click("Btn_2");
    EXPECT_EQ(enabledPointButtons(), Names{"Btn_7"});
}

TEST_F(ZeroSpan, AFirstPointNotWrittenNeverReachesTheQuestion)
{
    readModule(4);
    for (const char *value : {"-1", "12.5"}) {
        leave("Edit9", value);
        messages.clear();
        line->clearLog();
        click("Btn_1");
        EXPECT_EQ(requests(), (Requests{{4, 7936, 4}})) << value;
        EXPECT_FALSE(dialog->isVisible()) << value;
        EXPECT_NE(text("Edi3"), value);
        dialog->Button1Click(); // an answer nobody asked for
        EXPECT_FALSE(form->Timer1->isActive());
    }
    // A red field leaves only its "Set Span"; a fraction gets a clear message.
    EXPECT_EQ(enabledPointButtons(), Names{"Btn_1"});
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("'12.5' is not a whole number"), std::string::npos);
}

TEST_F(ZeroSpan, ARunIsNotCutShortByActivationAndEndsWithScanStart)
{
    readModule(4);
    leave("Edit9", "100");
    click("Btn_1");
    line->clearLog();
    form->FormActivate(); // the operator clicks the window before answering
    EXPECT_TRUE(line->log().empty());
    form->StartClick();
    EXPECT_FALSE(dialog->isVisible()); // the question is withdrawn
    form->show();
    dialog->Button1Click();
    EXPECT_FALSE(form->Timer1->isActive());

    firstPoint();
    form->StartClick();
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_FALSE(form->SkipRefresh);
    EXPECT_FALSE(form->zeroSpan().running());
    EXPECT_EQ(enabledPointButtons(), FirstSets);
    EXPECT_TRUE(commandsEnabled(true));
}

TEST(ZeroSpanDialog, TextsAreFixed)
{
    TForm6 dialog;
    EXPECT_EQ(dialog.windowTitle(), "Warning !");
    EXPECT_EQ(dialog.findChild<QLabel *>("Label1")->text(),
              "Do you continue to set  Zero and Span? ");
    EXPECT_EQ(dialog.findChild<QPushButton *>("Button1")->text(), "Yes");
    EXPECT_EQ(dialog.findChild<QPushButton *>("Button2")->accessibleName(), "Button2");
}
