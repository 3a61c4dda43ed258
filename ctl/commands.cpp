#include "commands.h"

#include "commissioning_record.h"
#include "configuration_chains.h"
#include "configuration_check.h"
#include "configuration_file.h"
#include "device_enumerator.h"
#include "device_settings.h"
#include "live_display.h"
#include "live_log.h"
#include "live_rules.h"
#include "port_tables.h"
#include "register_values.h"
#include "session.h"
#include "status_messages.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSaveFile>
#include <QScopeGuard>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const char UsageText[] = R"(Usage: quorelctl COMMAND [OPTIONS]

Commissioning of QuorelWin modules from the command line, over the same link,
chains and configuration files as the windows.

Commands:
  ports                      list the serial devices as the scan window names them
  scan   [--port P] [--json] find the module and show what it is
  read   [--port P] [-o FILE]  read the configuration into a file (or print it)
  write  [--port P] [--settings] [--force] FILE  write a configuration file into the module
  live   [--port P] [--count N] [--csv] [-o FILE]  show live values, or log them
  report [--port P] [--language L] [-o FILE]  write a commissioning record (HTML, or PDF)

Common options:
  --port P   the adapter: COMn, n, a device path or its /dev/serial/by-id/ name
             (default: the one USB-to-serial adapter; with several, say which)
  --no-probe --address A --baud B
             talk to the module at address A and B baud without the probe;
             the probe broadcasts "address 1, 19200 baud" to every module on
             the line
  --trace    print the line traffic (as the traffic window shows it) on stderr
  --help     help on a command
  --version  the program's version

Exit codes: 0 done, 1 module refused or failed, 2 usage or file refused
(nothing sent), 3 no adapter or no module found.
)";

// What every command but ports does first: the end of their help texts.
const char ProbeHelp[] =
    "\nThe module is found with the scan's probe: a read at 4800 baud, then at each\n"
    "rate the broadcasts that set address 1 and 19200 baud. The broadcasts reach\n"
    "every module on the line. The converter and the distributors are put back to\n"
    "their own address and rate afterwards, as their windows do; the transmitter and\n"
    "the resistance transmitter answer the first read and are not touched. With\n"
    "--no-probe --address A --baud B the module is asked directly, nothing broadcast.\n";

const std::map<std::string, const char *> &commandHelp()
{
    static const std::map<std::string, const char *> help = {
        {"ports", "Usage: quorelctl ports\n\nLists the serial devices as the scan window names "
                  "them, one a line, each with its\nstable name under /dev/serial/by-id/ where it "
                  "has one, and marked when your\nuser may not open it.\n"},
        {"scan", "Usage: quorelctl scan [--port P] [--json] [--trace]\n\nFinds the "
                 "module and prints its family, model, version, serial number,\n"
                 "address and baud rate.\n"},
        {"read", "Usage: quorelctl read [--port P] [-o FILE] [--trace]\n\nReads the "
                 "module's configuration with its window's \"Read From Device\" and\n"
                 "writes a configuration file (the windows' File > Save Configuration "
                 "format)\nto FILE, or prints it.\n"},
        {"write",
         "Usage: quorelctl write [--port P] [--settings] [--force] [--trace] FILE\n\nChecks "
         "FILE with the family's field rules and input check, then writes it with its\n"
         "window's \"Write To Device\" and checks the storing result where the family has "
         "one.\nThe module keeps its own address and baud rate unless --settings takes the "
         "file's.\nA file that is not a regular file, not a configuration file, of another "
         "family or\nread from another model code (unless --force) is refused before "
         "anything is\nwritten; fields the module's version does not take are named.\n"},
        {"live",
         "Usage: quorelctl live [--port P] [--count N] [--csv] [-o FILE] [--trace]\n\nReads "
         "the configuration (for the input types and units), starts the live values\nas the "
         "window's \"Read\" does and shows N polls (default 5; 0: until Ctrl+C),\neach value "
         "as the window shows it. --csv writes CSV instead: a header line\n(time, then each "
         "value with its unit) and one row per poll, the first column\nits ISO 8601 time "
         "stamp. -o FILE writes to FILE instead of standard output.\nA poll without a sound "
         "reply is reported on standard error (and is a row of\nempty values in CSV). The "
         "last reply is collected before the tool ends.\n"},
        {"report",
         "Usage: quorelctl report [--port P] [--language L] [-o FILE] [--trace]\n\nReads the "
         "module's information block and configuration with its window's\n\"Read From "
         "Device\" and writes a commissioning record: date and time, program\nversion, "
         "family, model, version, serial number, address and baud rate, and\nthe "
         "configuration as the window's page shows it (captions and values). FILE\nending in "
         ".pdf gets a PDF, any other name an HTML page; without -o the HTML\ngoes to standard "
         "output. --language english, traditional or simplified\n(default english) chooses "
         "the window language of captions and headings.\n"},
    };
    return help;
}

struct Options
{
    std::string command;
    std::string port;
    std::string output;
    std::string file;
    int count = 5;
    int langCode = lang::English;
    int address = -1;
    int baudIndex = -1;
    bool json = false;
    bool trace = false;
    bool help = false;
    bool version = false;
    bool settings = false;
    bool force = false;
    bool csv = false;
    bool probe = true;
};

Options parse(const std::vector<std::string> &args)
{
    Options options;
    const auto usage = [](const std::string &why) {
        return CommandError{ExitCode::Usage, why + " (quorelctl --help)"};
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        // An empty value ("--port $PORT" with PORT unset) is refused, never
        // taken as no option at all.
        const auto value = [&]() -> std::string {
            if (i + 1 >= args.size())
                throw usage(arg + " needs a value");
            if (args[i + 1].empty())
                throw usage(arg + " was given an empty value");
            return args[++i];
        };
        const auto number = [&](const char *what, int low, int high) {
            const std::string text = value();
            try {
                std::size_t used = 0;
                const int result = std::stoi(text, &used);
                if (used == text.size() && result >= low && result <= high)
                    return result;
            } catch (const std::exception &) {
            }
            throw usage(arg + " takes " + what + ", not \"" + text + "\"");
        };
        if (arg == "--help" || arg == "-h")
            options.help = true;
        else if (arg == "--version")
            options.version = true;
        else if (arg == "--port")
            options.port = value();
        else if (arg == "-o" || arg == "--output")
            options.output = value();
        else if (arg == "--json")
            options.json = true;
        else if (arg == "--csv")
            options.csv = true;
        else if (arg == "--trace")
            options.trace = true;
        else if (arg == "--settings")
            options.settings = true;
        else if (arg == "--force")
            options.force = true;
        else if (arg == "--no-probe")
            options.probe = false;
        else if (arg == "--address")
            options.address = number("an address 1..255", 1, 255);
        else if (arg == "--baud") {
            const int rate = number("a baud rate 4800, 9600, 19200 or 38400", 4800, 38400);
            const auto code = std::find(BaudRates.begin(), BaudRates.end(), rate);
            if (code == BaudRates.end())
                throw usage("--baud takes a baud rate 4800, 9600, 19200 or 38400, not \"" +
                            std::to_string(rate) + "\"");
            options.baudIndex = static_cast<int>(code - BaudRates.begin());
        } else if (arg == "--language") {
            const std::string name = value();
            if (name == "english")
                options.langCode = lang::English;
            else if (name == "traditional")
                options.langCode = lang::Traditional;
            else if (name == "simplified")
                options.langCode = lang::Simplified;
            else
                throw usage("--language takes english, traditional or simplified, not \"" + name +
                            "\"");
        } else if (arg == "--count")
            options.count = number("a whole number of 0 (until Ctrl+C) or more", 0, 1 << 30);
        else if (!arg.empty() && arg[0] == '-')
            throw usage("unknown option " + arg);
        else if (arg.empty())
            throw usage("an empty argument was given");
        else if (options.command.empty())
            options.command = arg;
        else if (options.command == "write" && options.file.empty())
            options.file = arg;
        else
            throw usage("unexpected argument \"" + arg + "\"");
    }
    if (options.help || options.version)
        return options;
    if (!options.command.empty() && !commandHelp().contains(options.command))
        throw usage("unknown command \"" + options.command + "\"");
    if (options.command == "write" && options.file.empty())
        throw usage("write needs a configuration file");
    if (options.probe != (options.address < 0 && options.baudIndex < 0) ||
        (!options.probe && (options.address < 0 || options.baudIndex < 0)))
        throw usage("--no-probe goes with --address and --baud, and they with it");
    return options;
}

std::string jsonText(const std::string &text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        if (static_cast<unsigned char>(c) >= 0x20)
            out += c;
    }
    return out + "\"";
}

int portsCommand()
{
    const Enumeration devices = makeSystemEnumerator()->enumerate();
    if (devices.failure != Enumeration::None) {
        std::fprintf(stderr, "%s\n", enumerationMessage(devices).c_str());
        return NoModule;
    }
    for (const std::string &name : devices.names) {
        if (name.find("COM") == std::string::npos)
            continue;
        std::string line = name;
        // The device's path: the port table entry of its number.
        const auto number = name.rfind("(COM");
        const int comNo = number == std::string::npos ? 0 : std::atoi(name.c_str() + number + 4);
        const std::string path =
            comNo >= 1 && comNo <= PortTable::Size ? portTable().path(comNo - 1) : "";
        if (const auto stable = devices.stableNames.find(path); stable != devices.stableNames.end())
            line += "  " + stable->second;
        for (const DeniedDevice &denied : devices.denied)
            if (denied.path == path)
                line += "  [no permission: group " + denied.group + "]";
        std::printf("%s\n", line.c_str());
    }
    if (!devices.denied.empty())
        std::fprintf(stderr, "%s\n", permissionMessage(devices.denied).c_str());
    return Done;
}

int scanCommand(Session &session, const Options &options)
{
    const FoundModule &module = session.module();
    Link &link = session.link();
    const std::string_view title = familyRegisters(module.family).title;
    const int baud = link.currentBaud();
    const int rate = isBaudCode(baud) ? BaudRates[static_cast<std::size_t>(baud)] : 0;
    const int address = link.ComBuf[cb::DevAddr];
    if (options.json) {
        std::printf("{\"port\": %s, \"family\": %d, \"familyName\": %s, \"model\": %d, "
                    "\"version\": %d, \"versionLabel\": %s, \"serial\": %u, \"address\": %d, "
                    "\"baud\": %d}\n",
                    jsonText(session.portName()).c_str(), static_cast<int>(module.family),
                    jsonText(std::string(title)).c_str(), module.info.model, module.devVer,
                    jsonText(VersionTable(module.devVer)).c_str(), module.info.serial, address,
                    rate);
    } else {
        std::printf("port:    %s\nfamily:  %d (%.*s)\nmodel:   %d\nversion: %s\nserial:  %u\n"
                    "address: %d\nbaud:    %d\n",
                    session.portName().c_str(), static_cast<int>(module.family),
                    static_cast<int>(title.size()), title.data(), module.info.model,
                    VersionTable(module.devVer).c_str(), module.info.serial, address, rate);
    }
    return Done;
}

// The window's "Read From Device"; the configuration it read, or CommandError.
Configuration readConfiguration(Session &session, bool report = true)
{
    const FoundModule &module = session.module();
    Link &link = session.link();
    Configuration configuration;
    bool accepted = false;
    RequestChain chain;
    appendConfigurationRead(
        chain, link, module.family,
        [&](const InfoBlock &info) {
            const auto view = acceptedModule(module.family, info);
            if (!view)
                return false;
            accepted = true;
            link.ComBuf[cb::DevVer] = static_cast<std::int16_t>(view->version);
            configuration.model = info.model;
            configuration.serial = info.serial;
            configuration.version = view->version;
            return true;
        },
        [&] { return module.blockCount; }, session.readWait(),
        [&] {
            if (!link.ReplyOk(module.blockCount))
                return false;
            configuration.values = configurationValues(
                module.family, configuration.version,
                [&](int reg) { return link.replyRegister(reg); }, module.blockCount);
            return true;
        });
    QElapsedTimer clock;
    clock.start();
    if (!session.run(std::move(chain), "read")) {
        const std::string kind = session.failureKind();
        std::string why = accepted ? "no sound configuration block came back"
                                   : "the information block was refused or not answered";
        throw CommandError{Failed,
                           "Read Fail: " + why + (kind.empty() ? "" : " (" + kind + ")") + "."};
    }
    if (report)
        std::fprintf(stderr, "Read Success in %lld ms.\n", static_cast<long long>(clock.elapsed()));
    configuration.family = static_cast<int>(module.family);
    configuration.date = QDateTime::currentDateTime().toString(Qt::ISODate).toStdString();
    return configuration;
}

int readCommand(Session &session, const Options &options)
{
    const std::string text = configurationText(readConfiguration(session));
    if (options.output.empty()) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        return Done;
    }
    QSaveFile file(QString::fromStdString(options.output));
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), static_cast<qint64>(text.size())) < 0 || !file.commit())
        throw CommandError{Failed, options.output +
                                       " cannot be written: " + file.errorString().toStdString()};
    std::fprintf(stderr, "%s written.\n", options.output.c_str());
    return Done;
}

// The file, refused with its reason before anything is sent: one that is
// not a regular file (a FIFO would never end), too large, or not a sound
// configuration file of any family.
Configuration loadFile(const std::string &path)
{
    const auto refused = [&path](const std::string &why) {
        return CommandError{ExitCode::Usage,
                            "Configuration refused: " + path + " " + why + ". Nothing was sent."};
    };
    // Opened without waiting for a writer, then judged by what was opened.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw refused(std::string("cannot be read: ") + std::strerror(errno));
    struct stat status;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        throw refused("is not a regular file");
    }
    std::string text;
    char buffer[65536];
    ssize_t got = 0;
    while (text.size() <= MaxConfigurationFileSize && (got = ::read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<std::size_t>(got));
    ::close(fd);
    if (got < 0)
        throw refused(std::string("cannot be read: ") + std::strerror(errno));
    // The family is checked against the module's once it is found; here the
    // file is read as the family it names.
    for (const ModuleFamily family :
         {ModuleFamily::Transmitter, ModuleFamily::Converter, ModuleFamily::Resistance,
          ModuleFamily::Distributor, ModuleFamily::VmaDistributor}) {
        try {
            return parseConfiguration(text, family);
        } catch (const ConfigurationFileError &error) {
            if (error.kind() != ConfigurationFileError::Kind::OtherFamily)
                throw refused(std::string("is damaged: ") + error.what());
        }
    }
    throw refused("names no family of modules");
}

int writeCommand(Session &session, const Options &options, Configuration configuration)
{
    const FoundModule &module = session.module();
    Link &link = session.link();
    const auto refused = [](const std::string &why) {
        return CommandError{ExitCode::Usage,
                            "Configuration refused: " + why + " Nothing was written."};
    };
    if (configuration.family != static_cast<int>(module.family))
        throw refused(
            "the file is of another family. " + options.file + " holds the configuration of a " +
            std::string(familyRegisters(configuration.family)->title) + "; the module is a " +
            std::string(familyRegisters(module.family).title) + ".");
    const ModuleMatch match = matchModule(configuration, module.info.model, module.devVer);
    if (match.otherModel && !options.force)
        throw refused(options.file + " was read from a module of model code " +
                      std::to_string(configuration.model) + "; this module is model code " +
                      std::to_string(module.info.model) + " (--force writes it all the same).");
    const auto warn = [](const std::vector<std::string> &fields, const std::string &what) {
        for (const std::string &field : fields)
            std::fprintf(stderr, "quorelctl: warning: %s%s.\n", field.c_str(), what.c_str());
    };
    const std::string versions = " (file: version index " + std::to_string(configuration.version) +
                                 ", module: " + std::to_string(module.devVer) + ")";
    warn(match.notTaken, " is not taken by the module's version; left out" + versions);
    warn(match.notInFile, " is not in the file; the module keeps its own" + versions);
    warn(match.rescaled, "");
    const std::vector<std::string> problems = configurationProblems(configuration, module.devVer);
    if (!problems.empty()) {
        std::string text =
            "Configuration refused by the field rules and input check of " + options.file + ":";
        for (const std::string &problem : problems)
            text += "\n  " + problem;
        throw CommandError{ExitCode::Usage, text + "\nNothing was written."};
    }

    ConfigurationWrite write;
    write.family = module.family;
    write.devVer = module.devVer;
    write.writes = configurationWrites(configuration, module.devVer);
    write.wait = session.writeWait();
    write.storingWait = session.storingWait();
    bool otherModule = false;
    write.moduleCheck = [&](const InfoBlock &info) {
        otherModule = !acceptedModule(module.family, info).has_value() ||
                      acceptedModule(module.family, info)->blockCount != module.blockCount;
        return !otherModule;
    };
    bool stored = true;
    write.stored = [&](bool ok) { stored = ok; };
    // The module keeps the address and rate it answered at, unless the file's
    // are taken; when those are the probe's and not its own, the step is left out.
    write.address = link.ComBuf[cb::DevAddr];
    write.baudIndex = link.currentBaud();
    write.addressAndBaud = session.ownSettingsKnown();
    if (options.settings) {
        write.addressAndBaud = true;
        if (const auto a = configuration.values.find(AddressCell); a != configuration.values.end())
            write.address = a->second;
        if (const auto b = configuration.values.find(BaudCell); b != configuration.values.end())
            write.baudIndex = b->second;
    }
    if (writesAddressAndBaud(module.family) && !write.addressAndBaud)
        std::fprintf(stderr, "quorelctl: the address and baud step is left out: the module's own "
                             "address and rate are not known.\n");
    std::string lost;
    write.lost = [&](const SettingsChange &change) { lost = lostModuleMessage(change); };

    RequestChain chain;
    appendConfigurationWrite(chain, link, write);
    QElapsedTimer clock;
    clock.start();
    if (!session.run(std::move(chain), "write")) {
        if (!lost.empty())
            throw CommandError{Failed, "Write Fail: " + lost};
        if (otherModule)
            throw CommandError{Failed, "Write Fail: the module's information block names another "
                                       "window's module; nothing was written."};
        const std::string step = session.failedStepText();
        throw CommandError{Failed, "Write Fail: the module refused or did not answer" +
                                       (step.empty() ? std::string() : " (" + step + ")") +
                                       ". The module may be partly written."};
    }
    if (!stored)
        throw CommandError{Failed, "Write Memory Fail: the module did not report the "
                                   "configuration as stored."};
    std::fprintf(stderr, "Write Success: %zu registers written from %s in %lld ms.\n",
                 write.writes.size(), options.file.c_str(),
                 static_cast<long long>(clock.elapsed()));
    return Done;
}

// Ctrl+C (or SIGTERM) during live values: the poll ends once the reply to
// its last request has been collected, so nothing is left unanswered.
volatile std::sig_atomic_t g_stopLive = 0;

void stopLive(int)
{
    g_stopLive = 1;
}

int liveCommand(Session &session, const Options &options)
{
    struct sigaction action = {};
    action.sa_handler = stopLive;
    for (const int signal : {SIGINT, SIGTERM})
        ::sigaction(signal, &action, nullptr);

    std::FILE *out = stdout;
    if (!options.output.empty()) {
        out = std::fopen(options.output.c_str(), "w");
        if (!out)
            throw CommandError{Failed,
                               options.output + " cannot be written: " + std::strerror(errno)};
    }
    const auto closeOutput = qScopeGuard([out] {
        if (out != stdout)
            std::fclose(out);
    });

    // The window shows the values in the scale of the input types it read.
    const FoundModule &module = session.module();
    const LiveDisplay display(module.family, readConfiguration(session, false).values);
    const LiveRules &rules = liveRules(module.family);
    Link &link = session.link();
    RequestChain start;
    appendLiveStart(start, rules);
    if (!session.run(std::move(start)))
        throw CommandError{Failed, "Read Fail: the module refused the start of live values."};
    if (options.csv)
        std::fputs(liveCsvHeader(display.values()).c_str(), out);

    QTimer *timer = session.liveTimer();
    timer->setInterval(rules.intervalMs);
    Poll poll(link, timer);
    int polls = 0;
    int failures = 0;
    QEventLoop loop;
    QObject::connect(timer, &QTimer::timeout, &loop, [&] { poll.tick(); });
    poll.start(
        livePollRequest(rules),
        [&](bool sound) {
            ++polls;
            std::vector<std::string> texts(display.values().size());
            if (sound) {
                texts = display.texts(liveWords(link, rules));
            } else {
                ++failures;
                std::fprintf(stderr, "Read Fail: poll %d got no sound reply (%s).\n", polls,
                             session.failureKind().c_str());
            }
            if (options.csv) {
                std::fputs(liveCsvRow(liveTimeStamp(), texts).c_str(), out);
            } else if (sound) {
                std::string line;
                for (std::size_t i = 0; i < texts.size(); ++i) {
                    const LiveValue &value = display.values()[i];
                    line += (i ? "   " : "") + value.name + " " + texts[i] +
                            (value.unit.empty() || texts[i] == "OPEN" ? "" : " " + value.unit);
                }
                std::fprintf(out, "%s\n", line.c_str());
            }
            std::fflush(out);
            session.flushTrace();
            // The last poll sends no further request.
            if ((options.count > 0 && polls >= options.count) || g_stopLive) {
                poll.stop();
                loop.quit();
            }
        },
        true);
    session.flushTrace();
    loop.exec();
    poll.stop();
    session.flushTrace();
    return failures == polls ? Failed : Done;
}
// The commissioning record of the module: the window's read, shown as its
// page shows it; no calibration.
int reportCommand(Session &session, const Options &options)
{
    const FoundModule &module = session.module();
    Link &link = session.link();
    const Configuration configuration = readConfiguration(session, false);
    // The block's other registers too, for fields no file holds (the
    // resistance transmitter's measuring range).
    std::map<int, int> values = configuration.values;
    for (int reg = 0; reg < module.blockCount; ++reg)
        values.emplace(reg, signedAbove32767(link.replyRegister(reg)));

    CommissioningRecord record;
    record.langCode = options.langCode;
    record.date = recordDate();
    record.program = programVersion();
    record.family = module.family;
    record.model = configuration.model;
    record.versionIndex = configuration.version;
    record.serial = configuration.serial;
    record.address = link.ComBuf[cb::DevAddr];
    const int baud = link.currentBaud();
    record.baud = isBaudCode(baud) ? BaudRates[static_cast<std::size_t>(baud)] : 0;
    record.configuration =
        recordFields(module.family, configuration.version, values, options.langCode);
    record.lastRead = i18n::statusText(i18n::Status::ReadSuccess, options.langCode).toStdString();
    record.withCalibration = false;

    if (options.output.empty()) {
        const std::string html = recordHtml(record);
        std::fwrite(html.data(), 1, html.size(), stdout);
        return Done;
    }
    if (const std::string error = saveRecord(record, options.output); !error.empty())
        throw CommandError{Failed, error};
    std::fprintf(stderr, "%s written.\n", options.output.c_str());
    return Done;
}
} // namespace

int runCommand(const std::vector<std::string> &args)
{
    try {
        const Options options = parse(args);
        if (options.version) {
            std::printf("quorelctl %s\n", QUORELWIN_VERSION);
            return Done;
        }
        if (options.command.empty()) {
            std::fputs(UsageText, options.help ? stdout : stderr);
            return options.help ? Done : ExitCode::Usage;
        }
        if (options.help) {
            std::fputs(commandHelp().at(options.command), stdout);
            if (options.command != "ports")
                std::fputs(ProbeHelp, stdout);
            return Done;
        }
        if (options.command == "ports")
            return portsCommand();
        // A file that cannot be written is refused before anything is sent.
        std::optional<Configuration> file;
        if (options.command == "write")
            file = loadFile(options.file);
        Session session(options.trace, isatty(STDERR_FILENO) != 0);
        session.selectPort(options.port);
        session.findModule({options.probe, options.address, options.baudIndex});
        if (options.command == "scan")
            return scanCommand(session, options);
        if (options.command == "read")
            return readCommand(session, options);
        if (options.command == "write")
            return writeCommand(session, options, std::move(*file));
        if (options.command == "report")
            return reportCommand(session, options);
        return liveCommand(session, options);
    } catch (const CommandError &error) {
        std::fprintf(stderr, "quorelctl: %s\n", error.message.c_str());
        return error.code;
    } catch (const std::exception &error) {
        std::fprintf(stderr, "quorelctl: %s\n", error.what());
        return Failed;
    }
}
