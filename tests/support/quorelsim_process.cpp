#include "quorelsim_process.h"

#include "crc.h"

#include <chrono>
#include <csignal>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;

int remainingMs(Clock::time_point deadline)
{
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

pid_t spawn(const std::vector<std::string> &args, int &outFd)
{
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    ::posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);
    std::vector<std::string> all{QUORELSIM_PATH};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char *> argv;
    for (auto &arg : all)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (::posix_spawn(&pid, QUORELSIM_PATH, &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    outFd = pipeFds[0];
    return pid;
}

int exitCode(int status)
{
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

speed_t speedOf(int rate)
{
    switch (rate) {
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    default: return B0;
    }
}

} // namespace

QuorelsimProcess::~QuorelsimProcess()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    if (m_out >= 0)
        ::close(m_out);
}

bool QuorelsimProcess::start(const std::vector<std::string> &args)
{
    m_pid = spawn(args, m_out);
    if (m_pid <= 0)
        return false;
    // The simulated module stands for a device of its own, which answers
    // within its time whatever the computer runs: it goes ahead of other
    // programs where the system lets a test raise a priority.
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(m_pid), -10);
    if (!waitForOutput("slave terminal: ", 5000))
        return false;
    const auto at = m_output.find("slave terminal: ") + 16;
    while (m_output.find('\n', at) == std::string::npos)
        if (!collect(1000))
            return false;
    m_slave = m_output.substr(at, m_output.find('\n', at) - at);
    return true;
}

bool QuorelsimProcess::collect(int timeoutMs)
{
    pollfd fd{m_out, POLLIN, 0};
    if (::poll(&fd, 1, timeoutMs) <= 0)
        return false;
    char buffer[4096];
    const auto n = ::read(m_out, buffer, sizeof buffer);
    if (n <= 0) {
        m_ended = true;
        return false;
    }
    m_output.append(buffer, static_cast<std::size_t>(n));
    return true;
}

bool QuorelsimProcess::waitForOutput(const std::string &text, int timeoutMs)
{
    return waitForOutput(
        [&text](const std::string &output) { return output.find(text) != std::string::npos; },
        timeoutMs);
}

bool QuorelsimProcess::waitForOutput(const std::function<bool(const std::string &)> &done,
                                     int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done(m_output))
        if (!collect(remainingMs(deadline)))
            return done(m_output);
    return true;
}

int QuorelsimProcess::stop(int signal)
{
    if (m_pid <= 0)
        return -1;
    ::kill(m_pid, signal);
    // Its output ends when it does: read to the end, then collect its exit.
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (collect(remainingMs(deadline))) {
    }
    const bool ended = m_ended;
    if (!ended)
        ::kill(m_pid, SIGKILL);
    int status = 0;
    ::waitpid(m_pid, &status, 0);
    m_pid = -1;
    return ended ? exitCode(status) : -1;
}

int QuorelsimProcess::collisions() const
{
    int count = 0;
    for (auto at = m_output.find("    collision: "); at != std::string::npos;
         at = m_output.find("    collision: ", at + 1))
        ++count;
    return count;
}

int QuorelsimProcess::run(const std::vector<std::string> &args, std::string &output)
{
    QuorelsimProcess process;
    process.m_pid = spawn(args, process.m_out);
    if (process.m_pid <= 0)
        return -1;
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (process.collect(remainingMs(deadline))) {
    }
    int status = 0;
    ::waitpid(process.m_pid, &status, 0);
    process.m_pid = -1;
    output = process.m_output;
    return exitCode(status);
}

RawPort::~RawPort()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool RawPort::open(const std::string &path, int baudRate)
{
    m_fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    return m_fd >= 0 && setRate(baudRate);
}

bool RawPort::setRate(int baudRate)
{
    termios settings{};
    if (::tcgetattr(m_fd, &settings) != 0)
        return false;
    ::cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    ::cfsetispeed(&settings, speedOf(baudRate));
    ::cfsetospeed(&settings, speedOf(baudRate));
    return ::tcsetattr(m_fd, TCSANOW, &settings) == 0;
}

bool RawPort::send(const std::vector<std::uint8_t> &bytes)
{
    return ::write(m_fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

std::vector<std::uint8_t> RawPort::receive(int timeoutMs)
{
    std::vector<std::uint8_t> bytes;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        pollfd fd{m_fd, POLLIN, 0};
        const int wait = bytes.empty() ? remainingMs(deadline) : 30;
        if (::poll(&fd, 1, wait) <= 0)
            return bytes;
        std::uint8_t buffer[256];
        const auto n = ::read(m_fd, buffer, sizeof buffer);
        if (n <= 0)
            return bytes;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
}

std::vector<std::uint8_t> requestFrame(int address, int function, int reg, int value)
{
    std::vector<std::uint8_t> bytes{
        static_cast<std::uint8_t>(address),    static_cast<std::uint8_t>(function),
        static_cast<std::uint8_t>(reg >> 8),   static_cast<std::uint8_t>(reg),
        static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
    const std::uint16_t crc = crc16Modbus(bytes.data(), bytes.size());
    bytes.push_back(crc & 0xFF);
    bytes.push_back(crc >> 8);
    return bytes;
}

bool frameCrcOk(const std::vector<std::uint8_t> &frame)
{
    if (frame.size() < 4)
        return false;
    const std::uint16_t crc = crc16Modbus(frame.data(), frame.size() - 2);
    return frame[frame.size() - 2] == (crc & 0xFF) && frame[frame.size() - 1] == (crc >> 8);
}
