// Every chain of every family window under every fault of the line at every
// request it makes. A row names a window, a chain and how to start it; each
// row runs once without a fault to count its requests and to see where it
// leaves the module and the window, then once per fault kind and request
// position on a fresh window and module. Every run must end with the chain
// ended and no timer left running, the command controls as the chain found
// them or as the fault-free run left them, no "Success" (nor a success
// state) unless the module ended as in the fault-free run, and no module
// setting other than its old value or the fault-free run's.
#include "window_rig.h"

#include "calibration_points.h"
#include "fault_plan.h"
#include "up_down.h"
#include "vma_distributor_registers.h"
#include "zero_span_tables.h"

#include <QAbstractSlider>
#include <QComboBox>
#include <QToolButton>

#include <cstdio>
#include <map>
#include <set>

namespace {

// What a row knows of its window's modules.
struct WindowKind
{
    QString name;
    ModuleConfig config;
    std::vector<std::pair<int, int>> registers; // the module's configuration
    std::vector<std::pair<int, int>> edits;     // changed after a read, before the chain
    const char *liveStart, *liveStop;
    const char *trimPoint, *trimNormal, *trimStep;
    const char *serial;      // nullptr: the window has no serial number
    const char *serialField; // the number it loads
};

const std::vector<WindowKind> &windowKinds()
{
    static const std::vector<WindowKind> kinds = {
        {"TForm1",
         {2, 32, 9, 703070001, 1, 2},
         {{0, 1}, {1, 0}, {2, -50}, {3, 1370}, {18, 1}, {23, 3}, {24, 5}, {25, 1}},
         {{2, 0}, {3, 1000}, {6, 15}, {8, 1}, {14, 3}},
         "Btn71",
         "Btn72",
         "RadioButton1",
         "RadioButton3",
         "UpDown3",
         "Button1",
         "Edit1"},
        {"TForm2",
         {1, 1, 9, 703070001, 1, 2},
         {{0, 1}, {1, 0}, {2, -50}, {3, 1370}},
         {{2, 0}, {3, 1000}, {4, 15}, {5, 1}},
         "Btn71",
         "Btn72",
         "RadioButton1",
         "RadioButton3",
         "UpDown3",
         "Button1",
         "Edit1"},
        {"TForm4",
         {3, 7, 5, 703070001, 1, 2},
         {},
         {{4, 20}, {5, 1}, {6, 1}},
         "Btn71",
         "Btn72",
         "RadioButton1",
         "RadioButton3",
         "UpDown3",
         "Button1",
         "Edit1"},
        {"TForm10",
         {3, 6, 3, 703070001, 1, 2},
         {},
         {{4, 20}, {5, 1}, {6, 1}},
         "Btn71",
         "Btn72",
         "RadioButton1",
         "RadioButton3",
         "UpDown3",
         "Button1",
         "Edit1"},
        {"TForm5",
         {4, 49, 3, 703070001, 1, 2},
         {{0, 1}, {2, -50}, {3, 1370}, {23, 1}, {25, -50}, {26, 1370}, {29, 2}, {30, 5}, {31, 1}},
         {{2, 0}, {3, 1000}, {6, 15}, {8, 1}, {25, 10}, {28, 1}},
         "Btn71",
         "Btn72",
         "RBtn1",
         "RBtn3",
         "UpDown9",
         nullptr,
         nullptr},
        {"TForm7",
         {5, 50, 3, 703070001, 1, 2},
         {{0, 8}, {2, 0}, {3, 100}, {23, 8}, {25, 0}, {26, 100}, {29, 2}, {30, 5}, {31, 1}},
         {{2, 10}, {3, 80}, {6, 3}, {8, 1}, {26, 90}, {16, 2}},
         "Btn11",
         "Btn12",
         "RBtn1",
         "RBtn3",
         "UpDown9",
         "Button3",
         "Edit17"},
    };
    return kinds;
}

const WindowKind &kindOf(const QString &name)
{
    for (const WindowKind &kind : windowKinds())
        if (kind.name == name)
            return kind;
    throw std::logic_error("no window kind " + name.toStdString());
}

using Step = std::function<void(Rig &)>;

struct ChainRow
{
    QString window;
    std::string chain;
    Step prepare;               // fault-free, before the requests are counted
    Step run;                   // starts the chain and drives it to its end
    int model = -1;             // the module's model code, when not the window's usual one
    bool compareFields = false; // a "Success" shows what the fault-free run showed
    // Controls at the end that the window's rules keep on purpose after a
    // failure (a refused calibration point keeps only its own button).
    std::function<bool(const std::map<QString, bool> &enabled)> keptOnPurpose;
    // Runs may reuse the window of the run before (a window of many points
    // takes long to build): see preparedRig.
    bool reusable = false;

    ChainRow(QString window, std::string chain, Step prepare, Step run, int model = -1,
             bool compareFields = false,
             std::function<bool(const std::map<QString, bool> &)> keptOnPurpose = {},
             bool reusable = false)
        : window(std::move(window))
        , chain(std::move(chain))
        , prepare(std::move(prepare))
        , run(std::move(run))
        , model(model)
        , compareFields(compareFields)
        , keptOnPurpose(std::move(keptOnPurpose))
        , reusable(reusable)
    {}
};

// --- what a run leaves ------------------------------------------------------

using State = std::map<std::string, long long>;

State moduleState(SimModule &module)
{
    State state;
    for (int reg = 0; reg < 128; ++reg)
        if (module.hasHolding(reg))
            state["holding " + std::to_string(reg)] = module.holding(reg);
    state["address"] = module.address();
    state["baud"] = module.baudCode();
    state["model"] = module.input(simreg::InfoModel);
    state["serial"] = module.serialNumber();
    state["output 1"] = static_cast<int>(module.outputMode(1));
    state["output 2"] = static_cast<int>(module.outputMode(2));
    state["calibrating"] = module.calibrationActive();
    // A point stored twice with the same code and reference (a store code
    // repeated after a damaged echo) is stored once.
    std::set<std::pair<int, int>> stored;
    for (const StoredPoint &point : module.storedPoints())
        stored.insert({point.code, point.reference});
    for (const auto &[code, reference] : stored)
        state["stored code " + std::to_string(code) + " reference " + std::to_string(reference)] =
            1;
    return state;
}

std::map<QString, QString> fieldState(QWidget &window)
{
    std::map<QString, QString> fields;
    for (QLineEdit *edit : window.findChildren<QLineEdit *>())
        if (!edit->objectName().isEmpty())
            fields[edit->objectName()] = edit->text();
    for (QAbstractButton *button : window.findChildren<QAbstractButton *>())
        if (button->isCheckable() && !button->objectName().isEmpty())
            fields[button->objectName()] = button->isChecked() ? "checked" : "";
    for (QComboBox *combo : window.findChildren<QComboBox *>())
        fields[combo->objectName()] = QString::number(combo->currentIndex());
    return fields;
}

// Which controls the operator can use: buttons, sliders and up-downs.
std::map<QString, bool> enabledState(QWidget &window)
{
    std::map<QString, bool> enabled;
    for (QWidget *widget : window.findChildren<QWidget *>()) {
        if (widget->objectName().isEmpty())
            continue;
        if (qobject_cast<QAbstractButton *>(widget) || qobject_cast<QAbstractSlider *>(widget) ||
            qobject_cast<UpDown *>(widget))
            enabled[widget->objectName()] = widget->isEnabled();
    }
    return enabled;
}

struct Outcome
{
    State module;
    std::map<QString, QString> fields;
    std::map<QString, bool> enabled;
    QString status;
    int requests = 0;
    std::set<std::pair<int, int>> written; // (register, value) of every write sent
};

// A window as the row's preparation leaves it.
struct Prepared
{
    std::map<QString, QString> fields;
    std::map<QString, bool> enabled;
};

struct RunResult
{
    std::unique_ptr<Rig> rig;
    Prepared prepared;
    State before;                   // the module when the chain starts
    std::map<QString, bool> atRest; // the controls when the chain starts
    Outcome outcome;
    std::vector<std::string> problems; // of the run as a whole
    bool leftThroughScan = false;
};

ModuleConfig configOf(const ChainRow &row)
{
    ModuleConfig config = kindOf(row.window).config;
    if (row.model >= 0)
        config.model = row.model;
    return config;
}

void prepare(Rig &rig, const ChainRow &row)
{
    for (const auto &[reg, value] : kindOf(row.window).registers)
        rig.module().setHolding(reg, value & 0xFFFF);
    // Live values stand still, so that what a poll shows does not depend on
    // how much time the faults cost.
    for (int reg = simreg::Live; reg < simreg::Live + 3; ++reg)
        if (rig.module().hasInput(reg))
            rig.module().setInput(reg, rig.module().input(reg));
    if (row.prepare)
        row.prepare(rig);
    rig.errors().clear();
    rig.messages().clear();
    rig.line().clearLog();
}

// The window the run starts from: a fresh one, prepared; or for a reusable
// row the window of the run before, attached to a fresh module and prepared
// again, its read-only display fields (counts, live values: what polls left)
// put back as a fresh window shows them. It is used only when it then shows
// exactly what a fresh prepared window shows, fields and controls.
std::unique_ptr<Rig> preparedRig(const ChainRow &row, std::unique_ptr<Rig> used,
                                 const Prepared *fresh)
{
    const ModuleConfig config = configOf(row);
    if (used && fresh && row.reusable) {
        used->reattach(config);
        prepare(*used, row);
        for (QLineEdit *edit : used->window().findChildren<QLineEdit *>()) {
            const auto it = fresh->fields.find(edit->objectName());
            if (edit->isReadOnly() && it != fresh->fields.end())
                edit->setText(it->second);
        }
        if (fieldState(used->window()) == fresh->fields &&
            enabledState(used->window()) == fresh->enabled)
            return used;
    }
    used.reset();
    std::unique_ptr<Rig> rig = makeRig(row.window, config);
    prepare(*rig, row);
    return rig;
}

// The chain on a prepared window, with the fault armed just before it starts.
RunResult runRow(const ChainRow &row, std::optional<FaultRule> fault,
                 std::unique_ptr<Rig> used = {}, const Prepared *fresh = nullptr)
{
    RunResult run;
    run.rig = preparedRig(row, std::move(used), fresh);
    Rig &rig = *run.rig;
    run.prepared = {fieldState(rig.window()), enabledState(rig.window())};
    run.before = moduleState(rig.module());
    run.atRest = enabledState(rig.window());
    // A status shown at the end is the chain's own.
    rig.window().statusLabel()->clear();
    if (fault)
        rig.line().injectFault(*fault);
    row.run(rig);

    Outcome &out = run.outcome;
    out.module = moduleState(rig.module());
    out.fields = fieldState(rig.window());
    out.enabled = enabledState(rig.window());
    out.status = rig.window().statusLabel()->text();
    run.leftThroughScan = rig.leftThroughScan;
    for (const LoggedRequest &request : rig.line().log()) {
        out.requests += request.heard ? 1 : 0;
        if (request.function == 5 || request.function == 6)
            out.written.insert({request.reg, request.value});
    }

    if (rig.window().busy())
        run.problems.push_back("the chain still runs");
    for (QTimer *timer : rig.window().timers())
        if (timer->isActive())
            run.problems.push_back(timer->objectName().toStdString() + " still runs");
    if (rig.dialog() && rig.dialog()->isVisible())
        run.problems.push_back("the confirmation is still open");
    // A conversion error (Done without a count) is the program's standard
    // error box; anything else reaching it is a fault.
    for (const QString &error : rig.errors())
        if (!fault || !error.contains("is not a valid"))
            run.problems.push_back("error box: " + error.toStdString());
    return run;
}

std::string shown(const std::string &text)
{
    return text;
}
std::string shown(const QString &text)
{
    return text.toStdString();
}
std::string shown(long long value)
{
    return std::to_string(value);
}
std::string shown(bool value)
{
    return value ? "on" : "off";
}

// What differs between two states, as "name a/b" pairs.
template<class Map>
std::string differences(const Map &a, const Map &b)
{
    std::string text;
    for (const auto &[key, value] : a) {
        const auto it = b.find(key);
        if (it == b.end() || it->second != value)
            text += " " + shown(key) + " " + shown(value) + "/" +
                    (it == b.end() ? std::string("-") : shown(it->second));
    }
    return text;
}

// The register an item of the module's state is written through.
int registerOf(const std::string &item)
{
    if (item == "address")
        return simreg::AddressCell;
    if (item == "baud")
        return simreg::BaudCell;
    if (item.rfind("holding ", 0) == 0)
        return std::stoi(item.substr(8));
    return -1;
}

// The verdict on a faulted run against the row's fault-free run.
std::vector<std::string> judge(const ChainRow &row, const RunResult &run, const Outcome &clean)
{
    std::vector<std::string> problems = run.problems;
    const Outcome &out = run.outcome;
    const bool cleanState = out.enabled == clean.enabled;
    const bool kept = row.keptOnPurpose && row.keptOnPurpose(out.enabled);
    if (!cleanState && out.enabled != run.atRest && !kept)
        problems.push_back("controls neither back nor as after the fault-free run: " +
                           differences(out.enabled, run.atRest));
    // A success, said or shown, leaves the module as the fault-free run did.
    const bool saysSuccess = out.status.contains("Success");
    const bool showsSuccess = cleanState && clean.enabled != run.atRest &&
                              !out.status.contains("Fail") && !run.leftThroughScan;
    if ((saysSuccess || showsSuccess) && out.module != clean.module)
        problems.push_back(
            (saysSuccess ? "\"" + out.status.toStdString() + "\"" : "success state") +
            " with the module unlike the fault-free run: " + differences(out.module, clean.module));
    // No setting comes from a failed reply: each is its old value, the one
    // the fault-free run left or one the fault-free run wrote on its way (a
    // pulled adapter stops a chain anywhere). A point left running is no
    // setting.
    for (const auto &[item, value] : out.module) {
        if (item == "calibrating")
            continue;
        const auto old = run.before.find(item);
        const auto good = clean.module.find(item);
        const bool asBefore = old != run.before.end() && old->second == value;
        const bool asClean = good != clean.module.end() && good->second == value;
        const bool onTheWay = clean.written.contains({registerOf(item), static_cast<int>(value)});
        if (!asBefore && !asClean && !onTheWay)
            problems.push_back(item + " = " + std::to_string(value) + ", neither " +
                               (old != run.before.end() ? std::to_string(old->second) : "-") +
                               " nor " +
                               (good != clean.module.end() ? std::to_string(good->second) : "-"));
    }
    return problems;
}

// --- the rows ---------------------------------------------------------------

void read(Rig &rig)
{
    rig.press("BtnP1");
}

// "Done" of a calibration point, pressed again while the point still runs
// (an operator waits for a count and tries once more); a point that cannot
// end is left through Scan > Start, which stops the window's work.
void pressDone(Rig &rig, const QString &done)
{
    rig.press(done);
    for (int again = 0; again < 3 && rig.find<QAbstractButton>(done)->isEnabled(); ++again) {
        rig.ticks(2);
        rig.press(done);
    }
    if (rig.find<QAbstractButton>(done)->isEnabled()) {
        rig.leftThroughScan = true;
        rig.handled([&] { rig.window().stopWork(); });
    }
}

void editModule(Rig &rig)
{
    for (const auto &[reg, value] : kindOf(rig.window().objectName()).edits)
        rig.module().setHolding(reg, value & 0xFFFF);
}

void serviceMode(Rig &rig)
{
    rig.window().serviceModeChanged(true);
}

void addCommonRows(std::vector<ChainRow> &rows, const WindowKind &kind)
{
    const QString w = kind.name;
    rows.push_back({w,
                    "activation",
                    {},
                    [](Rig &rig) {
                        rig.handled([&] { rig.window().FormActivate(); });
                        rig.settle();
                    },
                    -1,
                    true});
    rows.push_back({w, "read",
                    [](Rig &rig) {
                        read(rig);
                        editModule(rig);
                    },
                    read, -1, true});
    rows.push_back({w, "write",
                    [](Rig &rig) {
                        read(rig);
                        editModule(rig);
                    },
                    [](Rig &rig) { rig.press("BtnP2"); }});
    const QString start = kind.liveStart, stop = kind.liveStop;
    rows.push_back({w, "live values", read,
                    [start, stop](Rig &rig) {
                        rig.press(start);
                        rig.ticks(3);
                        rig.press(stop);
                    },
                    -1, true});
    const QString point = kind.trimPoint, normal = kind.trimNormal, step = kind.trimStep;
    rows.push_back({w, "trim point", read, [point](Rig &rig) { rig.press(point); }});
    rows.push_back({w, "trim normal", read, [normal](Rig &rig) { rig.press(normal); }});
    rows.push_back({w, "trim step",
                    [point](Rig &rig) {
                        read(rig);
                        rig.press(point);
                    },
                    [step](Rig &rig) {
                        rig.handled([&] { rig.find<UpDown>(step)->upButton()->click(); });
                        rig.settle();
                    }});
    if (kind.serial) {
        const QString serial = kind.serial, field = kind.serialField;
        rows.push_back({w, "serial number",
                        [field](Rig &rig) {
                            serviceMode(rig);
                            rig.find<QLineEdit>(field)->setText("703070002");
                        },
                        [serial](Rig &rig) { rig.press(serial); }});
    }
}

void addCalibrationRows(std::vector<ChainRow> &rows, const QString &window,
                        const CalibrationTable &table)
{
    for (const CalibrationPoint &point : table) {
        const QString start = qs(point.start), done = qs(point.done);
        rows.push_back({window,
                        "calibration " + std::string(point.start) + "/" + std::string(point.done),
                        serviceMode, [start, done](Rig &rig) {
                            rig.press(start);
                            rig.ticks(2);
                            pressDone(rig, done);
                        }});
    }
}

// Fills the value fields of a zero/span table with rising values the checks
// take, then runs its first `points` points.
void zeroSpanPrefix(Rig &rig, const ZeroSpanSet &set, const ZeroSpanTable &table, int points)
{
    read(rig);
    const int n = static_cast<int>(table.points.size());
    for (int k = 0; k < n; ++k) {
        const ZeroSpanPoint &point = table.points[static_cast<std::size_t>(k)];
        if (!point.fixed.empty())
            continue;
        const bool compact = set.rules.everyButton || point.betweenEnds;
        rig.leave(QString::fromStdString(point.value),
                  QString::number(compact ? 1000 * k / (n - 1) : 100 + 1000 * k));
    }
    for (int k = 0; k < points; ++k) {
        const ZeroSpanPoint &point = table.points[static_cast<std::size_t>(k)];
        rig.press(QString::fromStdString(point.set));
        rig.ticks(2);
        pressDone(rig, QString::fromStdString(point.done));
    }
}

void addZeroSpanRows(std::vector<ChainRow> &rows, const QString &window, const ZeroSpanSet &set)
{
    for (const ZeroSpanTable &table : set.tables) {
        rows.push_back({window, "mode " + table.modeCaption, serviceMode,
                        [button = QString::fromStdString(table.modeButton)](Rig &rig) {
                            rig.press(button);
                            rig.runTimersOut();
                        }});
        for (std::size_t k = 0; k < table.points.size(); ++k) {
            const ZeroSpanPoint &point = table.points[k];
            rows.push_back(
                {window,
                 std::to_string(table.points.size()) + "-point " + point.set + "/" + point.done,
                 [&set, &table, k](Rig &rig) {
                     zeroSpanPrefix(rig, set, table, static_cast<int>(k));
                 },
                 [set = QString::fromStdString(point.set),
                  done = QString::fromStdString(point.done)](Rig &rig) {
                     rig.press(set);
                     rig.ticks(2);
                     // A point whose start failed is not confirmed (the compact
                     // window leaves every "Done" enabled).
                     if (!rig.window().statusLabel()->text().contains("Fail"))
                         pressDone(rig, done);
                 },
                 table.mode, false,
                 // A value refused twice leaves only its own "Set Span" enabled;
                 // a run left through Scan > Start gives every command back.
                 [&table, set = point.set](const std::map<QString, bool> &enabled) {
                     bool refused = true, left = true;
                     for (const char *command : {"BtnP1", "BtnP2", "Btn71", "Btn72", "Button1"}) {
                         refused = refused && !enabled.at(command);
                         left = left && enabled.at(command);
                     }
                     for (const ZeroSpanPoint &other : table.points)
                         refused =
                             refused && !enabled.at(QString::fromStdString(other.done)) &&
                             enabled.at(QString::fromStdString(other.set)) == (other.set == set);
                     return refused || left;
                 },
                 true});
        }
    }
}

std::vector<ChainRow> rowsOf(const QString &window)
{
    std::vector<ChainRow> rows;
    addCommonRows(rows, kindOf(window));
    if (window == "TForm1") {
        rows.push_back({window, "address Set",
                        [](Rig &rig) {
                            read(rig);
                            serviceMode(rig);
                            rig.find<QLineEdit>("ID_Edit")->setText("7");
                        },
                        [](Rig &rig) { rig.press("IDSet"); }});
        addCalibrationRows(rows, window, converterCalibration());
    } else if (window == "TForm2") {
        addCalibrationRows(rows, window, transmitterCalibration());
    } else if (window == "TForm4") {
        addZeroSpanRows(rows, window, resistanceZeroSpan());
    } else if (window == "TForm10") {
        addZeroSpanRows(rows, window, compactZeroSpan());
    } else if (window == "TForm5") {
        addCalibrationRows(rows, window, distributorCalibration());
    } else if (window == "TForm7") {
        for (const char *zero : {"Btn_11", "Btn_33"})
            rows.push_back({window, std::string("zero step ") + zero, serviceMode,
                            [button = QString(zero)](Rig &rig) {
                                rig.press(button);
                                rig.runTimersOut();
                            }});
        addCalibrationRows(rows, window, vmaDistributorCalibration());
    }
    return rows;
}

struct Tally
{
    int runs = 0;
    int sound = 0;
};

class FaultMatrix : public ::testing::TestWithParam<const char *>
{};

TEST_P(FaultMatrix, EveryChainSurvivesEveryFaultAtEveryRequest)
{
    const QString window = GetParam();
    Tally total;
    std::printf("%-8s %-34s %8s %5s %6s\n", "window", "chain", "requests", "runs", "sound");
    for (const ChainRow &row : rowsOf(window)) {
        SCOPED_TRACE(window.toStdString() + " " + row.chain);
        RunResult clean = runRow(row, std::nullopt);
        EXPECT_EQ(clean.problems, std::vector<std::string>{}) << "fault-free";
        EXPECT_FALSE(clean.outcome.status.contains("Fail")) << clean.outcome.status.toStdString();
        clean.rig.reset();
        if (clean.outcome.requests == 0) {
            ADD_FAILURE() << "no request";
            continue;
        }

        Tally tally;
        std::unique_ptr<Rig> used;
        for (const LineFault fault : AllLineFaults) {
            for (int n = 1; n <= clean.outcome.requests; ++n) {
                RunResult run =
                    runRow(row, FaultRule{fault, -1, -1, n}, std::move(used), &clean.prepared);
                const bool reached = run.rig->line().pendingFaults() == 0;
                used = std::move(run.rig);
                if (!reached) {
                    used.reset(); // its fault is still armed
                    continue;     // the run ended before its nth request
                }
                const std::vector<std::string> problems = judge(row, run, clean.outcome);
                ++tally.runs;
                tally.sound += problems.empty() ? 1 : 0;
                EXPECT_EQ(problems, std::vector<std::string>{})
                    << faultName(fault) << " at request " << n;
            }
        }
        std::printf("%-8s %-34s %8d %5d %6d\n", window.toStdString().c_str(), row.chain.c_str(),
                    clean.outcome.requests, tally.runs, tally.sound);
        total.runs += tally.runs;
        total.sound += tally.sound;
    }
    std::printf("%-8s %-34s %8s %5d %6d\n", window.toStdString().c_str(), "all chains", "",
                total.runs, total.sound);
    std::fflush(stdout);
}

INSTANTIATE_TEST_SUITE_P(Windows, FaultMatrix,
                         ::testing::Values("TForm1", "TForm2", "TForm4", "TForm10", "TForm5",
                                           "TForm7"),
                         [](const auto &info) { return std::string(info.param); });

} // namespace
