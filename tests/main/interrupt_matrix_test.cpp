// Every activity of every family window met by every event of its table, at
// every moment of its exchanges: before the first, after each one (between
// two, or while a timer or a storing result is awaited). After the event the
// window does what its table says, and the work left ends as work must: no
// collision on the line, no timer running but the idle window's, the command
// controls as at rest, no "Transmission..." left, and after a stop by an
// event that sends nothing itself, nothing more sent.
#include "window_rig.h"

#include "status_messages.h"
#include "up_down.h"

#include <QAbstractSlider>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <map>

namespace {

using A = Activity;
using E = WindowEvent;

// A window of the matrix, as text: its module's holding registers, the
// control that starts each activity and the control each command event
// presses (both keyed by the command that starts the activity; activation
// has none), the buttons that end work ("Stop", "Done"), the trim point
// selectors (off until a read after an activation), the fields typed first.
struct MatrixWindow
{
    const char *name;
    ModuleConfig config;
    const char *registers, *starts, *commands, *enders, *selectors, *fields;
};

// clang-format off
const MatrixWindow Windows[] = {
    {"TForm1", {2, 32, 9, 703070001, 1, 2}, "0=1 2=-50 3=1370 24=5 25=1",
     "Rd=BtnP1 Wr=BtnP2 Lv=Btn71 Ca=Btn11 Tr=RadioButton1 Sn=Button1 As=IDSet",
     "Rd=BtnP1 Wr=BtnP2 Lv=Btn71 Ca=Btn12 Tr=RadioButton3 Sn=Button1 As=IDSet", "Btn72 Btn13 Btn14",
     "RadioButton1 RadioButton2 RadioButton6 RadioButton7 Rad1 Rad2 RadioButton9 RadioButton10",
     "Edit1=703070002"},
    {"TForm2", {1, 1, 9, 703070001, 1, 2}, "0=1 2=-50 3=1370",
     "Rd=BtnP1 Wr=BtnP2 Lv=Btn71 Ca=Btn11 Tr=RadioButton1 Sn=Button1",
     "Rd=BtnP1 Wr=BtnP2 Lv=Btn71 Ca=Btn12 Tr=RadioButton3 Sn=Button1", "Btn72 Btn13 Btn14",
     "RadioButton1 RadioButton2 Rad1 Rad2", "Edit1=703070002"},
    {"TForm4", {3, 7, 5, 703070001, 1, 2}, "",
     "Rd=BtnP1 Wr=BtnP2 Lv=Btn71 Zs=Btn25_1 Tr=RadioButton1 Md=Button10 Sn=Button1",
     "Rd=BtnP1 Wr=BtnP2 Lv=Btn71 Zs=Btn_1 Tr=RadioButton3 Md=Button9 Sn=Button1", "Btn72",
     "RadioButton1 RadioButton2", "Edit1=703070002 Edit25_1=100"},
    {"TForm10", {3, 6, 3, 703070001, 1, 2}, "",
     "Rd=BtnP1 Wr=BtnP2 Lv=Btn71 Zs=Btn_100 Tr=RadioButton1 Md=Button8 Sn=Button1",
     "Rd=BtnP1 Wr=BtnP2 Lv=Btn71 Zs=Btn_1 Tr=RadioButton3 Md=Button9 Sn=Button1", "Btn72",
     "RadioButton1 RadioButton2", "Edit1=703070002"},
    {"TForm5", {4, 49, 3, 703070001, 1, 2}, "0=1 2=-50 3=1370 23=1 25=-50 26=1370 29=2 30=5 31=1",
     "Rd=BtnP1 Wr=BtnP2 Lv=Btn71 Ca=Btn11 Tr=RBtn1",
     "Rd=BtnP1 Wr=BtnP2 Lv=Btn71 Ca=Btn12 Tr=RBtn3", "Btn72 Btn13 Btn14",
     "RBtn1 RBtn2 RBtn4 RBtn5", ""},
    {"TForm7", {5, 50, 3, 703070001, 1, 2}, "0=8 3=100 23=8 26=100 29=2 30=5 31=1",
     "Rd=BtnP1 Wr=BtnP2 Lv=Btn11 Ca=Btn_21 Zr=Btn_11 Tr=RBtn1 Sn=Button3",
     "Rd=BtnP1 Wr=BtnP2 Lv=Btn11 Ca=Btn_22 Zr=Btn_33 Tr=RBtn3 Sn=Button3", "Btn12 Btn_27 Btn_28",
     "RBtn1 RBtn2 RBtn4 RBtn5", "Edit17=703070002"},
};
const std::pair<const char *, WindowEvent> Keys[] = {
    {"Rd", E::Read}, {"Wr", E::Write}, {"Lv", E::LiveStart}, {"Ca", E::CalibrationStart},
    {"Zs", E::ZeroSpanStart}, {"Zr", E::ZeroStep}, {"Tr", E::Trim}, {"Md", E::ModeChange},
    {"Sn", E::LoadSerialNumber}, {"As", E::AddressSet}};
// clang-format on

// "key=value key=value ..." as a map.
std::map<QString, QString> pairs(const char *text)
{
    std::map<QString, QString> map;
    for (const QString &pair : QString(text).split(' ', Qt::SkipEmptyParts))
        map[pair.section('=', 0, 0)] = pair.section('=', 1);
    return map;
}

// The control of a command event (or of the command that starts an activity).
QString control(const char *controls, WindowEvent event)
{
    for (const auto &[key, command] : Keys)
        if (command == event)
            return pairs(controls)[key];
    return {};
}

// What a window's operator can use: buttons, sliders and up-downs (but the
// trim point selectors, which wait for a read after an activation).
std::map<QString, bool> controls(Rig &rig, const MatrixWindow &w)
{
    std::map<QString, bool> enabled;
    for (QWidget *widget : rig.window().findChildren<QWidget *>()) {
        const QString name = widget->objectName();
        if (!name.isEmpty() && !QString(w.selectors).split(' ').contains(name) &&
            (qobject_cast<QAbstractButton *>(widget) || qobject_cast<QAbstractSlider *>(widget) ||
             qobject_cast<UpDown *>(widget)))
            enabled[name] = widget->isEnabled();
    }
    return enabled;
}

ActivityOwner &owner(Rig &rig)
{
    return rig.window().activities();
}

// One step of the work under way (an exchange at most); false when nothing
// is left to step but the idle window's own timers.
bool step(Rig &rig, bool polls)
{
    ChainRunner &chain = rig.window().chain();
    if (chain.continuing()) {
        chain.continueNow();
        return true;
    }
    if (QTimer *timer = chain.awaitedTimer()) {
        rig.fire(timer);
        return true;
    }
    if (TForm6 *dialog = rig.dialog(); dialog && dialog->isVisible()) {
        rig.handled([&] { dialog->Button1Click(); });
        return true;
    }
    if (polls)
        for (QTimer *timer : rig.window().timers())
            if (timer->isActive() && timer->objectName() != "Timer7") {
                rig.handled([&] { rig.fire(timer); });
                return true;
            }
    return false;
}

void click(Rig &rig, const QString &control)
{
    auto *button = rig.find<QAbstractButton>(control);
    ASSERT_NE(button, nullptr) << control.toStdString();
    // As its handler runs, enabled or not: the table decides.
    emit button->clicked(false);
}

// Starts an activity; then steps it until `requests` have gone out (or, with
// -1, through its start and two poll ticks), and returns how many did.
std::size_t drive(Rig &rig, const MatrixWindow &w, Activity activity, long requests)
{
    const auto starter = std::find_if(std::begin(Keys), std::end(Keys), [&](const auto &key) {
        return activityOf(key.second) == activity;
    });
    if (activity == A::Activation)
        rig.window().FormActivate();
    else
        click(rig, control(w.starts, starter->second));
    int ticks = 0;
    while (requests < 0 || rig.line().log().size() < static_cast<std::size_t>(requests)) {
        const bool chainDone = !rig.window().chain().isRunning();
        if ((chainDone && ++ticks > 2) || !step(rig, true))
            break;
    }
    return rig.line().log().size();
}

void invoke(Rig &rig, const MatrixWindow &w, WindowEvent event, const QString &folder)
{
    DeviceWindow &window = rig.window();
    switch (event) {
    case E::Activation: window.FormActivate(); break;
    case E::LeaveServiceMode: window.serviceModeChanged(false); break;
    case E::ScanStart: window.StartClick(); break;
    case E::Close: window.closing(); break;
    case E::LanguageSwitch: window.TraditionalClick(); break;
    case E::OpenConfiguration: window.openConfiguration(folder + "/saved.json", false); break;
    case E::SaveConfiguration: window.saveConfiguration(folder + "/again.json"); break;
    case E::DialogAnswer: rig.dialog()->Button2Click(); break;
    default: click(rig, control(w.commands, event));
    }
}

// Brings whatever runs to its end: its "Stop" or "Done", a zero/span run
// through Scan > Start, timers run out.
void finish(Rig &rig, const MatrixWindow &w)
{
    for (int round = 0; round < 3 && owner(rig).current() != A::Idle; ++round) {
        rig.settle();
        if (owner(rig).current() == A::ZeroSpanRun)
            rig.window().stopWork();
        for (const QString &ender : QString(w.enders).split(' '))
            if (rig.find<QAbstractButton>(ender)->isEnabled())
                rig.press(ender);
        rig.runTimersOut(120);
    }
}

bool transmissionShown(Rig &rig)
{
    const i18n::Texts texts = i18n::statusTexts(i18n::Status::Transmission);
    const QString shown = rig.window().statusLabel()->text();
    return shown == QString::fromUtf8(texts.english) ||
           shown == QString::fromUtf8(texts.traditional) ||
           shown == QString::fromUtf8(texts.simplified);
}

// What an idle window must show; empty when it does.
std::string idleProblems(Rig &rig, const MatrixWindow &w, const std::map<QString, bool> &rest)
{
    std::string problems;
    if (owner(rig).current() != A::Idle)
        problems += " not idle: " + std::string(activityName(owner(rig).current()));
    for (QTimer *timer : rig.window().timers())
        if (timer->isActive() && timer->objectName() != "Timer7") // the idle mode labels
            problems += " " + timer->objectName().toStdString() + " runs;";
    for (const auto &[name, on] : controls(rig, w))
        if (rest.contains(name) && rest.at(name) != on)
            problems += " " + name.toStdString() + (on ? " on;" : " off;");
    if (transmissionShown(rig))
        problems += " \"Transmission...\" left;";
    return problems;
}

class InterruptMatrix : public ::testing::TestWithParam<const char *>
{};

TEST_P(InterruptMatrix, EveryEventAtEveryMomentOfEveryActivity)
{
    const MatrixWindow &w =
        *std::find_if(std::begin(Windows), std::end(Windows),
                      [](const auto &m) { return GetParam() == std::string(m.name); });
    const ActivityTable &table = activityTable(w.name);
    QTemporaryDir folder;
    const std::unique_ptr<Rig> rig = makeRig(w.name, w.config);
    std::map<QString, bool> rest;
    const auto prepare = [&] {
        finish(*rig, w); // what the case before left running
        rig->reattach(w.config);
        for (const auto &[reg, value] : pairs(w.registers))
            rig->module().setHolding(reg.toInt(), value.toInt() & 0xFFFF);
        rig->window().EnglishClick();
        if (rig->dialog())
            rig->window().show(); // the confirmation answers a window that is shown
        rig->press("BtnP1");
        rig->window().serviceModeChanged(true);
        for (const auto &[field, text] : pairs(w.fields))
            rig->leave(field, text);
        rest = controls(*rig, w);
        if (!QFile::exists(folder.path() + "/saved.json"))
            rig->window().saveConfiguration(folder.path() + "/saved.json");
        rig->line().clearLog();
        rig->messages().clear();
    };

    int cases = 0;
    for (const Activity activity : table.activities()) {
        prepare();
        const std::size_t moments = drive(*rig, w, activity, -1);
        for (std::size_t moment = 0; moment <= moments; ++moment)
            for (const WindowEvent event : table.events()) {
                SCOPED_TRACE(std::string(activityName(activity)) + " after " +
                             std::to_string(moment) + " requests, " +
                             std::string(eventName(event)));
                prepare();
                const int collisions = rig->line().collisions();
                drive(*rig, w, activity, static_cast<long>(moment));
                // The event first lets the chain make the exchanges it holds the line for.
                owner(*rig).awaitLine();
                const Activity before = owner(*rig).current();
                const Response response = table.response(before, event);
                const auto controlsBefore = controls(*rig, w);
                rig->handled([&] { invoke(*rig, w, event, folder.path()); });
                ++cases;

                const Activity after = owner(*rig).current();
                const std::size_t sent = rig->line().log().size();
                switch (response) {
                case Response::Refuse:
                    EXPECT_EQ(after, before);
                    EXPECT_EQ(controls(*rig, w), controlsBefore);
                    break;
                case Response::Within: EXPECT_TRUE(after == before || after == A::Idle); break;
                case Response::Go:
                case Response::Stop:
                    // A first point of another mode's table reads the module instead.
                    EXPECT_TRUE(after == A::Idle || after == activityOf(event) ||
                                (event == E::ZeroSpanStart && after == A::Read))
                        << activityName(after);
                    break;
                }
                if (after == A::Idle) {
                    EXPECT_EQ(idleProblems(*rig, w, rest), "") << "right after the event";
                }
                finish(*rig, w);
                EXPECT_EQ(idleProblems(*rig, w, rest), "") << "at the end";
                if (response == Response::Stop && activityOf(event) == A::Idle) {
                    EXPECT_EQ(rig->line().log().size(), sent) << "sent after the stop";
                }
                EXPECT_EQ(rig->line().collisions(), collisions);
            }
    }
    std::printf("[ matrix   ] %s: %d cases\n", w.name, cases);
}

INSTANTIATE_TEST_SUITE_P(Windows, InterruptMatrix,
                         ::testing::Values("TForm1", "TForm2", "TForm4", "TForm10", "TForm5",
                                           "TForm7"),
                         [](const auto &info) { return std::string(info.param); });

} // namespace
