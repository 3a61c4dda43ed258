// Input calibration of the transmitter: the nine points, each with its class
// command on register 9 after its reference on register 10.
#include "transmitter_fixture.h"

#include "calibration_runner.h"

namespace {
struct PointCase
{
    const char *start;
    const char *done;
    int shownType;                                    // Item1 while the point runs
    Requests startWire;                               // what Start sends before the first tick
    std::vector<std::pair<const char *, int>> counts; // field, count shown (A0..A2)
    int code;
};

// Counts the module reports, A0..A2 (0x8001 and 0x8000 show the sign rule),
// and how they are shown.
const int Counts[] = {0x8001, 0x8000, 1200};
const char *const CountTexts[] = {"-32767", "32768", "1200"};

// The 0 mV point (Button2) has a poll of its own, Timer5, of A0 alone, whose
// first request goes out at Start.
const PointCase Points[] = {
    {"Btn11",
     "Btn13",
     10,
     {{5, 0, 10}, {5, 1, 0}, {5, 10, 0}, {6, 9, 37}},
     {{"rtd_lo_a0", 0}, {"rtd_lo_a1", 1}},
     2},
    {"Btn12", "Btn14", 10, {{5, 10, 500}, {5, 9, 37}}, {{"rtd_hi_a0", 0}, {"rtd_hi_a1", 1}}, 3},
    {"Button2", "Button3", 1, {{5, 0, 1}, {6, 1, 0}, {4, 4099, 1}}, {{"Edit5", 0}}, 1},
    {"Btn31", "Btn33", 1, {{5, 10, 0}, {5, 9, 36}}, {{"tc_lo_a0", 0}, {"tc_lo_a2", 2}}, 8},
    {"Btn32", "Btn34", 1, {{5, 10, 1000}, {5, 9, 36}}, {{"tc_hi_a0", 0}, {"tc_hi_a2", 2}}, 9},
    {"Btn21", "Btn23", 11, {{5, 0, 11}, {5, 1, 0}, {5, 10, 0}, {6, 9, 38}}, {{"v_lo_a0", 0}}, 14},
    {"Btn22", "Btn24", 11, {{5, 10, 10000}, {5, 9, 38}}, {{"v_hi_a0", 0}}, 15},
    {"Button9",
     "Button11",
     12,
     {{5, 0, 12}, {5, 1, 0}, {5, 10, 4000}, {6, 9, 39}},
     {{"mA_lo_a0", 0}},
     20},
    {"Button10", "Button12", 12, {{5, 10, 20000}, {5, 9, 39}}, {{"mA_hi_a0", 0}}, 21},
};

struct TransmitterCalibration : TransmitterFixture
{
    void SetUp() override
    {
        TransmitterFixture::SetUp();
        attach(9);
        configure({{0, 9}, {1, 1}}); // mV, deg F: every point shows its own type
        for (int i = 0; i < 3; ++i)
            module->setInput(4099 + i, Counts[i]);
        read();
        form->serviceModeChanged(true);
    }
};
} // namespace

TEST_F(TransmitterCalibration, EveryPointStartsPollsAndStoresAsItsRowSays)
{
    for (const PointCase &c : Points) {
        SCOPED_TRACE(c.start);
        group("Item1")->setItemIndex(9);
        group("Item3")->setItemIndex(1);
        line->clearLog();
        press(c.start);
        EXPECT_EQ(requests(), c.startWire);
        EXPECT_EQ(group("Item1")->itemIndex(), c.shownType);
        // A type shown on screen only leaves the unit as it was.
        const bool writesUnit = c.startWire[1] == std::make_tuple(5, 1, 0) ||
                                c.startWire[1] == std::make_tuple(6, 1, 0);
        EXPECT_EQ(group("Item3")->itemIndex(), writesUnit ? 0 : 1);
        const bool zeroMv = std::string(c.start) == "Button2";
        QTimer *timer = zeroMv ? form->Timer5 : form->Timer4;
        ASSERT_TRUE(timer->isActive());
        EXPECT_EQ(timer->interval(), 1000);

        // The count poll's first tick only asks; the 0 mV poll asked at Start.
        for (const auto &[field, count] : c.counts)
            setText(field, "");
        tick(timer);
        for (const auto &[field, count] : c.counts)
            EXPECT_EQ(text(field), zeroMv ? CountTexts[count] : "") << field;
        tick(timer);
        for (const auto &[field, count] : c.counts)
            EXPECT_EQ(text(field), CountTexts[count]) << field;
        EXPECT_EQ(requests().back(), std::make_tuple(4, 4099, zeroMv ? 1 : 3));

        // Only this point's Done can be pressed; the trim waits too.
        EXPECT_TRUE(enabled(c.done));
        for (const char *other : {"BtnP1", "Btn72", "Btn11", "Button3", "Btn24", "RadioButton3",
                                  "ScrollBar3", "Rad1"}) {
            if (std::string(other) != c.done) {
                EXPECT_FALSE(enabled(other)) << other;
            }
        }

        line->clearLog();
        press(c.done);
        EXPECT_EQ(requests(), (Requests{{5, 9, c.code}}));
        ASSERT_FALSE(module->storedPoints().empty());
        EXPECT_EQ(module->storedPoints().back().code, c.code);
        EXPECT_FALSE(timer->isActive());
        EXPECT_TRUE(enabled("BtnP1"));
        EXPECT_TRUE(enabled("RadioButton1"));
        EXPECT_TRUE(enabled(c.start));
        EXPECT_FALSE(enabled(c.done));
        EXPECT_EQ(status()->text(), "Read Success"); // Start and Done show no status
    }
    EXPECT_EQ(module->storedPoints().size(), std::size(Points));
}

TEST_F(TransmitterCalibration, ARefusedTypeReferenceOrClassCommandAbandonsThePoint)
{
    struct Case
    {
        const char *start;
        FaultRule fault;
        Requests wire;
    };
    const Case cases[] = {
        {"Btn11", {LineFault::BadCrc, 5, 0, 1, 2}, {{5, 0, 10}, {5, 0, 10}}},
        {"Button2", {LineFault::NoReply, 6, 1, 1, 2}, {{5, 0, 1}, {6, 1, 0}, {6, 1, 0}}},
        {"Btn32", {LineFault::NoReply, 5, 10, 1, 2}, {{5, 10, 1000}, {5, 10, 1000}}},
        {"Btn12", {LineFault::Exception, 5, 9, 1, 2}, {{5, 10, 500}, {5, 9, 37}, {5, 9, 37}}},
        {"Button9",
         {LineFault::BadCrc, 6, 9, 1, 2},
         {{5, 0, 12}, {5, 1, 0}, {5, 10, 4000}, {6, 9, 39}, {6, 9, 39}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.start);
        line->clearLog();
        line->injectFault(c.fault);
        press(c.start);
        EXPECT_EQ(requests(), c.wire);
        EXPECT_EQ(status()->text(), "Write Fail");
        EXPECT_FALSE(form->Timer4->isActive());
        EXPECT_FALSE(form->Timer5->isActive());
        EXPECT_TRUE(enabled("BtnP1"));
        EXPECT_TRUE(enabled(c.start));
        for (const char *done : {"Btn13", "Btn14", "Button3", "Btn34", "Button11"})
            EXPECT_FALSE(enabled(done)) << done;
    }
    // A Done without its point does nothing.
    line->clearLog();
    form->findChild<CalibrationRunner *>()->done(0);
    EXPECT_TRUE(line->log().empty());
}
