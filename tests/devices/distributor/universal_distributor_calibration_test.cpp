// Input calibration of the universal distributor: the 18 points of both
// channels on the "Calbration" page.
#include "distributor_fixture.h"

#include "calibration_runner.h"

#include <QPushButton>

namespace {
struct PointCase
{
    const char *start;
    const char *done;
    Requests startWire; // what Start sends before the count poll
    // The type Start shows, and on which selector (nullptr: none).
    const char *selector;
    int type;
    std::vector<std::pair<const char *, const char *>> shown; // field, count text
    int code;
    int doneFunction;
};

// Counts the module reports, A0..A4: two's complement, so 0x8000 is -32768.
const int Counts[] = {0x8001, 0x8000, 1200, 2300, 3400};

const std::vector<PointCase> &points()
{
    // clang-format off
    static const std::vector<PointCase> cases = {
        // CH-1
        {"Btn11", "Btn13", {{5, 0, 10}, {5, 1, 0}, {6, 22, 0}}, "Item1", 10,
         {{"rtd_lo_a0", "-32767"}, {"rtd_lo_a1", "-32768"}}, 2, 5},
        {"Btn12", "Btn14", {{5, 22, 500}}, nullptr, 0,
         {{"rtd_hi_a0", "-32767"}, {"rtd_hi_a1", "-32768"}}, 3, 5},
        {"Btn21", "Btn22", {{5, 0, 1}, {6, 1, 0}}, "Item1", 1, {{"ZeroCnt1", "-32767"}}, 1, 5},
        {"Btn31", "Btn33", {{5, 22, 0}}, nullptr, 0,
         {{"tc_lo_a0", "-32767"}, {"tc_lo_a2", "1200"}}, 8, 5},
        {"Btn32", "Btn34", {{5, 22, 1000}}, nullptr, 0,
         {{"tc_hi_a0", "-32767"}, {"tc_hi_a2", "1200"}}, 9, 5},
        {"Btn91", "Btn93", {{5, 0, 11}, {6, 22, 0}}, "Item1", 11, {{"V_Lo1", "-32767"}}, 14, 5},
        {"Btn92", "Btn94", {{5, 22, 10000}}, nullptr, 0, {{"V_Hi1", "-32767"}}, 15, 5},
        {"Btna1", "Btna3", {{5, 0, 12}, {6, 22, 4000}}, "Item1", 12, {{"I_Lo1", "-32767"}}, 20, 5},
        {"Btna2", "Btna4", {{5, 22, 20000}}, nullptr, 0, {{"I_Hi1", "-32767"}}, 21, 6},
        // CH-2
        {"Btn41", "Btn43", {{5, 23, 10}, {5, 24, 0}, {6, 22, 0}}, "RadioGroup1", 10,
         {{"rtd_lo_a3", "2300"}, {"rtd_lo_a4", "3400"}}, 5, 5},
        {"Btn42", "Btn44", {{5, 22, 500}}, nullptr, 0,
         {{"rtd_hi_a3", "2300"}, {"rtd_hi_a4", "3400"}}, 6, 5},
        {"Btn51", "Btn52", {{5, 23, 1}, {6, 24, 0}}, "RadioGroup1", 1,
         {{"ZeroCnt2", "2300"}}, 26, 5},
        {"Btn61", "Btn63", {{5, 22, 0}}, nullptr, 0, {{"tc_lo_a3", "2300"}}, 11, 5},
        {"Btn62", "Btn64", {{5, 22, 1000}}, nullptr, 0, {{"tc_hi_a3", "2300"}}, 12, 5},
        {"Btnb1", "Btnb3", {{5, 23, 11}, {6, 22, 0}}, "RadioGroup1", 11,
         {{"V_Lo2", "2300"}}, 17, 5},
        {"Btnb2", "Btnb4", {{5, 22, 10000}}, nullptr, 0, {{"V_Hi2", "2300"}}, 18, 5},
        {"Btnc1", "Btnc3", {{5, 23, 12}, {6, 22, 4000}}, "RadioGroup1", 12,
         {{"I_Lo2", "2300"}}, 23, 5},
        {"Btnc2", "Btnc4", {{5, 22, 20000}}, nullptr, 0, {{"I_Hi2", "2300"}}, 24, 6},
    };
    // clang-format on
    return cases;
}

// Every command control of the window and the trim point selectors; the
// controls that adjust the outputs stay usable during a point.
const char *const OtherControls[] = {"BtnP1", "BtnP2", "Btn71", "Btn72", "Btn81", "Btn82", "RBtn1"};
const char *const Adjusting[] = {"RBtn3", "RBtn6", "ScrollBar1", "UpDown3"};

struct UniversalCalibration : DistributorFixture
{
    void SetUp() override
    {
        DistributorFixture::SetUp();
        attach(3);
        for (int i = 0; i < 5; ++i)
            module->setInput(4099 + i, Counts[i]);
        read();
        form->serviceModeChanged(true);
    }
};
} // namespace

TEST_F(UniversalCalibration, EveryPointStartsPollsAndStoresAsItsRowSays)
{
    for (const PointCase &c : points()) {
        line->clearLog();
        press(c.start);
        EXPECT_EQ(requests(), c.startWire) << c.start;
        if (c.selector) {
            EXPECT_EQ(group(c.selector)->itemIndex(), c.type) << c.start;
        }
        ASSERT_TRUE(form->Timer4->isActive()) << c.start;
        EXPECT_EQ(form->Timer4->interval(), 400);

        // The first tick receives no counts and sends the first request.
        for (const auto &[field, shown] : c.shown)
            setText(field, "");
        tick(form->Timer4);
        for (const auto &[field, shown] : c.shown)
            EXPECT_EQ(text(field), "") << c.start;
        tick(form->Timer4, 2);
        for (const auto &[field, shown] : c.shown)
            EXPECT_EQ(text(field), shown) << c.start << ' ' << field;
        EXPECT_EQ(requests().back(), std::make_tuple(4, 4099, 5)) << c.start;

        // Only this point's Done can be pressed.
        for (const PointCase &other : points()) {
            EXPECT_FALSE(enabled(other.start)) << c.start << ' ' << other.start;
            EXPECT_EQ(enabled(other.done), other.done == c.done) << c.start << ' ' << other.done;
        }
        for (const char *other : OtherControls)
            EXPECT_FALSE(enabled(other)) << c.start << ' ' << other;
        for (const char *trim : Adjusting)
            EXPECT_TRUE(enabled(trim)) << c.start << ' ' << trim;

        line->clearLog();
        press(c.done);
        EXPECT_EQ(requests(), (Requests{{c.doneFunction, 21, c.code}})) << c.done;
        ASSERT_FALSE(module->storedPoints().empty());
        EXPECT_EQ(module->storedPoints().back().code, c.code);
        // Everything is back, and the poll has stopped.
        EXPECT_FALSE(form->Timer4->isActive());
        for (const PointCase &other : points()) {
            EXPECT_TRUE(enabled(other.start)) << c.done << ' ' << other.start;
            EXPECT_FALSE(enabled(other.done)) << c.done << ' ' << other.done;
        }
        for (const char *other : OtherControls)
            EXPECT_TRUE(enabled(other)) << c.done << ' ' << other;
        line->clearLog();
        line->wait(2000);
        EXPECT_TRUE(line->log().empty()) << c.done;
        EXPECT_EQ(status()->text(), "Read Success"); // Start and Done show no status
    }
    EXPECT_EQ(module->storedPoints().size(), points().size());
}

TEST_F(UniversalCalibration, ARefusedTypeUnitOrReferenceAbandonsThePoint)
{
    struct Case
    {
        const char *start;
        const char *done;
        FaultRule fault;
        Requests wire;
    };
    const Case cases[] = {
        {"Btn11", "Btn13", {LineFault::BadCrc, 5, 0, 1, 2}, {{5, 0, 10}, {5, 0, 10}}},
        {"Btn51", "Btn52", {LineFault::NoReply, 6, 24, 1, 2}, {{5, 23, 1}, {6, 24, 0}, {6, 24, 0}}},
        {"Btnb1", "Btnb3", {LineFault::BadCrc, 6, 22, 1, 2}, {{5, 23, 11}, {6, 22, 0}, {6, 22, 0}}},
        {"Btn32", "Btn34", {LineFault::NoReply, 5, 22, 1, 2}, {{5, 22, 1000}, {5, 22, 1000}}},
    };
    for (const Case &c : cases) {
        line->clearLog();
        line->injectFault(c.fault);
        press(c.start);
        EXPECT_EQ(requests(), c.wire) << c.start;
        EXPECT_EQ(status()->text(), "Write Fail") << c.start;
        EXPECT_FALSE(form->Timer4->isActive()) << c.start;
        EXPECT_TRUE(enabled("BtnP1")) << c.start;
        EXPECT_TRUE(enabled(c.start)) << c.start;
        EXPECT_FALSE(enabled(c.done)) << c.start;
    }
    // A Done without its point sends nothing.
    line->clearLog();
    form->findChild<CalibrationRunner *>()->done(0);
    EXPECT_TRUE(line->log().empty());
    EXPECT_TRUE(module->storedPoints().empty());
}

TEST_F(UniversalCalibration, AStartShowsTheAdvisoryAndGoesOn)
{
    struct Case
    {
        const char *start;
        std::pair<int, int> types; // CH-1, CH-2 before the Start
        const char *advice;
    };
    const Case cases[] = {
        {"Btn51", {10, 12}, " CH-1 Signal Type Can Not Choose PT-100！"},
        {"Btn11", {1, 3}, " CH-2 Signal Type Can Not Choose TC！"},
    };
    for (const Case &c : cases) {
        group("Item1")->setItemIndex(c.types.first);
        group("RadioGroup1")->setItemIndex(c.types.second);
        messages.clear();
        press(c.start);
        EXPECT_EQ(messages, std::vector<std::string>{c.advice}) << c.start;
        EXPECT_TRUE(form->Timer4->isActive()) << c.start;
        EXPECT_EQ(group("Item1")->itemIndex(), 10) << c.start;
        form->serviceModeChanged(false);
        form->serviceModeChanged(true);
    }
}
