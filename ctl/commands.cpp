#include "commands.h"

#include "configuration_chains.h"
#include "configuration_check.h"
#include "configuration_file.h"
#include "device_enumerator.h"
#include "live_rules.h"
#include "port_tables.h"
#include "register_values.h"
#include "session.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QSaveFile>

#include <cstdio>
#include <map>
#include <unistd.h>

namespace {
const char UsageText[] = R"(Usage: quorelctl COMMAND [OPTIONS]

Commissioning of QuorelWin modules from the command line, over the same link,
chains and configuration files as the windows.

Commands:
  ports                      list the serial devices as the scan window names them
  scan   [--port P] [--json] find the module and show what it is
  read   [--port P] [-o FILE]  read the configuration into a file (or print it)
  write  [--port P] [--settings] FILE  write a configuration file into the module
  live   [--port P] [--count N]  print live values

Common options:
  --port P   the adapter: COMn, n or a device path (default: the USB-to-serial
             adapter the scan window takes)
  --trace    print the line traffic (as the traffic window shows it) on stderr
  --help     help on a command

Exit codes: 0 done, 1 module refused or failed, 2 usage or file refused
(nothing sent), 3 no adapter or no module found.
)";

const std::map<std::string, std::string> &commandHelp()
{
    static const std::map<std::string, std::string> help = {
        {"ports", "Usage: quorelctl ports\n\nLists the serial devices as the scan window names "
                  "them, one a line.\n"},
        {"scan", "Usage: quorelctl scan [--port P] [--json] [--trace]\n\nRuns the scan's probe "
                 "(4800 baud, then the broadcasts at each rate) and prints the module's\nfamily, "
                 "model, version, serial number, address and baud rate. The module is put back\n"
                 "to its own address and rate afterwards, as its window does.\n"},
        {"read", "Usage: quorelctl read [--port P] [-o FILE] [--trace]\n\nReads the module's "
                 "configuration with its window's \"Read From Device\" and writes a\n"
                 "configuration file (the windows' File > Save Configuration format) to FILE,\n"
                 "or prints it.\n"},
        {"write",
         "Usage: quorelctl write [--port P] [--settings] [--trace] FILE\n\nChecks FILE with "
         "the family's field rules and input check, then writes it with its\nwindow's \"Write "
         "To Device\" and checks the storing result where the family has one.\nThe module keeps "
         "its own address and baud rate unless --settings takes the file's.\nA damaged file or "
         "one of another family is refused before anything is sent.\n"},
        {"live", "Usage: quorelctl live [--port P] [--count N] [--trace]\n\nStarts the live "
                 "values as the window's \"Read\" does and prints N polls (default 5),\nas "
                 "signed register values.\n"},
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
    bool json = false;
    bool trace = false;
    bool help = false;
    bool settings = false;
};

Options parse(const std::vector<std::string> &args)
{
    Options options;
    const auto usage = [](const std::string &why) {
        return CommandError{ExitCode::Usage, why + " (quorelctl --help)"};
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= args.size())
                throw usage(arg + " needs a value");
            return args[++i];
        };
        if (arg == "--help" || arg == "-h")
            options.help = true;
        else if (arg == "--port")
            options.port = value();
        else if (arg == "-o" || arg == "--output")
            options.output = value();
        else if (arg == "--json")
            options.json = true;
        else if (arg == "--trace")
            options.trace = true;
        else if (arg == "--settings")
            options.settings = true;
        else if (arg == "--count") {
            const std::string text = value();
            try {
                std::size_t used = 0;
                options.count = std::stoi(text, &used);
                if (used != text.size() || options.count < 1)
                    throw std::invalid_argument(text);
            } catch (const std::exception &) {
                throw usage("--count takes a whole number of 1 or more, not \"" + text + "\"");
            }
        } else if (!arg.empty() && arg[0] == '-')
            throw usage("unknown option " + arg);
        else if (options.command.empty())
            options.command = arg;
        else if (options.command == "write" && options.file.empty())
            options.file = arg;
        else
            throw usage("unexpected argument \"" + arg + "\"");
    }
    if (!options.command.empty() && !commandHelp().contains(options.command))
        throw usage("unknown command \"" + options.command + "\"");
    if (options.command == "write" && options.file.empty() && !options.help)
        throw usage("write needs a configuration file");
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
    for (const std::string &name : devices.names)
        if (name.find("COM") != std::string::npos)
            std::printf("%s\n", name.c_str());
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
Configuration readConfiguration(Session &session)
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
        std::string why = accepted ? "no sound configuration block came back"
                                   : "the information block was refused or not answered";
        throw CommandError{Failed, "Read Fail: " + why + "."};
    }
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

// The file, refused with its reason before anything is sent.
Configuration loadFile(const std::string &path, ModuleFamily family)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        throw CommandError{ExitCode::Usage,
                           path + " cannot be read: " + file.errorString().toStdString()};
    const QByteArray data = file.read(static_cast<qint64>(MaxConfigurationFileSize) + 1);
    try {
        return parseConfiguration(std::string_view(data.constData(), data.size()), family);
    } catch (const ConfigurationFileError &error) {
        const bool other = error.kind() == ConfigurationFileError::Kind::OtherFamily;
        throw CommandError{ExitCode::Usage,
                           std::string(other ? "Configuration refused: the file is of another "
                                               "family. "
                                             : "Configuration refused: the file is damaged. ") +
                               path + ": " + error.what() + ". Nothing was written."};
    }
}

int writeCommand(Session &session, const Options &options)
{
    const FoundModule &module = session.module();
    Link &link = session.link();
    const Configuration configuration = loadFile(options.file, module.family);
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
    // The module keeps the address and rate it answered at, unless the file's are taken.
    write.address = link.ComBuf[cb::DevAddr];
    write.baudIndex = link.currentBaud();
    if (options.settings) {
        if (const auto a = configuration.values.find(AddressCell); a != configuration.values.end())
            write.address = a->second;
        if (const auto b = configuration.values.find(BaudCell); b != configuration.values.end())
            write.baudIndex = b->second;
    }
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

int liveCommand(Session &session, const Options &options)
{
    const LiveRules &rules = liveRules(session.module().family);
    Link &link = session.link();
    RequestChain start;
    appendLiveStart(start, rules);
    if (!session.run(std::move(start)))
        throw CommandError{Failed, "Read Fail: the module refused the start of live values."};

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
            if (sound) {
                std::string line;
                for (int i = 0; i < rules.count; ++i) {
                    const int value = signedAbove32768(link.replyRegister(i));
                    line += (i ? "  " : "") + std::to_string(rules.reg + i) + "=" +
                            (value == 32767 ? std::string("OPEN") : std::to_string(value));
                }
                std::printf("%s\n", line.c_str());
            } else {
                ++failures;
                std::printf("Read Fail\n");
            }
            std::fflush(stdout);
            session.flushTrace();
            if (polls >= options.count)
                loop.quit();
        },
        true);
    session.flushTrace();
    loop.exec();
    poll.stop();
    if (rules.drainOnStop)
        link.arbiter().receive();
    session.flushTrace();
    return failures == polls ? Failed : Done;
}
} // namespace

int runCommand(const std::vector<std::string> &args)
{
    try {
        const Options options = parse(args);
        if (options.command.empty()) {
            std::fputs(UsageText, options.help ? stdout : stderr);
            return options.help ? Done : ExitCode::Usage;
        }
        if (options.help) {
            std::fputs(commandHelp().at(options.command).c_str(), stdout);
            return Done;
        }
        if (options.command == "ports")
            return portsCommand();
        Session session(options.trace, isatty(STDERR_FILENO) != 0);
        session.selectPort(options.port);
        session.findModule();
        if (options.command == "scan")
            return scanCommand(session, options);
        if (options.command == "read")
            return readCommand(session, options);
        if (options.command == "write")
            return writeCommand(session, options);
        return liveCommand(session, options);
    } catch (const CommandError &error) {
        std::fprintf(stderr, "quorelctl: %s\n", error.message.c_str());
        return error.code;
    } catch (const std::exception &error) {
        std::fprintf(stderr, "quorelctl: %s\n", error.what());
        return Failed;
    }
}
