// quorelctl: the configuration of QuorelWin modules from the command line.
#include "commands.h"

#include "message_sink.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

int main(int argc, char *argv[])
{
    // A record's PDF is laid out with the system's fonts, which take the GUI
    // application object; it draws offscreen, so no display is needed.
    const bool report = std::any_of(argv + 1, argv + argc,
                                    [](const char *arg) { return std::string(arg) == "report"; });
    std::unique_ptr<QCoreApplication> app;
    if (report) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // Without a desktop session the platform warns of its missing runtime
        // folder, which a command-line tool does not use.
        const QtMessageHandler previous =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
        app = std::make_unique<QGuiApplication>(argc, argv);
        qInstallMessageHandler(previous);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    // Messages the link would show in a box go to standard error.
    setMessageSink([](const std::string &text) { std::fprintf(stderr, "%s\n", text.c_str()); });
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    return runCommand(args);
}
