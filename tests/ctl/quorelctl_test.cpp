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
#include <cstdio>
#include <filesystem>
#include <regex>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
struct CtlRun
{
    int code = -1;
    std::string out;
    std::string err;
    qint64 ms = 0;
};

// quorelctl with the simulators' terminals (and further paths) listed as
// adapters; unprivileged: run as a user other than root (nobody), when the
// test runs as root.
CtlRun ctl(const QStringList &args, const std::vector<const QuorelsimProcess *> &sims,
           const QStringList &extra = {}, bool unprivileged = false)
{
    QStringList ports;
    for (const QuorelsimProcess *sim : sims)
        ports << QString::fromStdString(sim->slavePath());
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QUORELWIN_EXTRA_PORTS", (ports + extra).join(':'));
    process.setProcessEnvironment(env);
    if (unprivileged && ::geteuid() == 0)
        process.setChildProcessModifier([] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(99);
        });
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

// True when a user other than the owner may run the program: every folder
// above it searchable by others (a build in a private folder is not).
bool othersMayRun(const std::string &program)
{
    for (auto path = std::filesystem::path(program).parent_path(); path != path.root_path();
         path = path.parent_path()) {
        struct stat info
        {};
        if (::stat(path.c_str(), &info) != 0 || !(info.st_mode & S_IXOTH))
            return false;
    }
    return true;
}

// Lines of the simulator's log with text: " rx " for each request it received.
int logged(const QuorelsimProcess &sim, const std::string &text = " rx ")
{
    const std::string log = sim.output();
    int count = 0;
    for (auto at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
        ++count;
    return count;
}

QString port(const QuorelsimProcess &sim)
{
    return QString::fromStdString(sim.slavePath());
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

// Files refused once the module is known, and modules that refuse: each
// with its exit code and message.
TEST(Quorelctl, RefusesWhatCannotBeWrittenWithItsExitCode)
{
    QTemporaryDir dir;
    // A thermocouple converter file: its output range is in tenths from version 3 on.
    const std::string thermocouple = defaultFile(2, {{0, 1}, {1, 0}, {4, 0}, {5, 3005}});
    // Writes a module must not see: any configuration write (not of the address
    // or baud cell); register 5 as 3005 or the filter; the address or baud cell.
    const char *const anyWrite = R"(rx  [0-9A-F]{2} 0[56] (?!00 1[34] ))";
    const char *const unscaled = R"(rx  01 05 00 (05 0B BD|17 ))";
    const char *const settings = R"(rx  01 0[56] 00 1[34])";
    const struct
    {
        const char *name;
        int family;                   // of the module
        std::string file;             // the file given
        std::vector<std::string> sim; // further simulator options
        QStringList args;             // further quorelctl options
        int code;
        const char *message;
        const char *absent; // requests that must not reach the module
    } cases[] = {
        // clang-format off
        {"other family", 1, defaultFile(2), {}, {}, 2, "the file is of another family", anyWrite},
        {"input check", 2, defaultFile(2, {{2, 30000}}), {}, {}, 2, "measuring range, low (Edi3, register 2)", anyWrite},
        {"exit rule", 2, defaultFile(2, {{16, 0}}), {}, {}, 2, "output function divisor C (Edit12, register 16)", anyWrite},
        {"other model", 2, defaultFile(2), {"--model", "33"}, {}, 2, "was read from a module of model code 32; this module is model code 33 (--force", anyWrite},
        {"other model forced", 2, defaultFile(2), {"--model", "33"}, {"--force"}, 0, "Write Success", nullptr},
        {"older version", 2, thermocouple, {"--version", "2"}, {}, 0, "3005 at version index 9 and 300 at version index 2, written as 300", unscaled},
        // The restore's read is lost twice: the probe's address and rate are not the module's.
        {"own settings unknown", 2, defaultFile(2), {"--address", "9", "--baud", "38400", "--fault", "noreply:3:24x2"}, {}, 0, "the address and baud step is left out", settings},
        {"refused write", 2, defaultFile(2), {"--fault", "refuse:5:8x2"}, {}, 1, "Write Fail: the module refused or did not answer (function 5, register 8, value 0: exception code 4)", nullptr},
        {"not stored", 1, defaultFile(1), {"--store-fails"}, {}, 1, "Write Memory Fail", nullptr},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QuorelsimProcess sim;
        std::vector<std::string> args = {"--family", std::to_string(c.family)};
        args.insert(args.end(), c.sim.begin(), c.sim.end());
        ASSERT_TRUE(sim.start(args));
        const CtlRun run = ctl(QStringList{"write", "--port", port(sim)} + c.args +
                                   QStringList{saved(dir, "file.json", c.file)},
                               {&sim});
        EXPECT_EQ(run.code, c.code) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        sim.stop(SIGTERM);
        if (c.absent) {
            EXPECT_FALSE(std::regex_search(sim.output(), std::regex(c.absent))) << sim.output();
        }
    }
}

// What is refused before anything is sent: the modules hear nothing.
TEST(Quorelctl, RefusesBeforeAnythingIsSent)
{
    QuorelsimProcess first, second;
    ASSERT_TRUE(first.start({"--family", "2"}));
    ASSERT_TRUE(second.start({"--family", "4"}));
    QTemporaryDir dir;
    const QString damaged = saved(dir, "damaged.json", "{\"format\": \"QuorelWin configuration\"");
    const QString fifo = dir.filePath("fifo");
    ASSERT_EQ(::mkfifo(qPrintable(fifo), 0600), 0);
    // A device this user may not open: owned by dialout with the tool run as
    // nobody (or, not run as root, mode 000 for the tool run as ourselves).
    const QString denied = saved(dir, "ttyUSB9", "");
    const group *dialout = ::getgrnam("dialout");
    const bool root = ::geteuid() == 0 && dialout;
    ASSERT_TRUE(::chmod(qPrintable(dir.path()), 0755) == 0 &&
                ::chmod(qPrintable(denied), root ? 0660 : 0) == 0 &&
                ::chown(qPrintable(denied), -1, root ? dialout->gr_gid : -1) == 0);
    const std::string group = root ? "dialout" : ::getgrgid(::getegid())->gr_name;
    const QString one = port(first);
    const struct
    {
        QStringList args;
        int code;
        std::string message;
        bool unprivileged = false;
    } cases[] = {
        // clang-format off
        {{"scan", "--port", ""}, 2, "--port was given an empty value"},
        {{"read", "--port", one, "-o", ""}, 2, "-o was given an empty value"},
        {{"write", "--port", one, fifo}, 2, "fifo is not a regular file. Nothing was sent."},
        {{"write", "--port", one, dir.path()}, 2, "is not a regular file. Nothing was sent."},
        {{"write", "--port", one, damaged}, 2, "damaged.json is damaged: "},
        {{"scan"}, 2, "3 USB-to-serial adapters found; choose one with --port:\n  USB-to-Serial"},
        {{"scan", "--port", one, "--address", "9"}, 2, "--no-probe goes with --address and --baud"},
        {{"scan", "--no-probe", "--address", "9", "--baud", "1200"}, 2, "--baud takes a baud rate"},
        {{"scan", "--port", denied}, 3, "Permission denied: your user may not open " + denied.toStdString() + " (owned by group " +
             group + "). Add your user to the group with: sudo usermod -aG " + group + " $USER, then log out and in again", true},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        if (c.unprivileged && root && !othersMayRun(QUORELCTL_PATH)) {
            std::printf("not run as nobody: %s is in a private folder\n", QUORELCTL_PATH);
            continue;
        }
        const CtlRun run = ctl(c.args, {&first, &second}, {denied}, c.unprivileged);
        EXPECT_EQ(run.code, c.code) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    first.stop(SIGTERM);
    second.stop(SIGTERM);
    EXPECT_EQ(logged(first) + logged(second), 0) << first.output() << second.output();
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
        {{"--version"}, 0, "quorelctl " QUORELWIN_VERSION "\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CtlRun run = ctl(c.args, {&sim});
        EXPECT_EQ(run.code, c.code) << run.err;
        EXPECT_NE((run.out + run.err).find(c.text), std::string::npos) << run.out << run.err;
    }
    // The simulator carries the project's version too.
    std::string version;
    EXPECT_EQ(QuorelsimProcess::run({"--version"}, version), 0);
    EXPECT_EQ(version, "quorelsim " QUORELWIN_VERSION "\n");
}

TEST(Quorelctl, ListsPortsAndLiveValuesWithTraffic)
{
    QuorelsimProcess sim;
    ASSERT_TRUE(sim.start({"--family", "2", "--hold", "0=1", "--input", "4096=65411", "--input",
                           "4097=32767", "--input", "4098=65531", "--fault", "noreply:4:4096@2"}));
    const CtlRun ports = ctl({"ports"}, {&sim});
    EXPECT_EQ(ports.code, 0);
    EXPECT_NE(ports.out.find("USB-to-Serial"), std::string::npos) << ports.out;
    EXPECT_NE(ports.out.find(sim.slavePath()), std::string::npos) << ports.out;

    // As the window shows them (thermocouple K: whole degrees, F in tenths); a
    // lost reply on standard error, with its kind, also in the trace.
    const CtlRun live = ctl({"live", "--port", port(sim), "--count", "2", "--trace"}, {&sim});
    ASSERT_EQ(live.code, 0) << live.err;
    EXPECT_EQ(live.out, "PV1 -12 deg C   PV2 OPEN   F(PV1,PV2) -0.5 deg C\n");
    EXPECT_NE(live.err.find("Read Fail: poll 2 got no sound reply (no reply).\n"),
              std::string::npos)
        << live.err;
    EXPECT_NE(live.err.find("  [no reply]\n"), std::string::npos) << live.err;

    // A CSV log through a link to the device (as under /dev/serial/by-id/).
    QTemporaryDir dir;
    const QString stable = dir.filePath("usb-FTDI_FT232R_A50285BI-if00-port0");
    ASSERT_TRUE(QFile::link(port(sim), stable));
    const QString csv = dir.filePath("live.csv");
    const CtlRun csvRun =
        ctl({"live", "--port", stable, "--count", "3", "--csv", "-o", csv}, {&sim});
    ASSERT_EQ(csvRun.code, 0) << csvRun.err;
    const std::regex rows(
        R"(time,PV1 \[deg C\],PV2 \[deg C\],"F\(PV1,PV2\) \[deg C\]")"
        "\n(\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}(Z|[+-]\\d\\d:\\d\\d)"
        ",-12,OPEN,-0.5\n){3}");
    EXPECT_TRUE(std::regex_match(fileText(csv), rows)) << fileText(csv);

    // Without the probe: the module at its own address and rate, nothing broadcast.
    QuorelsimProcess known;
    ASSERT_TRUE(known.start({"--family", "4", "--address", "9", "--baud", "38400"}));
    const CtlRun direct =
        ctl({"scan", "--port", port(known), "--no-probe", "--address", "9", "--baud", "38400"},
            {&known});
    EXPECT_EQ(direct.code, 0) << direct.err;
    EXPECT_NE(direct.out.find("address: 9\nbaud:    38400"), std::string::npos) << direct.out;
    known.stop(SIGTERM);
    EXPECT_EQ(logged(known), 1) << known.output();

    // Each poll's request is collected; none is sent after the last.
    sim.stop(SIGTERM);
    EXPECT_EQ(logged(sim, "read input 4096"), 2 + 3);
}

// The commissioning record of a module: HTML in the language asked for, a
// PDF for a .pdf name, a file that cannot be written refused; a module
// reached without the probe is only read.
TEST(Quorelctl, ReportWritesTheRecordAsHtmlOrPdf)
{
    QuorelsimProcess sim;
    ASSERT_TRUE(sim.start({"--family", "3", "--hold", "4=-20"}));
    QTemporaryDir dir;
    const QString html = dir.filePath("record.html");
    const QStringList known = {"report",    "--port", port(sim), "--no-probe",
                               "--address", "1",      "--baud",  "19200"};
    const CtlRun run = ctl(known + QStringList{"--language", "simplified", "-o", html}, {&sim});
    ASSERT_EQ(run.code, 0) << run.err;
    const std::string text = fileText(html);
    for (const char *expected :
         {"<html lang=\"zh-Hans\">", "<td>RY440 (", "<td>703070001</td>", "<td>读出成功</td>",
          "<th>偏差校正</th><td>-20</td>", "<th>量测范围 / 低点</th>", "未记录"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;

    const QString pdf = dir.filePath("record.PDF");
    EXPECT_EQ(ctl(known + QStringList{"-o", pdf}, {&sim}).code, 0);
    EXPECT_EQ(fileText(pdf).rfind("%PDF-", 0), 0u);
    const CtlRun refused = ctl(known + QStringList{"-o", dir.filePath("none/record.html")}, {&sim});
    EXPECT_EQ(refused.code, 1);
    EXPECT_NE(refused.err.find("none/record.html cannot be written"), std::string::npos)
        << refused.err;
    EXPECT_EQ(ctl({"report", "--language", "german"}, {&sim}).code, 2);
    sim.stop(SIGTERM);
    EXPECT_FALSE(std::regex_search(sim.output(), std::regex(R"(rx  [0-9A-F]{2} 0[56] )")));
}
