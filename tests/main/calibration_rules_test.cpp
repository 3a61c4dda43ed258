// What the input calibration of the converter, transmitter and universal
// distributor windows does alike (one calibration runner): a store refused
// once is sent once more with function 5, a store lost twice is reported
// and never looks done, and leaving service mode or activating the window
// again ends a point unstored. Each window's points, their writes and
// their counts are tested in its own folder.
#include "window_rig.h"

#include "fault_plan.h"

namespace {
struct CalibrationStore
{
    const char *start, *done;
    int function, reg, code;
};

struct CalibrationRow
{
    const char *window;
    std::vector<CalibrationStore> stores; // refused once each
    CalibrationStore lost;                // lost twice
    const char *start, *done, *poll;      // a point ended before its Done
};

// clang-format off
const CalibrationRow CalibrationRows[] = {
    {"TForm1", {{"Button10", "Button12", 6, 21, 21}}, {"Btn11", "Btn13", 5, 21, 2},
     "Btn22", "Btn24", "Timer2"},
    {"TForm2", {{"Btn31", "Btn33", 5, 9, 8}}, {"Btn11", "Btn13", 5, 9, 0},
     "Button2", "Button3", "Timer5"},
    {"TForm5", {{"Btna2", "Btna4", 6, 21, 21}, {"Btnc2", "Btnc4", 6, 21, 24},
                {"Btn11", "Btn13", 5, 21, 2}}, {"Btn62", "Btn64", 5, 21, 0},
     "Btnc1", "Btnc3", "Timer4"},
};
// clang-format on

void PrintTo(const CalibrationRow &row, std::ostream *out)
{
    *out << row.window;
}
} // namespace

class CalibrationRunnerRules : public ::testing::TestWithParam<CalibrationRow>
{
protected:
    void SetUp() override
    {
        rig = makeRig(row.window, familyWindow(row.window).module);
        rig->press("BtnP1");
        rig->window().serviceModeChanged(true);
    }
    QString status() const { return rig->window().statusLabel()->text(); }
    bool enabled(const char *name) { return rig->find<QWidget>(name)->isEnabled(); }

    const CalibrationRow &row = GetParam();
    std::unique_ptr<Rig> rig;
};

TEST_P(CalibrationRunnerRules, AStoreRefusedOnceIsSentOnceMoreWithFunctionFive)
{
    for (const CalibrationStore &store : row.stores) {
        SCOPED_TRACE(store.done);
        rig->press(store.start);
        rig->line().clearLog();
        rig->line().injectFault({LineFault::BadCrc, store.function, store.reg});
        rig->press(store.done);
        EXPECT_EQ(rig->requests(),
                  (Requests{{store.function, store.reg, store.code}, {5, store.reg, store.code}}));
        EXPECT_EQ(status(), "Read Success"); // Start and Done show no status
    }
}

TEST_P(CalibrationRunnerRules, AStoreLostTwiceIsReportedAndNeverLooksDone)
{
    rig->press(row.lost.start);
    rig->line().injectFault({LineFault::NoReply, row.lost.function, row.lost.reg, 1, 2});
    rig->press(row.lost.done);
    EXPECT_EQ(status(), "Write Fail");
    EXPECT_TRUE(enabled(row.lost.start));
    EXPECT_FALSE(enabled(row.lost.done));
}

TEST_P(CalibrationRunnerRules, LeavingServiceModeOrActivatingEndsAPointUnstored)
{
    const std::function<void()> enders[] = {
        [&] { rig->window().serviceModeChanged(false); },
        [&] {
            rig->handled([&] { rig->window().FormActivate(); });
            rig->settle();
        },
    };
    for (const auto &end : enders) {
        rig->window().serviceModeChanged(true);
        rig->press(row.start);
        rig->fire(rig->timer(row.poll));
        end();
        EXPECT_FALSE(rig->timer(row.poll)->isActive());
        EXPECT_FALSE(enabled(row.done));
        EXPECT_TRUE(enabled("BtnP1"));
        rig->line().clearLog();
        rig->line().wait(3000);
        EXPECT_TRUE(rig->line().log().empty());
    }
    EXPECT_TRUE(rig->module().storedPoints().empty());
}

INSTANTIATE_TEST_SUITE_P(Families, CalibrationRunnerRules, ::testing::ValuesIn(CalibrationRows),
                         [](const auto &info) { return std::string(info.param.window); });
