// Both resistance transmitter windows against the simulated resistance
// transmitter: activation, read, write with its storing check, the offset rule,
// the command buttons and the service functions.
#include "resistance_fixture.h"

#include "language_switch.h"
#include "numtext.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

namespace {
const QColor Blue(0, 0, 255);
const QColor Green(0, 128, 0);
const QColor Red(255, 0, 0);
const std::string Mismatch = "Version is not match";
constexpr int EveryLanguage[] = {lang::English, lang::Traditional, lang::Simplified};
} // namespace

template<class Window>
using ResistanceWindows = ResistanceFixture<Window>;
using Windows = ::testing::Types<TForm4, TForm10>;
TYPED_TEST_SUITE(ResistanceWindows, Windows);

TYPED_TEST(ResistanceWindows, ReadShowsTheBlockAsSignedValues)
{
    using V = typename TestFixture::V;
    this->attachModule();
    this->configure({{2, -200}, {3, 30000}, {4, -V::bound}, {5, 1}, {6, 2}, {7, 5461}, {8, 27306}});
    this->line->clearLog();
    this->form->BtnP1Click();
    EXPECT_EQ(this->status()->text(), "Transmission...");
    EXPECT_EQ(this->status()->fontColor(), Blue);
    EXPECT_TRUE(this->commandsEnabled(false));
    EXPECT_FALSE(this->enabled("RadioButton3")); // no trim write cuts into the read
    this->runChain();

    EXPECT_EQ(this->requests(), (Requests{{4, 7936, 4}, {3, 0, V::block}}));
    EXPECT_EQ(this->form->Timer3->interval(), 500);
    EXPECT_EQ(this->status()->text(), "Read Success");
    EXPECT_EQ(this->status()->fontColor(), Green);
    EXPECT_EQ(this->text("Edi3"), "-200");
    EXPECT_EQ(this->text("Edi4"), "30000");
    EXPECT_EQ(this->text("Edi61"), QString::number(-V::bound)); // 0xFA24 is -1500
    EXPECT_EQ(this->template child<RadioGroup>("Item3")->itemIndex(), 1);
    EXPECT_EQ(this->template child<RadioGroup>("Item4")->itemIndex(), 2);
    EXPECT_EQ(this->text("Edit2"), "5461");
    EXPECT_EQ(this->template child<QScrollBar>("ScrollBar3")->value(), 5461);
    EXPECT_EQ(this->text("Edit3"), "27306");
    EXPECT_EQ(this->template child<QScrollBar>("ScrollBar4")->value(), 27306);
    EXPECT_EQ(this->text("Label18"), "RY440");
    EXPECT_EQ(this->text("Label7"), QString("V0%1").arg(V::version));
    EXPECT_EQ(this->text("Serial_Y"), "703070001");
    EXPECT_TRUE(this->commandsEnabled(true));

    // A choice the window has no item for clears the selector, and the write
    // then sends nothing rather than 65535.
    this->configure({{6, 3}});
    this->read();
    EXPECT_EQ(this->template child<RadioGroup>("Item4")->itemIndex(), -1);
    this->line->clearLog();
    this->write();
    EXPECT_TRUE(this->line->log().empty());
    EXPECT_EQ(this->status()->text(), "Write Fail");
}

TYPED_TEST(ResistanceWindows, AnotherWindowsModuleIsReadFailWithTheBoxInEnglishOnly)
{
    using V = typename TestFixture::V;
    struct Case
    {
        int model;
        int version;
        int language;
        bool box;
    };
    const Case cases[] = {
        {V::otherModel, V::version, lang::English, false},
        {2, V::version, lang::English, false},
        {V::model, V::otherVersion, lang::English, true},
        {V::model, V::otherVersion, lang::Traditional, false},
        {V::model, V::otherVersion, lang::Simplified, false},
    };
    for (const Case &c : cases) {
        this->attachModule(V::version, V::model); // as the scan found it
        this->module->setInput(7936, c.model << 8 | c.version);
        this->link->ComBuf[cb::LangCode] = static_cast<std::int16_t>(c.language);
        this->messages.clear();
        this->line->clearLog();
        this->read();
        const std::string name = std::to_string(c.model) + "/" + std::to_string(c.version) + "/" +
                                 std::to_string(c.language);
        EXPECT_EQ(this->requests(), (Requests{{4, 7936, 4}})) << name;
        EXPECT_EQ(this->status()->text(), i18n::statusText(i18n::Status::ReadFail, c.language));
        EXPECT_EQ(this->messages, c.box ? std::vector{Mismatch} : std::vector<std::string>{})
            << name;
        EXPECT_EQ(this->link->ComBuf[cb::DevVer], V::version) << name;
        EXPECT_EQ(this->text("Label18"), "") << name;
        EXPECT_TRUE(this->commandsEnabled(true));
    }
}

TYPED_TEST(ResistanceWindows, WriteSendsDirectionOffsetAndBreakSignalThenTheStoringCheck)
{
    this->attachModule();
    this->read();
    this->template child<RadioGroup>("Item3")->setItemIndex(1);
    this->template child<RadioGroup>("Item4")->setItemIndex(2);
    this->setText("Edi61", "-12.7");
    this->line->clearLog();
    this->form->BtnP2Click();
    EXPECT_TRUE(this->commandsEnabled(false));
    this->runChain();

    ASSERT_EQ(this->requests(),
              (Requests{{4, 7936, 4}, {5, 5, 1}, {5, 4, -12 & 0xFFFF}, {6, 6, 2}, {4, 4102, 1}}));
    const auto &log = this->line->log();
    EXPECT_GE(log[1].timeMs - log[0].timeMs, 500);
    EXPECT_GE(log[4].timeMs - log[3].timeMs, 2000);
    EXPECT_EQ(this->module->holding(4), -12 & 0xFFFF);
    EXPECT_EQ(this->module->holding(5), 1);
    EXPECT_EQ(this->module->holding(6), 2);
    EXPECT_EQ(this->status()->text(), "Write Success");
    EXPECT_EQ(this->status()->fontColor(), Green);
    EXPECT_TRUE(this->commandsEnabled(true));

    // Only a sound reply with low byte 0 counts as stored.
    struct Outcome
    {
        bool storeFails;
        std::optional<LineFault> fault;
        const char *status;
    };
    const Outcome outcomes[] = {{true, {}, "Write Memory Fail"},
                                {false, LineFault::NoReply, "Write Memory Fail"},
                                {false, LineFault::BadCrc, "Write Memory Fail"},
                                {false, LineFault::Exception, "Write Memory Fail"},
                                {false, {}, "Write Success"}};
    for (const Outcome &outcome : outcomes) {
        this->module->setStoreFails(outcome.storeFails);
        if (outcome.fault)
            this->line->injectFault({*outcome.fault, 4, 4102});
        this->write();
        EXPECT_EQ(this->status()->text(), outcome.status);
        EXPECT_TRUE(this->commandsEnabled(true));
    }
}

TYPED_TEST(ResistanceWindows, AWriteBeginsWithASoundInformationBlock)
{
    this->attachModule();
    this->read();
    this->line->injectFault({LineFault::NoReply, 4, 7936});
    this->line->clearLog();
    this->write();
    EXPECT_EQ(this->requests(), (Requests{{4, 7936, 4}}));
    EXPECT_EQ(this->status()->text(), "Write Fail");
    EXPECT_TRUE(this->messages.empty());
}

TYPED_TEST(ResistanceWindows, AnOffsetTypedWithoutLeavingTheFieldKeepsItsRule)
{
    using V = typename TestFixture::V;
    this->attachModule();
    this->read();
    this->setText("Edi61", "99999");
    this->form->BtnP2Click();
    this->runChain();
    EXPECT_EQ(this->text("Edi61"), QString::number(V::bound));
    EXPECT_EQ(this->module->holding(4), V::bound);
}

TYPED_TEST(ResistanceWindows, WriteToAnotherWindowsModuleShowsTheBoxInEveryLanguage)
{
    using V = typename TestFixture::V;
    this->attachModule();
    this->read();
    this->module->setInput(7936, V::model << 8 | V::otherVersion);
    for (const int language : EveryLanguage) {
        this->link->ComBuf[cb::LangCode] = static_cast<std::int16_t>(language);
        this->messages.clear();
        this->line->clearLog();
        this->write();
        EXPECT_EQ(this->requests(), (Requests{{4, 7936, 4}}));
        EXPECT_EQ(this->messages, std::vector{Mismatch}) << language;
        EXPECT_EQ(this->status()->text(), "Read Success"); // unchanged
        EXPECT_TRUE(this->commandsEnabled(true));
    }
}

TYPED_TEST(ResistanceWindows, ScanStartStopsEveryTimerAndTheNextActivationReadsAgain)
{
    this->attachModule();
    this->read();
    this->form->SkipRefresh = true;
    this->setText("Edi61", "9");
    this->line->clearLog();
    this->form->FormActivate();
    EXPECT_TRUE(this->line->log().empty());
    EXPECT_EQ(this->text("Edi61"), "9");
    EXPECT_FALSE(this->form->busy());

    // A write waiting for Timer4, and the polls of later work.
    this->form->BtnP2Click();
    this->runChain(1);
    ASSERT_TRUE(this->form->Timer4->isActive());
    // An activation meanwhile does not cut the write short.
    this->form->SkipRefresh = false;
    this->line->clearLog();
    this->form->FormActivate();
    EXPECT_TRUE(this->line->log().empty());
    EXPECT_TRUE(this->form->Timer4->isActive());
    this->form->SkipRefresh = true;
    this->form->Timer1->start();
    this->form->Timer2->start();
    this->form->StartClick();
    for (QTimer *timer : this->form->timers())
        EXPECT_FALSE(timer->isActive()) << timer->objectName().toStdString();
    EXPECT_FALSE(this->form->busy());
    EXPECT_FALSE(this->form->SkipRefresh);
    EXPECT_TRUE(this->commandsEnabled(true));

    this->attachModule();
    this->line->clearLog();
    this->form->FormActivate();
    this->runChain();
    EXPECT_EQ(this->requests(), (Requests{{4, 7936, 4}, {3, 0, TestFixture::V::block}}));
    EXPECT_EQ(this->status()->text(), "Read Success");
}

TYPED_TEST(ResistanceWindows, LoadSerialNumberCommitsOnCommandCellNine)
{
    this->attachModule();
    this->line->clearLog();
    this->form->Button1Click();
    this->runChain();
    EXPECT_EQ(this->requests(), (Requests{{5, 7938, 10727}, {5, 7939, 65329}, {5, 9, 34}}));
    EXPECT_EQ(this->text("Edit1"), "703070002");
    EXPECT_TRUE(this->commandsEnabled(true));
}

TYPED_TEST(ResistanceWindows, Captions)
{
    auto *pages = this->template child<QTabWidget>("PageCont");

    // Only the calibration tables' controls are still to come.
    const QString name = this->form->objectName();
    const QStringList tables = {"Item5", "GroupBox4", "Button4", "Button5", "Button6", "Button7",
                                "Btn_1", "Btn_2",     "Btn_3",   "Btn_4",   "Btn_5",   "Btn_6",
                                "Btn_7", "Btn_8",     "Btn_9",   "Btn_a"};
    for (const i18n::CaptionTarget &target :
         i18n::missingControls({{"TForm3", this->scan.get()}, {name, this->form.get()}}))
        if (target.window == name) {
            EXPECT_TRUE(tables.contains(target.control)) << target.control.toStdString();
        }

    this->scan->TraditionalClick();
    EXPECT_EQ(this->template child<QGroupBox>("Item1")->title(), QString::fromUtf8("輸入訊號"));
    EXPECT_EQ(this->template child<QPushButton>("Btn71")->text(), QString::fromUtf8("讀取"));
    EXPECT_EQ(pages->tabText(0), QString::fromUtf8("設定"));
    this->scan->EnglishClick();
    EXPECT_EQ(this->template child<QGroupBox>("Item6")->title(),
              " 4~20mA Output Signal calibration");
}

// The offset rule of each window: blank is 0, beyond the bound the bound,
// anything else as typed; the write truncates.
using OffsetCases = std::vector<std::pair<QString, QString>>;

template<class Window>
OffsetCases offsetCases();
template<>
OffsetCases offsetCases<TForm4>()
{
    return {{"2000", "1500"}, {"-1600", "-1500"}, {"", "0"},          {"12.7", "12.7"},
            {"1500", "1500"}, {"-1500", "-1500"}, {"1500.1", "1500"}, {"-1500.5", "-1500"}};
}
template<>
OffsetCases offsetCases<TForm10>()
{
    return {{"75", "50"}, {"-51", "-50"},     {"", "0"},      {"12.7", "12.7"},
            {"50", "50"}, {"-50.0", "-50.0"}, {"1500", "50"}, {"50.01", "50"}};
}

TYPED_TEST(ResistanceWindows, OffsetExitRule)
{
    for (const auto &[typed, shown] : offsetCases<TypeParam>()) {
        this->setText("Edi61", typed);
        this->form->Edi61Exit();
        EXPECT_EQ(this->text("Edi61"), shown) << typed.toStdString();
    }
    this->setText("Edi61", "1O");
    EXPECT_THROW(this->form->Edi61Exit(), ConversionError);
}

using CompactWindow = ResistanceFixture<TForm10>;

TEST_F(CompactWindow, ActivationAppliesTheLanguageAndReadsThirtyRegisters)
{
    attachModule(4, 3);
    link->ComBuf[cb::LangCode] = lang::Simplified;
    form->serviceModeChanged(true);
    child<QTabWidget>("PageCont")->setCurrentIndex(1);
    line->clearLog();
    form->FormActivate();
    EXPECT_EQ(text("Serial_Y"), "703070001");
    EXPECT_EQ(text("Label7"), "V04");
    EXPECT_EQ(child<QTabWidget>("PageCont")->currentIndex(), 0);
    EXPECT_EQ(child<QGroupBox>("Item2")->title(), QString::fromUtf8("量测范围"));
    runChain();
    EXPECT_EQ(requests(), (Requests{{4, 7936, 4}, {3, 0, 30}}));
    EXPECT_EQ(status()->text(), QString::fromUtf8("读出成功"));
    form->serviceModeChanged(false);
}

TEST_F(CompactWindow, StoringIsCheckedFromVersionThreeOn)
{
    for (const auto &[version, checked] : {std::pair{2, false}, {3, true}, {0, false}}) {
        attachModule(version);
        module->setStoreFails(true);
        read();
        line->clearLog();
        write();
        const auto last = checked ? std::tuple{4, 4102, 1} : std::tuple{6, 6, 1};
        EXPECT_EQ(requests().back(), last) << version;
        EXPECT_EQ(status()->text(), checked ? "Write Memory Fail" : "Write Success") << version;
        EXPECT_TRUE(commandsEnabled(true));
    }
}
