// Output trim and live value of both resistance transmitter windows.
#include "resistance_fixture.h"

#include "scroll_bar.h"
#include "up_down.h"

#include <QRadioButton>

template<class Window>
using ResistanceTrimLive = ResistanceFixture<Window>;
using Windows = ::testing::Types<TForm4, TForm10>;
TYPED_TEST_SUITE(ResistanceTrimLive, Windows);

TYPED_TEST(ResistanceTrimLive, TrimWritesCountsAndCodesOnlyUnderTheirPoint)
{
    this->attachModule();
    this->configure({{7, 5000}, {8, 27000}});
    this->read();
    for (const auto &[selector, reg, count, code] :
         {std::tuple{"RadioButton1", 7, 5000, 27}, {"RadioButton2", 8, 27000, 28}}) {
        this->line->clearLog();
        this->template child<QRadioButton>(selector)->click();
        this->runChain();
        EXPECT_EQ(this->requests(), (Requests{{5, reg, count}, {5, 9, code}})) << selector;
    }
    // Under "20mA" only the 20 mA bar and up-down write; a released drag once.
    auto *bar = this->template child<ScrollBar>("ScrollBar4");
    this->line->clearLog();
    for (int position : {2000, 2016})
        bar->setValue(position);
    emit bar->endScroll();
    this->runChain();
    bar->setValue(32767);
    emit this->template child<UpDown>("UpDown4")->changingEx(UpDown::Up);
    this->runChain();
    emit this->template child<UpDown>("UpDown3")->changingEx(UpDown::Up);
    emit this->template child<ScrollBar>("ScrollBar3")->endScroll();
    this->runChain();
    EXPECT_EQ(this->requests(), (Requests{{5, 8, 2016}, {5, 8, 32767}}));
    EXPECT_EQ(this->text("Edit3"), "32767");
}

TYPED_TEST(ResistanceTrimLive, SelectorsWaitForAReadAndTrimIsOffWhileACommandRuns)
{
    this->attachModule();
    EXPECT_FALSE(this->enabled("RadioButton1")); // no count read yet
    this->form->FormActivate();
    for (const char *name : {"RadioButton1", "RadioButton3", "ScrollBar3", "UpDown4"})
        EXPECT_FALSE(this->enabled(name)) << name; // the read runs
    this->runChain();
    EXPECT_TRUE(this->enabled("RadioButton2"));

    // An activation whose read fails leaves the selectors off, the rest on.
    this->line->injectFault({LineFault::BadCrc, 3, 0});
    this->form->FormActivate();
    this->runChain();
    EXPECT_FALSE(this->enabled("RadioButton2"));
    EXPECT_TRUE(this->enabled("RadioButton3"));
    EXPECT_TRUE(this->enabled("ScrollBar4"));

    // While the live value is polled no trim control can send.
    this->read();
    this->form->Btn71Click();
    this->runChain();
    for (const char *name : {"RadioButton1", "RadioButton3", "ScrollBar3", "UpDown3"})
        EXPECT_FALSE(this->enabled(name)) << name;
    this->form->Btn72Click();
    EXPECT_TRUE(this->enabled("RadioButton1"));
}

TYPED_TEST(ResistanceTrimLive, LiveValueStartsWithCode40AndPollsRegister4096)
{
    this->attachModule();
    this->read();
    this->line->clearLog();
    this->form->Btn71Click();
    this->runChain();
    EXPECT_EQ(this->requests(), (Requests{{4, 7936, 4}, {5, 9, 40}, {4, 4096, 1}}));
    EXPECT_EQ(this->form->Timer2->interval(), 500);
    EXPECT_TRUE(this->enabled("Btn72"));
    EXPECT_FALSE(this->enabled("BtnP1"));

    // The window's sign rule, "OPEN" for an open sensor; a bad tick keeps the value.
    for (const auto &[word, fault, shown, status] :
         {std::tuple{32767, false, "OPEN", "Read Success"},
          {0x8000, false, "-32768", "Read Success"},
          {0xFFFB, true, "-32768", "Read Fail"},
          {0xFFFB, false, "-5", "Read Success"}}) {
        this->module->setInput(4096, word);
        if (fault) // the request the next tick sends
            this->line->injectFault({LineFault::BadCrc, 4, 4096});
        this->tick(this->form->Timer2); // collects the reply to the request sent before
        this->tick(this->form->Timer2);
        EXPECT_EQ(this->text("PV1_Edit"), shown) << word;
        EXPECT_EQ(this->status()->text(), status) << word;
    }
    EXPECT_TRUE(this->form->Timer2->isActive());

    // "Stop" sends nothing; a read and Scan > Start end the poll as well.
    this->line->clearLog();
    this->form->Btn72Click();
    EXPECT_TRUE(this->line->log().empty());
    EXPECT_TRUE(this->commandsEnabled(true));
    for (const bool scan : {false, true}) {
        this->form->Btn71Click();
        this->runChain();
        scan ? this->form->StartClick() : this->form->FormActivate();
        this->runChain();
        EXPECT_FALSE(this->form->Timer2->isActive()) << scan;
        EXPECT_TRUE(this->commandsEnabled(true));
    }
}

TYPED_TEST(ResistanceTrimLive, StartRefusesAnotherWindowsModuleInEveryLanguage)
{
    using V = typename TestFixture::V;
    this->attachModule();
    this->read();
    this->module->setInput(7936, V::model << 8 | V::otherVersion);
    this->link->ComBuf[cb::LangCode] = lang::Traditional;
    this->line->clearLog();
    this->form->Btn71Click();
    this->runChain();
    EXPECT_EQ(this->requests(), (Requests{{4, 7936, 4}}));
    EXPECT_EQ(this->messages, std::vector<std::string>{"Version is not match"});

    // No information block: "Read Fail", nothing started.
    this->line->injectFault({LineFault::NoReply, 4, 7936});
    this->form->Btn71Click();
    this->runChain();
    EXPECT_EQ(this->status()->text(), i18n::statusText(i18n::Status::ReadFail, lang::Traditional));
    EXPECT_FALSE(this->form->Timer2->isActive());
    EXPECT_TRUE(this->commandsEnabled(true));
}
