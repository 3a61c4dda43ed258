// quorelctl against simulated modules of every family on pseudo-terminals:
// the program, its exit codes and messages, and what reached the modules.
#include "configuration_chains.h"
#include "configuration_file.h"
#include "default_configuration.h"
#include "quorelsim_process.h"
#include "sim_module.h"
#include "sim_options.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <regex>

namespace {
struct CtlRun
{
    int code = -1;
    std::string out;
    std::string err;
    qint64 ms = 0;
};

// quorelctl with the simulators' terminals listed as adapters.
CtlRun ctl(const QStringList &args, const std::vector<const QuorelsimProcess *> &sims)
{
    QStringList ports;
    for (const QuorelsimProcess *sim : sims)
        ports << QString::fromStdString(sim->slavePath());
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QUORELWIN_EXTRA_PORTS", ports.join(':'));
    process.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    process.start(QUORELCTL_PATH, args);
    CtlRun run;
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.ms = clock.elapsed();
    run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput().toStdString();
    run.err = process.readAllStandardError().toStdString();
    return run;
}

QString port(const QuorelsimProcess &sim)
{
    return QString::fromStdString(sim.slavePath());
}

// Writes of the configuration the simulator received: function 5 or 6 to a
// register other than the address and baud cells (which the scan and the
// restore write).
int configurationWrites(const QuorelsimProcess &sim)
{
    static const std::regex write(R"(rx  [0-9A-F]{2} 0[56] ([0-9A-F]{2}) ([0-9A-F]{2}))");
    const std::string log = sim.output();
    int count = 0;
    for (auto it = std::sregex_iterator(log.begin(), log.end(), write);
         it != std::sregex_iterator(); ++it) {
        const int reg = std::stoi((*it)[1].str() + (*it)[2].str(), nullptr, 16);
        if (reg != 19 && reg != 20)
            ++count;
    }
    return count;
}

// The configuration file of a module of the family with the simulator's
// default registers, as a read of it gives it.
std::string defaultFile(int family, const std::map<int, int> &changes = {})
{
    return configurationText(defaultConfiguration(family, changes));
}

QString saved(const QTemporaryDir &dir, const char *name, const std::string &text)
{
    QFile file(dir.filePath(name));
    file.open(QIODevice::WriteOnly);
    file.write(text.data(), static_cast<qint64>(text.size()));
    return file.fileName();
}

std::string fileText(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll().toStdString();
}

std::string chainTime(const std::string &messages)
{
    static const std::regex time(R"(in (\d+) ms)");
    std::smatch match;
    return std::regex_search(messages, match, time) ? "chain " + match[1].str() + " ms" : "?";
}

std::map<int, int> withoutSettings(std::map<int, int> values)
{
    values.erase(19);
    values.erase(20);
    return values;
}

struct FamilyCase
{
    int family;
    std::vector<std::string> target; // the second module's own settings
    int reg;                         // a register the first module holds otherwise
    int value;
};

void PrintTo(const FamilyCase &c, std::ostream *out)
{
    *out << "family " << c.family;
}

class EveryFamily : public ::testing::TestWithParam<FamilyCase>
{};
} // namespace

// Scan, read into a file, write that file into a second module, read it back.
TEST_P(EveryFamily, CopiesAConfigurationIntoASecondModule)
{
    const FamilyCase &c = GetParam();
    const std::string family = std::to_string(c.family);
    const std::string preset = std::to_string(c.reg) + "=" + std::to_string(c.value);
    QuorelsimProcess source, target;
    ASSERT_TRUE(source.start({"--family", family, "--hold", preset}));
    std::vector<std::string> targetArgs = {"--family", family};
    targetArgs.insert(targetArgs.end(), c.target.begin(), c.target.end());
    ASSERT_TRUE(target.start(targetArgs));
    const std::vector<const QuorelsimProcess *> sims = {&source, &target};
    QTemporaryDir dir;

    const CtlRun scan = ctl({"scan", "--json", "--port", port(source)}, sims);
    ASSERT_EQ(scan.code, 0) << scan.err;
    EXPECT_NE(scan.out.find("\"family\": " + family), std::string::npos) << scan.out;
    EXPECT_NE(scan.out.find("\"serial\": 703070001"), std::string::npos) << scan.out;

    const QString file = dir.filePath("source.json");
    const CtlRun read = ctl({"read", "--port", port(source), "-o", file}, sims);
    ASSERT_EQ(read.code, 0) << read.err;
    const Configuration original =
        parseConfiguration(fileText(file), static_cast<ModuleFamily>(c.family));
    EXPECT_EQ(original.values.at(c.reg), c.value);

    const CtlRun write = ctl({"write", "--port", port(target), file}, sims);
    ASSERT_EQ(write.code, 0) << write.err;
    EXPECT_NE(write.err.find("Write Success"), std::string::npos) << write.err;

    const CtlRun back = ctl({"read", "--port", port(target)}, sims);
    ASSERT_EQ(back.code, 0) << back.err;
    const Configuration copy = parseConfiguration(back.out, static_cast<ModuleFamily>(c.family));
    EXPECT_EQ(withoutSettings(copy.values), withoutSettings(original.values));
    // The second module keeps its own address and rate.
    if (!c.target.empty()) {
        EXPECT_EQ(copy.values.at(19), 7);
    }
    // The chains' own times (the tool reports them) against the whole runs.
    std::printf("[ bench ] family %d: scan run %lld ms; read run %lld ms (%s); write run %lld ms "
                "(%s)\n",
                c.family, static_cast<long long>(scan.ms), static_cast<long long>(read.ms),
                chainTime(read.err).c_str(), static_cast<long long>(write.ms),
                chainTime(write.err).c_str());
}

INSTANTIATE_TEST_SUITE_P(
    Quorelctl, EveryFamily,
    ::testing::Values(FamilyCase{1, {}, 5, 1},
                      FamilyCase{2, {"--address", "7", "--baud", "9600"}, 8, 1},
                      FamilyCase{3, {}, 5, 1},
                      FamilyCase{4, {"--address", "7", "--baud", "38400"}, 8, 1},
                      FamilyCase{5, {"--address", "7", "--baud", "9600"}, 8, 1}),
    [](const auto &info) { return "Family" + std::to_string(info.param.family); });

// Files that are refused before anything is sent, and modules that refuse:
// each with its exit code and message.
TEST(Quorelctl, RefusesWhatCannotBeWrittenWithItsExitCode)
{
    QTemporaryDir dir;
    struct Case
    {
        const char *name;
        int family;                   // of the module
        std::string file;             // the file given
        std::vector<std::string> sim; // further simulator options
        int code;
        const char *message;
        bool nothingWritten;
    } cases[] = {
        {"damaged",
         2,
         "{\"format\": \"QuorelWin configuration\", \"family\": 2",
         {},
         2,
         "the file is damaged",
         true},
        {"other family", 1, defaultFile(2), {}, 2, "the file is of another family", true},
        {"input check",
         2,
         defaultFile(2, {{2, 30000}}),
         {},
         2,
         "measuring range, low (Edi3, register 2)",
         true},
        {"exit rule",
         2,
         defaultFile(2, {{16, 0}}),
         {},
         2,
         "output function divisor C (Edit12, register 16)",
         true},
        {"refused write",
         2,
         defaultFile(2),
         {"--fault", "refuse:5:8x2"},
         1,
         "Write Fail: the module refused or did not answer (function 5, register 8",
         false},
        {"not stored", 1, defaultFile(1), {"--store-fails"}, 1, "Write Memory Fail", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QuorelsimProcess sim;
        std::vector<std::string> args = {"--family", std::to_string(c.family)};
        args.insert(args.end(), c.sim.begin(), c.sim.end());
        ASSERT_TRUE(sim.start(args));
        const CtlRun run =
            ctl({"write", "--port", port(sim), saved(dir, "file.json", c.file)}, {&sim});
        EXPECT_EQ(run.code, c.code) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        if (c.nothingWritten) {
            EXPECT_EQ(configurationWrites(sim), 0) << sim.output();
        }
        sim.stop(SIGTERM);
    }
}

TEST(Quorelctl, UsageAndNoModule)
{
    QuorelsimProcess sim;
    ASSERT_TRUE(sim.start({"--family", "2", "--fault", "pulled"}));
    const struct
    {
        QStringList args;
        int code;
        const char *text;
    } cases[] = {
        {{}, 2, "Usage: quorelctl COMMAND"},
        {{"--help"}, 0, "Exit codes"},
        {{"write", "--help"}, 0, "Usage: quorelctl write"},
        {{"write"}, 2, "write needs a configuration file"},
        {{"read", "--bogus"}, 2, "unknown option --bogus"},
        {{"live", "--count", "x"}, 2, "--count takes a whole number"},
        {{"scan", "--port", "/dev/nothing-here"}, 2, "No serial device"},
        {{"scan", "--port", port(sim)}, 3, "Device Not Found"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CtlRun run = ctl(c.args, {&sim});
        EXPECT_EQ(run.code, c.code) << run.err;
        EXPECT_NE((run.out + run.err).find(c.text), std::string::npos) << run.out << run.err;
    }
}

TEST(Quorelctl, ListsPortsAndLiveValuesWithTraffic)
{
    QuorelsimProcess sim;
    ASSERT_TRUE(sim.start({"--family", "2", "--input", "4096=1234"}));
    const CtlRun ports = ctl({"ports"}, {&sim});
    EXPECT_EQ(ports.code, 0);
    EXPECT_NE(ports.out.find("USB-to-Serial"), std::string::npos) << ports.out;
    EXPECT_NE(ports.out.find(sim.slavePath()), std::string::npos) << ports.out;

    const CtlRun live = ctl({"live", "--port", port(sim), "--count", "2", "--trace"}, {&sim});
    ASSERT_EQ(live.code, 0) << live.err;
    EXPECT_EQ(std::count(live.out.begin(), live.out.end(), '\n'), 2) << live.out;
    EXPECT_NE(live.out.find("4096=1234"), std::string::npos) << live.out;
    EXPECT_NE(live.err.find("Tx"), std::string::npos) << live.err;
}
