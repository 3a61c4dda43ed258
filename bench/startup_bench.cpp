// Start-up benchmark: the program from its start to a visible scan window,
// beside a bare Qt Widgets window started the same way, as a ratio of their
// medians over 7 runs each (taken in turns, so both see the same machine).
// It also prints when every window of the program has been made. Fails when
// the ratio is above 1.25.
//
// Both programs print "visible" once their window has painted and "ready"
// when start-up is over (QUORELWIN_STARTUP_REPORT); the time is taken here,
// from just before the program is started to each line.
#include <QCoreApplication>
#include <QDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int Runs = 7;
constexpr double Limit = 1.25;

struct Startup
{
    double visibleMs = -1;
    double readyMs = -1;
};

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Starts the program and times its two lines; -1 for a line that never came.
Startup startOnce(const std::string &program)
{
    Startup result;
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return result;
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    ::posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::string path = program;
    char *argv[] = {path.data(), nullptr};
    pid_t pid = -1;
    const Clock::time_point start = Clock::now();
    const int spawned = ::posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, environ);
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    std::string output;
    while (spawned == 0) {
        pollfd fd{pipeFds[0], POLLIN, 0};
        if (::poll(&fd, 1, 30000) <= 0)
            break;
        char buffer[256];
        const auto n = ::read(pipeFds[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        output.append(buffer, static_cast<std::size_t>(n));
        if (result.visibleMs < 0 && output.find("visible\n") != std::string::npos)
            result.visibleMs = msSince(start);
        if (output.find("ready\n") != std::string::npos) {
            result.readyMs = msSince(start);
            break;
        }
    }
    ::close(pipeFds[0]);
    if (spawned == 0)
        ::waitpid(pid, nullptr, 0);
    return result;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QDir bin(QCoreApplication::applicationDirPath());
    const std::string program = bin.filePath("quorelwin").toStdString();
    const std::string bare = bin.filePath("bare_window").toStdString();
    ::setenv("QUORELWIN_STARTUP_REPORT", "1", 1);
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") &&
        !std::getenv("WAYLAND_DISPLAY"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);

    // One start of each first, so that neither pays for loading the
    // libraries from disk.
    startOnce(bare);
    startOnce(program);
    std::vector<double> bareVisible, visible, ready;
    for (int i = 0; i < Runs; ++i) {
        const Startup reference = startOnce(bare);
        const Startup measured = startOnce(program);
        if (reference.visibleMs < 0 || measured.visibleMs < 0 || measured.readyMs < 0) {
            std::printf("start-up: a program did not report its window\n");
            return 1;
        }
        bareVisible.push_back(reference.visibleMs);
        visible.push_back(measured.visibleMs);
        ready.push_back(measured.readyMs);
    }
    const double ratio = median(visible) / median(bareVisible);
    std::printf("start-up, medians of %d (%s)\n", Runs,
                std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM")
                                               : "default platform");
    std::printf("  bare Qt Widgets window  visible %7.1f ms\n", median(bareVisible));
    std::printf("  quorelwin scan window   visible %7.1f ms   ratio %.2f%s\n", median(visible),
                ratio, ratio > Limit ? "   ABOVE 1.25" : "");
    std::printf("  quorelwin every window  made    %7.1f ms\n", median(ready));
    return ratio > Limit ? 1 : 0;
}
