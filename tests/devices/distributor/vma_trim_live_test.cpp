// Output trim and live values of the V/mA range distributor window.
#include "vma_fixture.h"

#include "scroll_bar.h"
#include "trim_step.h"
#include "up_down.h"

#include <QRadioButton>

namespace {
// Selecting a point sends its shown count, then its code; its up-down drains
// the line before writing on CH-1 only.
struct TrimCase
{
    const char *selector, *count, *bar, *upDown;
    int reg, code;
    bool drainsOnStep;
};
const TrimCase TrimPoints[] = {
    {"RBtn1", "Edit6", "ScrollBar1", "UpDown9", 10, 27, true},
    {"RBtn2", "Edit7", "ScrollBar2", "UpDown10", 11, 28, true},
    {"RBtn4", "Edit13", "ScrollBar3", "UpDown1", 12, 29, false},
    {"RBtn5", "Edit14", "ScrollBar4", "UpDown2", 13, 30, false},
};

struct VmaTrimLive : VmaFixture
{
    void SetUp() override
    {
        VmaFixture::SetUp();
        attach(3);
        configure({{0, 0}, {23, 12}, {10, 5000}, {11, 27000}, {12, 0}, {13, 32767}});
        read();
    }
    void click(const char *name)
    {
        child<QRadioButton>(name)->click();
        runChain();
    }
};
} // namespace

TEST_F(VmaTrimLive, TrimWritesOnlyUnderItsPointAndDragsSendNothing)
{
    EXPECT_EQ(text("Edit13"), "0"); // a count equal to the bar's position shows too
    for (const TrimCase &c : TrimPoints) {
        auto *bar = child<ScrollBar>(c.bar);
        auto *upDown = child<UpDown>(c.upDown);
        line->clearLog();
        bar->setValue(100); // under "Normal": shown, nothing sent
        emit bar->endScroll();
        emit upDown->changingEx(UpDown::Up);
        runChain();
        EXPECT_TRUE(line->log().empty()) << c.bar;
        click(c.selector);
        EXPECT_EQ(requests(), (Requests{{5, c.reg, 101}, {5, 21, c.code}})) << c.selector;

        // A drag holds the line no time (no drain per notification); the
        // release writes once.
        line->clearLog();
        const std::int64_t start = line->clockMs();
        for (int position = 200; position <= 5000; position += 100)
            bar->setValue(position);
        EXPECT_EQ(line->clockMs(), start) << c.bar;
        emit bar->endScroll();
        runChain();
        EXPECT_EQ(requests(), (Requests{{5, c.reg, 5000}})) << c.bar;

        // Steps within 0..32767, each written; no direction repeats the last one.
        const struct
        {
            int from;
            UpDown::Direction direction;
            int to;
        } steps[] = {{32767, UpDown::Up, 32767}, {0, UpDown::Down, 0}, {7, UpDown::None, 6}};
        for (const auto &step : steps) {
            bar->setValue(step.from);
            line->clearLog();
            const std::int64_t before = line->clockMs();
            emit upDown->changingEx(step.direction);
            runChain();
            EXPECT_EQ(requests(), (Requests{{5, c.reg, step.to}})) << c.upDown << step.from;
            // An exchange ends on a 100 ms time-out; a drain adds another.
            EXPECT_EQ(line->clockMs() - before >= 200, c.drainsOnStep) << c.upDown;
        }
        EXPECT_EQ(text(c.count), "6");

        // An empty count field: nothing stepped, nothing sent.
        setText(c.count, "");
        StepValue = 1234;
        line->clearLog();
        click(c.selector);
        emit upDown->changingEx(UpDown::Up);
        runChain();
        EXPECT_TRUE(line->log().empty()) << c.selector;
        EXPECT_EQ(StepValue, 1234);
    }
}

TEST_F(VmaTrimLive, LiveValuesFollowEachRangeWithOpen)
{
    line->clearLog();
    child<QPushButton>("Btn21")->click();
    runChain();
    EXPECT_EQ(requests(), (Requests{{5, 21, 40}, {4, 4096, 3}}));
    EXPECT_EQ(form->Timer3->interval(), 500);
    EXPECT_TRUE(enabled("Btn12") && enabled("Btn22"));
    EXPECT_FALSE(enabled("BtnP1") || enabled("Btn11") || enabled("Btn_21"));

    // CH-1 on range 0 (tenths), CH-2 on range 12 (hundredths), F in tenths.
    const struct
    {
        int pv1, pv2, f;
        const char *shown1, *shown2, *shownF;
    } ticks[] = {{4800, 32767, -12, "480.0", "OPEN", "-1.2"},
                 {0x8000, 0xFFFF, 32767, "-3276.8", "-0.01", "OPEN"}};
    for (const auto &t : ticks) {
        for (const auto &[reg, value] : {std::pair{4096, t.pv1}, {4097, t.pv2}, {4098, t.f}})
            module->setInput(reg, value);
        tick(form->Timer3, 2); // the reply to the request the first tick sends
        EXPECT_EQ(status()->text(), "Read Success");
        for (const auto &[field, shown] : {std::pair{"PV1_Edit", t.shown1},
                                           {"PV1_Edit2", t.shown1},
                                           {"PV2_Edit", t.shown2},
                                           {"PV2_Edit2", t.shown2},
                                           {"PVS_Edit", t.shownF}})
            EXPECT_EQ(text(field), shown) << field;
    }
    EXPECT_LE(longestStallMs, 250);

    child<QPushButton>("Btn12")->click();
    EXPECT_FALSE(form->Timer3->isActive());
    EXPECT_TRUE(enabled("BtnP1"));
    const std::size_t sent = line->log().size();
    line->wait(2000);
    EXPECT_EQ(line->log().size(), sent);
}
