// Output trim and live value of the transmitter window.
#include "transmitter_fixture.h"

#include "scroll_bar.h"
#include "up_down.h"

#include <QRadioButton>

using TransmitterTrim = TransmitterFixture;
using TransmitterLive = TransmitterFixture;

TEST_F(TransmitterTrim, EachPointSendsItsCountThenItsCode)
{
    attach(9);
    configure({{7, 5000}, {8, 27000}});
    read();
    const std::tuple<const char *, Requests, OutputMode> cases[] = {
        {"RadioButton1", {{5, 7, 5000}, {5, 9, 27}}, OutputMode::HoldLow},
        {"Rad2", {{5, 8, 27000}, {5, 9, 28}}, OutputMode::HoldHigh},
        {"Rad1", {{5, 7, 5000}, {5, 9, 27}}, OutputMode::HoldLow},
        {"RadioButton2", {{5, 8, 27000}, {5, 9, 28}}, OutputMode::HoldHigh},
        {"RadioButton3", {{6, 9, 31}}, OutputMode::Normal},
    };
    for (const auto &[selector, wire, mode] : cases) {
        line->clearLog();
        child<QRadioButton>(selector)->click();
        runChain();
        EXPECT_EQ(requests(), wire) << selector;
        EXPECT_EQ(module->outputMode(1), mode) << selector;
    }
    EXPECT_TRUE(child<QRadioButton>("Rad3")->isChecked());
}

TEST_F(TransmitterTrim, ScrollAndUpDownWriteOnlyUnderTheirPoint)
{
    attach(9);
    read();
    auto *bar = child<ScrollBar>("ScrollBar4");
    line->clearLog();
    bar->setValue(26000);
    emit bar->endScroll();
    emit child<UpDown>("UpDown4")->changingEx(UpDown::Up);
    runChain();
    EXPECT_TRUE(line->log().empty());
    EXPECT_EQ(text("Edit3"), "26001");
    EXPECT_EQ(text("Edi42"), "26001");
    EXPECT_EQ(child<ScrollBar>("ScrollBar2")->value(), 26001);

    child<QRadioButton>("RadioButton2")->click();
    runChain();
    line->clearLog();
    bar->setValue(26100);
    emit bar->endScroll();
    runChain();
    emit child<UpDown>("UpDown2")->changingEx(UpDown::Down); // the mirror steps too
    runChain();
    EXPECT_EQ(requests(), (Requests{{5, 8, 26100}, {5, 8, 26099}}));
    EXPECT_EQ(module->holding(8), 26099);
}

TEST_F(TransmitterTrim, CountsComeFromAReadSinceActivation)
{
    // A count equal to the bar's position still shows in both fields.
    attach(9);
    configure({{7, 0}, {8, 27306}});
    read();
    EXPECT_EQ(text("Edit2"), "0");
    EXPECT_EQ(text("Edi41"), "0");
    EXPECT_EQ(text("Edi42"), "27306");

    // Until a read succeeds after activation, no point can be selected.
    attach(9);
    line->injectFault(FaultRule{LineFault::NoReply, 4, 7936});
    form->FormActivate();
    runChain();
    EXPECT_EQ(status()->text(), "Read Fail");
    for (const char *selector : {"RadioButton1", "RadioButton2", "Rad1", "Rad2"})
        EXPECT_FALSE(enabled(selector)) << selector;
    EXPECT_TRUE(enabled("RadioButton3"));
    EXPECT_TRUE(enabled("ScrollBar3"));
    read();
    EXPECT_TRUE(enabled("Rad2"));
}

TEST_F(TransmitterLive, StartCommandsLiveValuesThenPollsPvEvery500Ms)
{
    attach(9);
    read();
    line->clearLog();
    form->Btn71Click();
    runChain();
    EXPECT_EQ(requests(), (Requests{{5, 9, 40}, {4, 4096, 1}}));
    EXPECT_TRUE(form->Timer1->isActive());
    EXPECT_EQ(form->Timer1->interval(), 500);
    for (const char *stop : {"Btn72", "Btn52"})
        EXPECT_TRUE(enabled(stop)) << stop;
    for (const char *other : {"BtnP1", "Btn71", "Btn51", "Btn11", "RadioButton3", "UpDown3"})
        EXPECT_FALSE(enabled(other)) << other;
    tick(form->Timer1, 3);
    EXPECT_EQ(requests().size(), 5u);
    EXPECT_EQ(requests().back(), std::make_tuple(4, 4096, 1));
    EXPECT_EQ(status()->text(), "Read Success");

    // "Stop" ends it: nothing more is sent, the commands come back.
    child<QPushButton>("Btn52")->click();
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_TRUE(enabled("BtnP1"));
    EXPECT_TRUE(enabled("RadioButton1"));
    const std::size_t sent = line->log().size();
    line->wait(2000);
    EXPECT_EQ(line->log().size(), sent);
}

TEST_F(TransmitterLive, ValueShownByInputTypeWithThisWindowsSignRule)
{
    struct Case
    {
        int type, pv;
        const char *configuration, *calibration;
    };
    const Case cases[] = {
        {1, 1234, "123", "123.4"},         {1, -125, "-12", "-12.5"},
        {10, 32768, "-3276.8", "-3276.8"}, {9, 32769, "-327.67", "-327.67"},
        {11, 10000, "10.000", "10.000"},   {12, 32767, "OPEN", "OPEN"},
    };
    attach(9);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.type);
        configure({{0, c.type}});
        read();
        module->setInput(4096, c.pv & 0xFFFF);
        child<QPushButton>("Btn51")->click();
        runChain();
        tick(form->Timer1);
        EXPECT_EQ(text("PV1_Edit"), c.configuration);
        EXPECT_EQ(text("PV1_Edit2"), c.calibration);
        form->Btn72Click();
    }
}
