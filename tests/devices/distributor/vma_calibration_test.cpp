// Input calibration of the V/mA range distributor window: the zero step and
// the 16 range points of both channels.
#include "vma_fixture.h"

#include "calibration_runner.h"

#include <QProgressBar>

namespace {
struct PointCase
{
    const char *start, *done, *selector;
    int rangeRegister, range;
    const char *field, *count; // count A0 (CH-1) or A3 (CH-2), two's complement
    int code;
};
const PointCase Points[] = {
    {"Btn_21", "Btn_27", "Item_1", 0, 0, "Edit_21", "-32768", 2},
    {"Btn_22", "Btn_28", "Item_1", 0, 1, "Edit_22", "-32768", 3},
    {"Btn_23", "Btn_29", "Item_1", 0, 2, "Edit_23", "-32768", 4},
    {"Btn_24", "Btn_30", "Item_1", 0, 3, "Edit_24", "-32768", 5},
    {"Btn_25", "Btn_31", "Item_1", 0, 4, "Edit_25", "-32768", 6},
    {"Btn_26", "Btn_32", "Item_1", 0, 5, "Edit_26", "-32768", 7},
    {"Btn_61", "Btn_62", "Item_1", 0, 8, "Edit_61", "-32768", 8},
    {"Btn_63", "Btn_64", "Item_1", 0, 14, "Edit_63", "-32768", 9},
    {"Btn_41", "Btn_47", "Item_7", 23, 0, "Edit_41", "-2", 11},
    {"Btn_42", "Btn_48", "Item_7", 23, 1, "Edit_42", "-2", 12},
    {"Btn_43", "Btn_49", "Item_7", 23, 2, "Edit_43", "-2", 13},
    {"Btn_44", "Btn_50", "Item_7", 23, 3, "Edit_44", "-2", 14},
    {"Btn_45", "Btn_51", "Item_7", 23, 4, "Edit_45", "-2", 15},
    {"Btn_46", "Btn_52", "Item_7", 23, 5, "Edit_46", "-2", 16},
    {"Btn_71", "Btn_72", "Item_7", 23, 8, "Edit_71", "-2", 17},
    {"Btn_73", "Btn_74", "Item_7", 23, 14, "Edit_73", "-2", 18},
};

// Command and trim controls of both pages, sampled.
const char *const Commands[] = {"BtnP1",  "BtnP2",   "Btn11", "Btn22", "Btn_11",     "Btn_33",
                                "Btn_21", "Button3", "RBtn1", "RBtn6", "ScrollBar2", "UpDown1"};

struct VmaCalibration : VmaFixture
{
    void SetUp() override
    {
        VmaFixture::SetUp();
        attach(3);
        module->setInput(4099, 0x8000); // A0
        module->setInput(4102, 0xFFFE); // A3
        read();
        form->serviceModeChanged(true);
    }
    // During a point the controls that adjust the outputs stay usable.
    void expectCommands(bool on, const std::string &when, bool point = false)
    {
        for (const std::string name : Commands)
            EXPECT_EQ(enabled(name.c_str()),
                      on ||
                          (point && (name == "RBtn6" || name == "ScrollBar2" || name == "UpDown1")))
                << when << ' ' << name;
    }
};
} // namespace

TEST_F(VmaCalibration, ZeroStepSendsOnlyItsCodeAndHoldsTheControlsForFiveSeconds)
{
    // CH-1's code is refused once and goes out again, without a drain.
    line->injectFault({LineFault::BadCrc, 5, 21});
    for (const auto &[button, code, bar, wire] :
         {std::tuple{"Btn_11", 1, "ProgressBar1", Requests{{5, 21, 1}, {5, 21, 1}}},
          {"Btn_33", 10, "ProgressBar2", Requests{{5, 21, 10}}}}) {
        line->clearLog();
        const std::int64_t start = line->clockMs();
        press(button);
        ASSERT_TRUE(form->zeroStepRunning()) << button;
        EXPECT_EQ(form->Timer5->interval(), 50);
        for (int part = 1; part <= 3; ++part) {
            tick(form->Timer5, 33);
            expectCommands(false, button + std::to_string(33 * part));
        }
        EXPECT_EQ(child<QProgressBar>(bar)->value(), 990);
        tick(form->Timer5);
        EXPECT_EQ(child<QProgressBar>(bar)->value(), 1000);
        EXPECT_FALSE(form->Timer5->isActive());
        expectCommands(true, button);
        EXPECT_GE(line->clockMs() - start, 5000);
        EXPECT_EQ(requests(), wire) << button;
        EXPECT_EQ(status()->text(), "Read Success"); // no status of its own
    }

    // Refused twice, the module is not zeroing: reported, no progress.
    line->injectFault({LineFault::NoReply, 5, 21, 1, 2});
    press("Btn_33");
    EXPECT_EQ(status()->text(), "Write Fail");
    EXPECT_FALSE(form->Timer5->isActive());
    expectCommands(true, "refused");
}

TEST_F(VmaCalibration, NothingGivesTheControlsBackDuringAZeroStep)
{
    // Scan > Start and re-activation stop every timer but the zero step's;
    // the activation's read ends with the controls still off.
    press("Btn_11");
    tick(form->Timer5, 10);
    form->stopWork();
    form->FormActivate();
    runChain();
    EXPECT_EQ(status()->text(), "Read Success");
    expectCommands(false, "after the read");
    tick(form->Timer5, 90);
    expectCommands(true, "at its end");

    // Ending while an activation's read runs, it leaves the controls to that
    // read; no other command starts meanwhile.
    press("Btn_33");
    tick(form->Timer5, 99);
    form->BtnP1Click();
    EXPECT_FALSE(form->busy());
    form->FormActivate();
    ASSERT_TRUE(form->busy());
    tick(form->Timer5);
    EXPECT_FALSE(form->zeroStepRunning());
    expectCommands(false, "read still running");
    runChain();
    expectCommands(true, "read ended");
}

TEST_F(VmaCalibration, EveryPointSelectsItsRangePollsAndStoresAsItsRowSays)
{
    for (const PointCase &c : Points) {
        line->clearLog();
        setText(c.field, "");
        press(c.start);
        EXPECT_EQ(requests(), (Requests{{6, c.rangeRegister, c.range}})) << c.start;
        EXPECT_EQ(group(c.selector)->itemIndex(), c.range) << c.start;
        EXPECT_EQ(form->Timer4->interval(), 500);
        tick(form->Timer4); // finds no reply yet
        EXPECT_EQ(text(c.field), "") << c.start;
        tick(form->Timer4);
        EXPECT_EQ(text(c.field), c.count) << c.start;
        EXPECT_EQ(requests().back(), std::make_tuple(4, 4099, 4)) << c.start;
        expectCommands(false, c.start, true);
        for (const PointCase &other : Points) {
            EXPECT_EQ(enabled(other.done), &other == &c) << c.start << ' ' << other.done;
        }

        line->clearLog();
        press(c.done);
        EXPECT_EQ(requests(), (Requests{{5, 21, c.code}})) << c.done;
        EXPECT_EQ(module->storedPoints().back().code, c.code);
        EXPECT_FALSE(form->Timer4->isActive());
        expectCommands(true, c.done);
        EXPECT_FALSE(enabled(c.done));
        EXPECT_EQ(status()->text(), "Read Success"); // Start and Done show no status
    }
    EXPECT_EQ(text("Lab2"), "+2.19"); // the range display ran for each selection
}

TEST_F(VmaCalibration, RefusedRangeOrStoreIsReportedAndAPointEndsWithItsPage)
{
    line->clearLog();
    line->injectFault({LineFault::Exception, 6, 23, 1, 2});
    press("Btn_71");
    EXPECT_EQ(requests(), (Requests{{6, 23, 8}, {6, 23, 8}}));
    EXPECT_EQ(status()->text(), "Write Fail");
    EXPECT_FALSE(form->Timer4->isActive());
    expectCommands(true, "abandoned");
    EXPECT_FALSE(enabled("Btn_72"));

    press("Btn_63");
    line->injectFault({LineFault::NoReply, 5, 21, 1, 2});
    line->clearLog();
    press("Btn_64");
    EXPECT_EQ(requests(), (Requests{{5, 21, 9}, {5, 21, 9}}));
    EXPECT_EQ(status()->text(), "Write Fail");
    EXPECT_TRUE(enabled("Btn_63"));

    // A Done without its point, or after the page has gone, sends nothing.
    press("Btn_42");
    form->serviceModeChanged(false);
    EXPECT_FALSE(form->Timer4->isActive());
    EXPECT_FALSE(enabled("Btn_48"));
    EXPECT_TRUE(enabled("BtnP1"));
    line->clearLog();
    form->findChild<CalibrationRunner *>()->done(9);
    line->wait(2000);
    EXPECT_TRUE(line->log().empty());
}
