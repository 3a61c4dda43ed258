// Input calibration of the converter: the 18 points of both channels.
#include "converter_fixture.h"

#include "calibration_runner.h"

#include <QPushButton>

namespace {
struct PointCase
{
    const char *start;
    const char *done;
    Requests startWire; // what Start sends before the count poll
    int pollCount;      // registers of the count poll from 4099
    QTimer *TForm1::*timer;
    std::vector<std::pair<const char *, const char *>> shown; // field, count text
    int code;
    int doneFunction;
};

// Counts the module reports: A0 0x8001 and A1 0x8000 show the sign rule.
const int Counts[] = {0x8001, 0x8000, 1200, 2300, 3400};

const std::vector<PointCase> &points()
{
    static const std::vector<PointCase> cases = {
        {"Btn11",
         "Btn13",
         {{5, 0, 10}, {5, 1, 0}, {6, 22, 0}},
         5,
         &TForm1::Timer2,
         {{"rtd_lo_a0", "-32767"}, {"rtd_lo_a1", "32768"}},
         2,
         5},
        {"Btn12",
         "Btn14",
         {{5, 22, 500}},
         5,
         &TForm1::Timer2,
         {{"rtd_hi_a0", "-32767"}, {"rtd_hi_a1", "32768"}},
         3,
         5},
        {"Button4",
         "Button6",
         {{5, 0, 10}, {5, 1, 0}, {6, 22, 0}},
         5,
         &TForm1::Timer2,
         {{"Edit18", "2300"}, {"Edit19", "3400"}},
         5,
         5},
        {"Button5",
         "Button7",
         {{5, 22, 500}},
         5,
         &TForm1::Timer2,
         {{"Edit20", "2300"}, {"Edit21", "3400"}},
         6,
         5},
        {"Button2",
         "Button3",
         {{5, 0, 1}, {6, 1, 0}},
         4,
         &TForm1::Timer5,
         {{"Edit5", "-32767"}},
         1,
         5},
        {"Button20",
         "Button21",
         {{5, 0, 1}, {6, 1, 0}},
         4,
         &TForm1::Timer5,
         {{"Edit23", "2300"}},
         26,
         5},
        {"Btn31",
         "Btn33",
         {{5, 22, 0}},
         5,
         &TForm1::Timer2,
         {{"tc_lo_a0", "-32767"}, {"tc_lo_a2", "1200"}},
         8,
         5},
        {"Btn32",
         "Btn34",
         {{5, 22, 1000}},
         5,
         &TForm1::Timer2,
         {{"tc_hi_a0", "-32767"}, {"tc_hi_a2", "1200"}},
         9,
         5},
        {"Button22", "Button24", {{5, 22, 0}}, 5, &TForm1::Timer2, {{"tc_lo_a3", "2300"}}, 11, 5},
        {"Button23",
         "Button25",
         {{5, 22, 1000}},
         5,
         &TForm1::Timer2,
         {{"tc_hi_a3", "2300"}},
         12,
         5},
        {"Btn21",
         "Btn23",
         {{5, 0, 11}, {5, 1, 0}, {6, 22, 0}},
         5,
         &TForm1::Timer2,
         {{"v_lo_a0", "-32767"}},
         14,
         5},
        {"Btn22", "Btn24", {{5, 22, 10000}}, 5, &TForm1::Timer2, {{"v_hi_a0", "-32767"}}, 15, 5},
        {"Button8",
         "Button14",
         {{5, 0, 11}, {5, 1, 0}, {6, 22, 0}},
         5,
         &TForm1::Timer2,
         {{"v_lo_a3", "2300"}},
         17,
         5},
        {"Button13",
         "Button15",
         {{5, 22, 10000}},
         5,
         &TForm1::Timer2,
         {{"v_hi_a3", "2300"}},
         18,
         5},
        {"Button9",
         "Button11",
         {{5, 0, 12}, {5, 1, 0}, {6, 22, 4000}},
         5,
         &TForm1::Timer2,
         {{"mA_lo_a0", "-32767"}},
         20,
         5},
        {"Button10",
         "Button12",
         {{5, 22, 20000}},
         5,
         &TForm1::Timer2,
         {{"mA_hi_a0", "-32767"}},
         21,
         6},
        {"Button16",
         "Button18",
         {{5, 0, 12}, {5, 1, 0}, {6, 22, 4000}},
         5,
         &TForm1::Timer2,
         {{"mA_lo_a3", "2300"}},
         23,
         5},
        {"Button17",
         "Button19",
         {{5, 22, 20000}},
         5,
         &TForm1::Timer2,
         {{"mA_hi_a3", "2300"}},
         24,
         6},
    };
    return cases;
}

struct ConverterCalibration : ConverterFixture
{
    void SetUp() override
    {
        ConverterFixture::SetUp();
        attach(9);
        for (int i = 0; i < 5; ++i)
            module->setInput(4099 + i, Counts[i]);
        read();
        form->serviceModeChanged(true);
    }
};
} // namespace

TEST_F(ConverterCalibration, EveryPointStartsPollsAndStoresAsItsRowSays)
{
    for (const PointCase &c : points()) {
        line->clearLog();
        press(c.start);
        EXPECT_EQ(requests(), c.startWire) << c.start;
        QTimer *timer = form.get()->*c.timer;
        ASSERT_TRUE(timer->isActive()) << c.start;
        // The first tick finds no reply and shows nothing.
        for (const auto &[field, shown] : c.shown)
            setText(field, "");
        tick(timer);
        for (const auto &[field, shown] : c.shown)
            EXPECT_EQ(text(field), "") << c.start;
        tick(timer);
        for (const auto &[field, shown] : c.shown)
            EXPECT_EQ(text(field), shown) << c.start << ' ' << field;
        EXPECT_EQ(requests().back(), std::make_tuple(4, 4099, c.pollCount)) << c.start;

        // Only this point's Done can be pressed.
        EXPECT_TRUE(enabled(c.done)) << c.start;
        for (const char *other : {"BtnP1", "BtnP2", "Btn72", "Btn11", "Button3", "Btn24"}) {
            if (std::string(other) != c.done) {
                EXPECT_FALSE(enabled(other)) << c.start << ' ' << other;
            }
        }

        line->clearLog();
        press(c.done);
        EXPECT_EQ(requests(), (Requests{{c.doneFunction, 21, c.code}})) << c.done;
        ASSERT_FALSE(module->storedPoints().empty());
        EXPECT_EQ(module->storedPoints().back().code, c.code);
        EXPECT_FALSE(timer->isActive());
        EXPECT_TRUE(enabled("BtnP1"));
        EXPECT_TRUE(enabled(c.start));
        EXPECT_FALSE(enabled(c.done));
        EXPECT_EQ(status()->text(), "Read Success"); // Start and Done show no status
    }
    EXPECT_EQ(module->storedPoints().size(), points().size());
}

TEST_F(ConverterCalibration, ARefusedTypeOrReferenceAbandonsThePoint)
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
        {"Btn11",
         {LineFault::Exception, 6, 22, 1, 2},
         {{5, 0, 10}, {5, 1, 0}, {6, 22, 0}, {6, 22, 0}}},
        {"Btn32", {LineFault::NoReply, 5, 22, 1, 2}, {{5, 22, 1000}, {5, 22, 1000}}},
    };
    for (const Case &c : cases) {
        line->clearLog();
        line->injectFault(c.fault);
        press(c.start);
        EXPECT_EQ(requests(), c.wire) << c.start;
        EXPECT_EQ(status()->text(), "Write Fail") << c.start;
        EXPECT_FALSE(form->Timer2->isActive());
        EXPECT_FALSE(form->Timer5->isActive());
        EXPECT_TRUE(enabled("BtnP1"));
        EXPECT_TRUE(enabled(c.start));
        for (const char *done : {"Btn13", "Button3", "Btn34"})
            EXPECT_FALSE(enabled(done));
    }
    // A Done without its point does nothing.
    line->clearLog();
    form->findChild<CalibrationRunner *>()->done(1);
    EXPECT_TRUE(line->log().empty());
}
