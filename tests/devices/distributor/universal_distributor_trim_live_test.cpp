// Output trim and live values of the universal distributor window.
#include "distributor_fixture.h"

#include "scroll_bar.h"
#include "up_down.h"

#include <QRadioButton>

using UniversalTrim = DistributorFixture;
using UniversalLive = DistributorFixture;

namespace {
// Trim points: selector, count field, scroll bar, up-down, register and code.
struct TrimCase
{
    const char *selector;
    const char *count;
    const char *bar;
    const char *upDown;
    int reg;
    int code;
};
const TrimCase TrimPoints[] = {
    {"RBtn1", "Edit6", "ScrollBar1", "UpDown9", 10, 27},
    {"RBtn2", "Edit7", "ScrollBar2", "UpDown10", 11, 28},
    {"RBtn4", "Edit13", "ScrollBar3", "UpDown3", 12, 29},
    {"RBtn5", "Edit14", "ScrollBar4", "UpDown4", 13, 30},
};
} // namespace

TEST_F(UniversalTrim, EachPointSendsItsCountThenItsCode)
{
    attach(3);
    configure({{10, 0}, {11, 27000}, {12, 5100}, {13, 27100}});
    read();
    // A count equal to the bar's position is shown too.
    EXPECT_EQ(text("Edit6"), "0");
    for (const TrimCase &c : TrimPoints) {
        EXPECT_EQ(text(c.count), QString::number(module->holding(c.reg))) << c.count;
        line->clearLog();
        child<QRadioButton>(c.selector)->click();
        runChain();
        const int count = text(c.count).toInt();
        EXPECT_EQ(requests(), (Requests{{5, c.reg, count}, {5, 21, c.code}})) << c.selector;
    }
    EXPECT_EQ(module->outputMode(1), OutputMode::HoldHigh);
    EXPECT_EQ(module->outputMode(2), OutputMode::HoldHigh);
}

TEST_F(UniversalTrim, UpDownsStepWithinTheLimitsAndWriteOnlyUnderTheirPoint)
{
    attach(3);
    configure({{10, 32767}, {11, 0}, {12, 32767}, {13, 0}});
    read();
    struct Case
    {
        const TrimCase &point;
        UpDown::Direction direction;
        const char *shown;
    };
    const Case cases[] = {
        {TrimPoints[0], UpDown::Up, "32767"},
        {TrimPoints[1], UpDown::Down, "0"},
        {TrimPoints[2], UpDown::Up, "32767"},
        {TrimPoints[3], UpDown::Down, "0"},
    };
    std::vector<std::int64_t> took;
    for (const Case &c : cases) {
        auto *upDown = child<UpDown>(c.point.upDown);
        // Under "Normal" the field and the bar change, nothing is sent.
        line->clearLog();
        emit upDown->changingEx(c.direction == UpDown::Up ? UpDown::Down : UpDown::Up);
        runChain();
        EXPECT_TRUE(line->log().empty()) << c.point.upDown;
        EXPECT_NE(text(c.point.count), c.shown) << c.point.upDown;
        EXPECT_EQ(child<ScrollBar>(c.point.bar)->value(), text(c.point.count).toInt());
        emit upDown->changingEx(c.direction);
        EXPECT_EQ(text(c.point.count), c.shown) << c.point.upDown;

        // At the limit a press holds the count and, under its point, writes it again.
        child<QRadioButton>(c.point.selector)->click();
        runChain();
        line->clearLog();
        const std::int64_t before = line->clockMs();
        emit upDown->changingEx(c.direction);
        runChain();
        took.push_back(line->clockMs() - before);
        EXPECT_EQ(text(c.point.count), c.shown) << c.point.upDown;
        EXPECT_EQ(requests(), (Requests{{5, c.point.reg, QString(c.shown).toInt()}}));
    }
    // Only the CH-1 up-downs drain the line first: on a quiet line that waits
    // one reply time-out.
    EXPECT_GE(took[0], took[2] + 95);
    EXPECT_GE(took[1], took[3] + 95);
    EXPECT_LT(took[0], took[2] + 200);
}

TEST_F(UniversalTrim, AnEmptyCountFieldSendsNothing)
{
    // Before a read the count fields are empty: the selectors wait for a read,
    // and an up-down leaves the field alone.
    attach(3);
    for (const TrimCase &c : TrimPoints) {
        EXPECT_EQ(text(c.count), "") << c.count;
        EXPECT_FALSE(enabled(c.selector)) << c.selector;
        emit child<UpDown>(c.upDown)->changingEx(UpDown::Up);
        EXPECT_EQ(text(c.count), "") << c.upDown;
    }
    EXPECT_TRUE(line->log().empty());

    // A selected point whose count field is empty sends neither count nor code.
    read();
    for (const TrimCase &c : TrimPoints) {
        setText(c.count, "");
        line->clearLog();
        child<QRadioButton>(c.selector)->click();
        emit child<UpDown>(c.upDown)->changingEx(UpDown::Down);
        runChain();
        EXPECT_TRUE(line->log().empty()) << c.selector;
        EXPECT_TRUE(child<QRadioButton>(c.selector)->isChecked());
        EXPECT_EQ(text(c.count), "") << c.upDown;
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(UniversalLive, ReadCommandsLiveValuesThenPollsEvery500Ms)
{
    for (const char *read : {"Btn71", "Btn81"}) {
        attach(3);
        DistributorFixture::read();
        line->clearLog();
        child<QPushButton>(read)->click();
        runChain();
        EXPECT_EQ(requests(), (Requests{{5, 21, 40}, {4, 4096, 2}})) << read;
        EXPECT_TRUE(form->Timer3->isActive());
        EXPECT_EQ(form->Timer3->interval(), 500);
        for (const char *stop : {"Btn72", "Btn82"})
            EXPECT_TRUE(enabled(stop)) << stop;
        for (const char *off : {"BtnP1", "Btn71", "Btn81", "Btn11", "RBtn1", "RBtn6", "UpDown9"})
            EXPECT_FALSE(enabled(off)) << off;
        tick(form->Timer3, 3);
        EXPECT_EQ(requests().size(), 5u);
        EXPECT_EQ(requests().back(), std::make_tuple(4, 4096, 2));
        EXPECT_EQ(status()->text(), "Read Success");
        EXPECT_LE(longestStallMs, 250);

        // Either "Stop" ends the poll; nothing more goes out.
        child<QPushButton>("Btn82")->click();
        EXPECT_FALSE(form->Timer3->isActive());
        EXPECT_TRUE(enabled("BtnP1"));
        EXPECT_TRUE(enabled("Btn71"));
        line->clearLog();
        line->wait(2000);
        EXPECT_TRUE(line->log().empty());
    }
}

TEST_F(UniversalLive, EachChannelIsShownByItsOwnType)
{
    struct Case
    {
        int type1, type2;
        int pv1, pv2;
        const char *config1, *page1, *config2, *page2;
    };
    const Case cases[] = {
        {1, 10, -125, 32767, "-12", "-12.5", "OPEN", "OPEN"}, // thermocouple, PT-100 open
        {10, 0, 0x8000, 1234, "-3276.8", "-3276.8", "123", "123.4"},
        {9, 11, -1, 10000, "-0.01", "-0.01", "10.000", "10.000"},
        {12, 9, 32767, 6000, "OPEN", "OPEN", "60.00", "60.00"},
        {12, 13, 20000, 5, "20.000", "20.000", "", ""}, // CH-2 type without an item
    };
    for (const Case &c : cases) {
        attach(3);
        configure({{0, c.type1}, {23, c.type2}});
        read();
        module->setInput(4096, c.pv1 & 0xFFFF);
        module->setInput(4097, c.pv2 & 0xFFFF);
        form->Btn71Click();
        runChain();
        tick(form->Timer3);
        EXPECT_EQ(text("PV1_Edit"), c.config1) << c.type1;
        EXPECT_EQ(text("PV1_Edit2"), c.page1) << c.type1;
        EXPECT_EQ(text("PV2_Edit"), c.config2) << c.type2;
        EXPECT_EQ(text("PV2_Edit2"), c.page2) << c.type2;
        form->Btn72Click();
    }
    EXPECT_TRUE(errors.empty());
}
