// Output trim and live values of the converter window.
#include "converter_fixture.h"

#include "scroll_bar.h"
#include "trim_step.h"
#include "up_down.h"

#include <QRadioButton>

using ConverterTrim = ConverterFixture;
using ConverterLive = ConverterFixture;

namespace {
// Trim point selectors and what selecting each sends: the shown count to its
// register, then its code to register 21.
struct TrimCase
{
    const char *selector;
    const char *count;
    int reg;
    int code;
};
const TrimCase TrimPoints[] = {
    {"RadioButton1", "Edit2", 10, 27}, {"RadioButton2", "Edit3", 11, 28},
    {"RadioButton6", "Edit9", 12, 29}, {"RadioButton7", "Edit10", 13, 30},
    {"Rad1", "Edi41", 10, 27},         {"RadioButton10", "Edit17", 13, 30},
};
} // namespace

TEST_F(ConverterTrim, EachPointSendsItsCountThenItsCode)
{
    attach(9);
    configure({{10, 5000}, {11, 27000}, {12, 5100}, {13, 27100}});
    read();
    for (const TrimCase &c : TrimPoints) {
        line->clearLog();
        child<QRadioButton>(c.selector)->click();
        runChain();
        const int count = text(c.count).toInt();
        EXPECT_EQ(requests(), (Requests{{5, c.reg, count}, {5, 21, c.code}})) << c.selector;
        EXPECT_EQ(module->holding(c.reg), count);
    }
    // Both selectors of a point show it.
    EXPECT_TRUE(child<QRadioButton>("RadioButton7")->isChecked());
    EXPECT_EQ(module->outputMode(2), OutputMode::HoldHigh);
}

TEST_F(ConverterTrim, ScrollAndUpDownWriteOnlyUnderTheirPoint)
{
    attach(9);
    read();
    auto *bar = child<ScrollBar>("ScrollBar3");
    // Dragging under "Normal" shows the count everywhere and sends nothing.
    line->clearLog();
    for (int position : {100, 200, 300})
        bar->setValue(position);
    emit bar->endScroll();
    runChain();
    EXPECT_TRUE(line->log().empty());
    EXPECT_EQ(text("Edit2"), "300");
    EXPECT_EQ(text("Edi41"), "300");
    EXPECT_EQ(child<ScrollBar>("ScrollBar1")->value(), 300);

    // Under its point, releasing sends exactly one write of the final count.
    child<QRadioButton>("RadioButton1")->click();
    runChain();
    line->clearLog();
    for (int position : {400, 500, 640})
        bar->setValue(position);
    emit bar->endScroll();
    runChain();
    EXPECT_EQ(requests(), (Requests{{5, 10, 640}}));

    // Up at 32767 stays 32767 and writes it again; the mirror up-down steps too.
    bar->setValue(32767);
    line->clearLog();
    emit child<UpDown>("UpDown3")->changingEx(UpDown::Up);
    runChain();
    EXPECT_EQ(text("Edit2"), "32767");
    EXPECT_EQ(requests(), (Requests{{5, 10, 32767}}));
    emit child<UpDown>("UpDown1")->changingEx(UpDown::Down);
    runChain();
    EXPECT_EQ(text("Edit2"), "32766");
    EXPECT_EQ(module->holding(10), 32766);
}

TEST_F(ConverterTrim, StepValueAndDirectionAreOnePairForTheProcess)
{
    // A press with no direction repeats the direction last taken by any
    // up-down of any window.
    StepValue = 0;
    EXPECT_EQ(trimStep(100, StepDirection::Down), 99);
    EXPECT_FALSE(StepUp);
    EXPECT_EQ(trimStep(7, StepDirection::None), 6);
    EXPECT_EQ(StepValue, 6);
    EXPECT_EQ(trimStep(0, StepDirection::Down), 0);
    EXPECT_EQ(trimStep(32767, StepDirection::Up), 32767);
    EXPECT_EQ(trimStep(5, StepDirection::None), 6);

    attach(9);
    read();
    auto *count = child<QLineEdit>("Edit9");
    const int before = count->text().toInt();
    emit child<UpDown>("UpDown5")->changingEx(UpDown::None);
    EXPECT_EQ(count->text().toInt(), before + 1); // still up from above
}

TEST_F(ConverterTrim, SelectorsWaitForAReadAndNoTrimControlSendsDuringAChain)
{
    // Before any read the counts are the window's own: nothing to write.
    attach(9);
    EXPECT_FALSE(enabled("RadioButton1"));
    form->FormActivate();
    EXPECT_FALSE(enabled("RadioButton1")); // the read runs
    EXPECT_FALSE(enabled("ScrollBar3"));
    EXPECT_FALSE(enabled("RadioButton3"));
    runChain();
    EXPECT_TRUE(enabled("RadioButton1"));
    EXPECT_TRUE(enabled("Rad2"));

    // A failed read since activation leaves them disabled.
    line->injectFault(LineFault::NoReply, 10);
    form->FormActivate();
    runChain();
    EXPECT_EQ(status()->text(), "Read Fail");
    EXPECT_FALSE(enabled("RadioButton1"));
    EXPECT_TRUE(enabled("ScrollBar3"));

    // While live values are polled, every trim control is disabled.
    read();
    form->Btn71Click();
    runChain();
    for (const char *name : {"RadioButton1", "RadioButton3", "ScrollBar3", "UpDown3", "Rad3"})
        EXPECT_FALSE(enabled(name)) << name;
    form->Btn72Click();
    EXPECT_TRUE(enabled("UpDown3"));
}

TEST_F(ConverterLive, ReadCommandsLiveValuesThenPollsEvery600Ms)
{
    attach(9);
    configure({{0, 1}});
    read();
    line->clearLog();
    form->Btn71Click();
    runChain();
    EXPECT_EQ(requests(), (Requests{{5, 21, 40}, {4, 4096, 3}}));
    EXPECT_TRUE(form->Timer3->isActive());
    EXPECT_EQ(form->Timer3->interval(), 600);
    EXPECT_TRUE(enabled("Btn72"));
    EXPECT_TRUE(enabled("Button27"));
    EXPECT_FALSE(enabled("BtnP1"));
    tick(form->Timer3, 3);
    EXPECT_EQ(requests().size(), 5u);
    EXPECT_EQ(requests().back(), std::make_tuple(4, 4096, 3));
    EXPECT_EQ(status()->text(), "Read Success");
    EXPECT_LE(longestStallMs, 250);
}

TEST_F(ConverterLive, ValuesAreShownByInputTypeWithOpenForABrokenInput)
{
    struct Case
    {
        int type;
        int pv1, pv2, f;
        const char *configPv1, *pagePv1, *configPv2, *pagePv2, *pvs;
    };
    const Case cases[] = {
        {1, 1234, 32767, -5, "123", "123.4", "OPEN", "OPEN", "-0.5"}, // thermocouple
        {10, 32768, 32769, 0, "3276.8", "3276.8", "-3276.7", "-3276.7", "0.0"},
        {9, -1, 6000, 32767, "-0.01", "-0.01", "60.00", "60.00", "OPEN"},
        {11, 10000, -10000, 1, "10.000", "10.000", "-10.000", "-10.000", "0.001"},
    };
    for (const Case &c : cases) {
        attach(9);
        configure({{0, c.type}});
        read();
        for (const auto &[reg, value] : {std::pair{4096, c.pv1}, {4097, c.pv2}, {4098, c.f}})
            module->setInput(reg, value & 0xFFFF);
        form->Btn71Click();
        runChain();
        tick(form->Timer3);
        EXPECT_EQ(text("PV1_Edit"), c.configPv1) << c.type;
        EXPECT_EQ(text("PV1_Edit2"), c.pagePv1) << c.type;
        EXPECT_EQ(text("Edit27"), c.pagePv1) << c.type;
        EXPECT_EQ(text("PV2_Edit"), c.configPv2) << c.type;
        EXPECT_EQ(text("Edit22"), c.pagePv2) << c.type;
        EXPECT_EQ(text("Edit28"), c.pagePv2) << c.type;
        EXPECT_EQ(text("PVS_Edit"), c.pvs) << c.type;
        form->Btn72Click();
    }
}
