// What every family window does alike with its configuration page and its
// live values, one test per rule over all six windows: a read that fails
// leaves the page, a write refused twice ends there, text that is no number
// sends nothing, a new address and baud rate are followed, activation puts
// the module back to its own address and rate before it reads, service mode
// shows the factory functions, a bad live tick keeps the values. A window's own fields, ranges and
// order of writes are tested in its own folder.
#include "window_rig.h"

#include "fault_plan.h"

#include <QComboBox>
#include <QTabWidget>

namespace {
const QColor Green(0, 128, 0);
const QColor Red(255, 0, 0);

struct RuleRow
{
    const char *window;
    const char *modelName;             // what a sound information block shows
    int foreignModel;                  // a model code of another window's modules
    const char *field;                 // a field of the configuration page
    int refused;                       // a register "Write To Device" sends
    std::vector<const char *> numbers; // fields whose text must be a number
    int ownSettings; // holding register of the module's own address (baud code next), 0: none
    int block;       // registers the configuration read asks for
    std::vector<const char *> servicePages;              // pages offered in service mode
    std::vector<const char *> serviceControls;           // controls shown in service mode
    const char *liveStart, *liveStop, *poll, *liveField; // the live values
    int liveCommand; // the register that takes the live command (code 40)
};

// clang-format off
const RuleRow RuleRows[] = {
    {"TForm1", "RX220", 49, "Edi3", 0, {"Edit8", "Edi61"}, 24, 24,
     {"TabSheet1", "TabSheet2"}, {"IDSet", "GroupBox6"},
     "Btn71", "Btn72", "Timer3", "PV1_Edit", 21},
    {"TForm2", "RX110", 32, "Edi3", 3, {"Edi3", "Edi4", "Edi61"}, 0, 9,
     {"TabSheet1"}, {"GroupBox6"},
     "Btn71", "Btn72", "Timer1", "PV1_Edit", 9},
    {"TForm4", "RY440", 8, "Edi61", 5, {"Edi61"}, 0, 36,
     {"ModeNum"}, {"GroupBox6"},
     "Btn71", "Btn72", "Timer2", "PV1_Edit", 9},
    {"TForm10", "RY440", 7, "Edi61", 5, {"Edi61"}, 0, 30,
     {"ModeNum"}, {"GroupBox6"},
     "Btn71", "Btn72", "Timer2", "PV1_Edit", 9},
    {"TForm5", "RX220", 50, "Edit1", 25, {"Edit12", "Edit2"}, 30, 30,
     {"Calbration1"}, {},
     "Btn71", "Btn72", "Timer3", "PV1_Edit2", 21},
    {"TForm7", "RX220", 49, "Edit1", 2, {"Edit1", "Edit12", "Hi_S", "Set_C"}, 30, 30,
     {"Calbration1"}, {"GroupBox3"},
     "Btn11", "Btn12", "Timer3", "PV1_Edit", 21},
};
// clang-format on

void PrintTo(const RuleRow &row, std::ostream *out)
{
    *out << row.window;
}

std::vector<RuleRow> rowsWithOwnSettings()
{
    std::vector<RuleRow> rows;
    for (const RuleRow &row : RuleRows)
        if (row.ownSettings)
            rows.push_back(row);
    return rows;
}

std::string rowName(const ::testing::TestParamInfo<RuleRow> &info)
{
    return info.param.window;
}
} // namespace

class WindowRules : public ::testing::TestWithParam<RuleRow>
{
protected:
    void SetUp() override { rig = makeRig(row.window, familyWindow(row.window).module); }

    // The rig's window on a fresh module of this configuration.
    void reattach(const ModuleConfig &config) { rig->reattach(config); }
    QString status() const { return rig->window().statusLabel()->text(); }
    QColor colour() const { return rig->window().statusLabel()->fontColor(); }
    QString text(const char *name) const
    {
        if (auto *edit = rig->find<QLineEdit>(name))
            return edit->text();
        auto *label = rig->find<QLabel>(name);
        return label ? label->text() : "(none)";
    }
    void setText(const char *name, const QString &value)
    {
        auto *edit = rig->find<QLineEdit>(name);
        ASSERT_NE(edit, nullptr) << name;
        edit->setText(value);
    }
    bool commandsBack() const
    {
        return rig->find<QWidget>("BtnP1")->isEnabled() && rig->find<QWidget>("BtnP2")->isEnabled();
    }
    // Timers still running, chain and polls alike.
    std::vector<std::string> runningTimers() const
    {
        std::vector<std::string> running;
        for (QTimer *timer : rig->window().timers())
            if (timer->isActive())
                running.push_back(timer->objectName().toStdString());
        return running;
    }

    const RuleRow &row = GetParam();
    std::unique_ptr<Rig> rig;
};

// A module of another window's model: only the information block is asked
// for, "Read Fail" in red, the page and the model label as they were.
TEST_P(WindowRules, AModuleOfAnotherWindowIsReadFail)
{
    ModuleConfig foreign = familyWindow(row.window).module;
    foreign.model = row.foreignModel;
    reattach(foreign);
    const QString model = text(familyWindow(row.window).modelLabel);
    setText(row.field, "123");
    rig->press("BtnP1");
    EXPECT_EQ(rig->requests(), (Requests{{4, 7936, 4}}));
    EXPECT_EQ(status(), "Read Fail");
    EXPECT_EQ(colour(), Red);
    EXPECT_EQ(text(row.field), "123");
    EXPECT_EQ(text(familyWindow(row.window).modelLabel), model);
    EXPECT_TRUE(commandsBack());
}

// A damaged information block: nothing more is asked and nothing of it shown.
// A damaged, lost or foreign configuration block: the information block is
// shown, the page stays as it was.
TEST_P(WindowRules, AFailedReadLeavesThePage)
{
    rig->line().injectFault(LineFault::BadCrc);
    rig->press("BtnP1");
    EXPECT_EQ(rig->requests(), (Requests{{4, 7936, 4}}));
    EXPECT_EQ(status(), "Read Fail");
    EXPECT_EQ(text(familyWindow(row.window).modelLabel), "");
    EXPECT_EQ(text("Serial_Y"), "00000000");

    setText(row.field, "123");
    for (const LineFault fault : {LineFault::BadCrc, LineFault::NoReply, LineFault::ShortReply,
                                  LineFault::Exception, LineFault::Garbage}) {
        SCOPED_TRACE(faultName(fault));
        rig->line().injectFault({fault, 3, 0});
        rig->press("BtnP1");
        EXPECT_EQ(status(), "Read Fail");
        EXPECT_EQ(colour(), Red);
        EXPECT_EQ(text(row.field), "123");
        EXPECT_EQ(text(familyWindow(row.window).modelLabel), row.modelName);
        EXPECT_TRUE(commandsBack());
        EXPECT_EQ(runningTimers(), std::vector<std::string>{});
    }
}

// A write refused twice (an exception reply, or an echo that does not match)
// ends there in red "Write Fail": nothing after it is sent, the line and the
// module keep their address and rate, the commands come back. Refused once,
// it is sent again and the write goes on.
TEST_P(WindowRules, AWriteRefusedTwiceEndsTheWrite)
{
    rig->press("BtnP1");
    if (row.ownSettings)
        setText("ID_Edit", "9");
    const int opens = rig->line().openCount();
    for (const LineFault fault : {LineFault::Exception, LineFault::BadCrc}) {
        SCOPED_TRACE(faultName(fault));
        rig->line().clearLog();
        rig->line().injectFault({fault, 5, row.refused, 1, 2});
        rig->press("BtnP2");
        const Requests log = rig->requests();
        ASSERT_GE(log.size(), 2u);
        EXPECT_EQ(std::get<1>(log.back()), row.refused);
        EXPECT_EQ(log[log.size() - 2], log.back());
        EXPECT_EQ(status(), "Write Fail");
        EXPECT_EQ(colour(), Red);
        EXPECT_EQ(rig->link().ComBuf[cb::DevAddr], 1);
        EXPECT_EQ(rig->line().openCount(), opens);
        EXPECT_EQ(rig->module().address(), 1);
        EXPECT_TRUE(commandsBack());
        EXPECT_EQ(runningTimers(), std::vector<std::string>{});
    }

    if (row.ownSettings)
        setText("ID_Edit", "1");
    rig->line().clearLog();
    rig->line().injectFault({LineFault::Exception, 5, row.refused, 1, 1});
    rig->press("BtnP2");
    EXPECT_EQ(std::ranges::count_if(rig->requests(),
                                    [&](const auto &r) { return std::get<1>(r) == row.refused; }),
              2);
    EXPECT_EQ(status(), "Write Success");
    EXPECT_EQ(colour(), Green);
}

// Text that is no number in a field "Write To Device" converts: the
// standard error box, nothing sent, "Write Fail", the commands back.
TEST_P(WindowRules, TextThatIsNoNumberSendsNothing)
{
    rig->press("BtnP1");
    for (const char *field : row.numbers) {
        SCOPED_TRACE(field);
        const QString kept = text(field);
        setText(field, "1,5x");
        rig->errors().clear();
        rig->line().clearLog();
        rig->press("BtnP2");
        EXPECT_EQ(rig->errors().size(), 1u);
        EXPECT_TRUE(rig->line().log().empty());
        EXPECT_EQ(status(), "Write Fail");
        EXPECT_TRUE(commandsBack());
        EXPECT_EQ(runningTimers(), std::vector<std::string>{});
        setText(field, kept);
    }
    rig->press("BtnP2");
    EXPECT_EQ(status(), "Write Success");
}

// Live values: a tick whose reply is lost or bad shows "Read Fail" in red
// and keeps the values shown; the poll goes on and the next sound tick shows
// the new value. "Stop" ends the poll: nothing more is sent, the commands
// come back.
TEST_P(WindowRules, ABadLiveTickKeepsTheValuesAndThePollGoesOn)
{
    rig->press("BtnP1");
    rig->module().setInput(4096, 1234);
    rig->press(row.liveStart);
    QTimer *poll = rig->timer(row.poll);
    ASSERT_TRUE(poll->isActive());
    rig->fire(poll);
    int value = 1234;
    for (const LineFault fault : {LineFault::BadCrc, LineFault::NoReply, LineFault::Exception}) {
        SCOPED_TRACE(faultName(fault));
        value -= 111;
        rig->module().setInput(4096, value);
        rig->line().injectFault({fault, 4, 4096});
        rig->fire(poll); // collects a sound reply, sends the request that fails
        const QString shown = text(row.liveField);
        rig->fire(poll);
        EXPECT_EQ(status(), "Read Fail");
        EXPECT_EQ(colour(), Red);
        EXPECT_EQ(text(row.liveField), shown);
        rig->fire(poll);
        EXPECT_EQ(status(), "Read Success");
        EXPECT_NE(text(row.liveField), shown);
    }
    EXPECT_TRUE(poll->isActive());

    rig->press(row.liveStop);
    EXPECT_FALSE(poll->isActive());
    EXPECT_TRUE(commandsBack());
    rig->line().clearLog();
    rig->line().wait(2000);
    EXPECT_TRUE(rig->line().log().empty());
}

// A live command whose echo is refused goes out once more, and the poll
// starts all the same.
TEST_P(WindowRules, ARefusedLiveCommandIsSentOnceMoreAndThePollStarts)
{
    rig->press("BtnP1");
    rig->line().clearLog();
    rig->line().injectFault({LineFault::BadCrc, 5, row.liveCommand, 1, 2});
    rig->press(row.liveStart);
    EXPECT_EQ(std::ranges::count(rig->requests(), std::make_tuple(5, row.liveCommand, 40)), 2);
    EXPECT_EQ(std::get<1>(rig->requests().back()), 4096);
    EXPECT_TRUE(rig->timer(row.poll)->isActive());
}

INSTANTIATE_TEST_SUITE_P(Families, WindowRules, ::testing::ValuesIn(RuleRows), rowName);

// The windows of modules that keep an address and baud rate of their own.
class WindowSettingsRules : public WindowRules
{};

// A new address and rate written: the line follows them, and the module
// answers there.
TEST_P(WindowSettingsRules, ANewAddressAndBaudRateAreFollowed)
{
    rig->press("BtnP1");
    setText("ID_Edit", "17");
    rig->find<QComboBox>("ComboBox1")->setCurrentIndex(3);
    const int opens = rig->line().openCount();
    rig->press("BtnP2");
    EXPECT_EQ(status(), "Write Success");
    EXPECT_EQ(rig->link().ComBuf[cb::DevAddr], 17);
    EXPECT_EQ(rig->line().baudCode(), 3);
    EXPECT_EQ(rig->line().openCount(), opens + 1);
    EXPECT_EQ(rig->module().address(), 17);
    EXPECT_EQ(rig->module().baudCode(), 3);
    rig->press("BtnP1");
    EXPECT_EQ(status(), "Read Success");
}

// Activation stops the window's timers, reads the module's own address and
// rate, sends the module there and the line after it, then reads at that
// rate. A restore read without a sound answer twice moves nothing: the page
// is read at the scan's address and rate, and says it has not the module's.
TEST_P(WindowSettingsRules, ActivationPutsTheModuleBackToItsOwnAddressAndBaud)
{
    rig->module().setHolding(row.ownSettings, 5);
    rig->module().setHolding(row.ownSettings + 1, 1);
    rig->timer("Timer3")->start(); // the live poll
    rig->line().clearLog();
    rig->handled([&] { rig->window().FormActivate(); });
    EXPECT_FALSE(rig->timer("Timer3")->isActive());
    rig->settle();
    const auto &log = rig->line().log();
    ASSERT_GE(log.size(), 5u);
    EXPECT_EQ(log[0], (LoggedRequest{1, 3, row.ownSettings, 2, 2}));
    EXPECT_EQ(log[1], (LoggedRequest{1, 5, 19, 5, 2}));
    EXPECT_EQ(log[2], (LoggedRequest{5, 6, 20, 1, 2}));
    EXPECT_EQ(log[3], (LoggedRequest{5, 4, 7936, 4, 1}));
    EXPECT_EQ(log[4], (LoggedRequest{5, 3, 0, row.block, 1}));
    EXPECT_EQ(text("ID_Edit"), "5");
    EXPECT_EQ(rig->line().baudCode(), 1);
    EXPECT_EQ(status(), "Read Success");

    for (const LineFault fault : {LineFault::NoReply, LineFault::BadCrc, LineFault::Exception}) {
        SCOPED_TRACE(faultName(fault));
        reattach(familyWindow(row.window).module);
        rig->line().injectFault({fault, 3, row.ownSettings, 1, 2});
        rig->handled([&] { rig->window().FormActivate(); });
        rig->settle();
        EXPECT_EQ(rig->requests(), (Requests{{3, row.ownSettings, 2},
                                             {3, row.ownSettings, 2},
                                             {4, 7936, 4},
                                             {3, 0, row.block}}));
        EXPECT_EQ(rig->link().ComBuf[cb::DevAddr], 1);
        EXPECT_EQ(rig->line().baudCode(), 2);
        EXPECT_EQ(status(), "Read Fail");
    }
}

INSTANTIATE_TEST_SUITE_P(Families, WindowSettingsRules, ::testing::ValuesIn(rowsWithOwnSettings()),
                         rowName);

// The factory functions are offered in service mode only.
TEST_P(WindowRules, ServiceModeShowsTheFactoryFunctions)
{
    auto *pages = rig->find<QTabWidget>(familyWindow(row.window).pages);
    ASSERT_NE(pages, nullptr);
    const auto offered = [&](bool on) {
        for (const char *page : row.servicePages)
            EXPECT_EQ(pages->isTabVisible(pages->indexOf(rig->find<QWidget>(page))), on) << page;
        for (const char *control : row.serviceControls)
            EXPECT_EQ(rig->find<QWidget>(control)->isHidden(), !on) << control;
    };
    offered(false);
    rig->window().serviceModeChanged(true);
    offered(true);
    rig->window().serviceModeChanged(false);
    offered(false);
}
