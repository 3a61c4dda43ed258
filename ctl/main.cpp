// quorelctl: the configuration of QuorelWin modules from the command line.
#include "commands.h"

#include "message_sink.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // Messages the link would show in a box go to standard error.
    setMessageSink([](const std::string &text) { std::fprintf(stderr, "%s\n", text.c_str()); });
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    return runCommand(args);
}
