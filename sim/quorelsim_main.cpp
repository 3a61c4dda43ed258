// quorelsim: one simulated module behind a pseudo-terminal. The tool (or any
// Modbus master) opens the slave terminal as its serial port; every request
// and reply is logged in hex with a one-line decoding; a faulted exchange
// carries the fault's name. A request that begins while the module is still
// answering the one before collides with that reply, as on an RS-485 line:
// neither gets through, and the log counts the collisions.
#include "fault_plan.h"
#include "frame_log.h"
#include "port_tables.h"
#include "sim_module.h"
#include "sim_options.h"
#include "simulated_line.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 0;
    [[maybe_unused]] const auto written = ::write(g_signalPipe[1], &byte, 1);
}

struct LineState
{
    int baudRate = 0;
    bool is8N1 = false;
};

int rateOf(speed_t speed)
{
    switch (speed) {
    case B1200: return 1200;
    case B2400: return 2400;
    case B4800: return 4800;
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    default: return 0;
    }
}

speed_t speedOf(int rate)
{
    switch (rate) {
    case 4800: return B4800;
    case 9600: return B9600;
    case 38400: return B38400;
    default: return B19200;
    }
}

// The line settings the program on the other side chose: the slave terminal's
// settings are shared by every descriptor open on it.
LineState lineState(int slaveFd)
{
    termios settings{};
    if (::tcgetattr(slaveFd, &settings) != 0)
        return {};
    LineState state;
    state.baudRate = rateOf(::cfgetospeed(&settings));
    state.is8N1 = (settings.c_cflag & CSIZE) == CS8 && !(settings.c_cflag & PARENB) &&
                  !(settings.c_cflag & CSTOPB);
    return state;
}

std::chrono::microseconds micros(std::int64_t us)
{
    return std::chrono::microseconds(us);
}

// A frame ends after 3.5 characters of silence, but never sooner than 2 ms:
// the terminal hands over bytes in bursts, not one by one.
std::chrono::microseconds frameGap(int baudRate)
{
    return std::max(micros(2000), micros(wireTimeUs(35, baudRate) / 10));
}

std::string hex(const std::vector<std::uint8_t> &bytes)
{
    std::string text;
    char cell[4];
    for (std::uint8_t b : bytes) {
        std::snprintf(cell, sizeof cell, "%02X ", b);
        text += cell;
    }
    if (!text.empty())
        text.pop_back();
    return text;
}

class Log
{
public:
    void line(const std::string &text) const
    {
        const double t = std::chrono::duration<double>(Clock::now() - m_start).count();
        std::printf("%9.3f  %s\n", t, boundedLine(text).c_str());
        std::fflush(stdout);
    }

private:
    Clock::time_point m_start = Clock::now();
};

// The symbolic link asked for with --link; removed on every way out.
class SymLink
{
public:
    bool make(const std::string &path, const std::string &target, std::string &error)
    {
        struct stat info
        {};
        if (::lstat(path.c_str(), &info) == 0) {
            if (!S_ISLNK(info.st_mode)) {
                error = path + " exists and is not a symbolic link";
                return false;
            }
            ::unlink(path.c_str()); // left by an earlier run
        }
        if (::symlink(target.c_str(), path.c_str()) != 0) {
            error = "cannot make " + path + ": " + std::strerror(errno);
            return false;
        }
        m_path = path;
        m_target = target;
        return true;
    }

    ~SymLink()
    {
        if (m_path.empty())
            return;
        // Only our own link goes; a link someone has since replaced stays.
        std::vector<char> buffer(m_target.size() + 2);
        const auto length = ::readlink(m_path.c_str(), buffer.data(), buffer.size());
        if (length >= 0 && std::string(buffer.data(), static_cast<std::size_t>(length)) == m_target)
            ::unlink(m_path.c_str());
    }

private:
    std::string m_path;
    std::string m_target;
};

struct PendingReply
{
    Clock::time_point due; // its last byte has left the module
    std::vector<std::uint8_t> bytes;
    bool garbled = false;
};

class Server
{
public:
    Server(SimModule &module, int master, int slave, const std::vector<FaultRule> &faults)
        : m_module(module)
        , m_master(master)
        , m_slave(slave)
    {
        for (const FaultRule &rule : faults)
            m_faults.arm(rule);
    }

    int collisions() const { return m_collisions; }

    // Serves until a signal arrives.
    void run()
    {
        for (;;) {
            std::optional<Clock::time_point> deadline;
            if (!m_frame.empty() || m_dropped > 0)
                deadline = m_lastByte + frameGap(lineState(m_slave).baudRate);
            if (!m_replies.empty())
                deadline =
                    deadline ? std::min(*deadline, m_replies.front().due) : m_replies.front().due;
            int timeout = -1;
            if (deadline) {
                const auto left = *deadline - Clock::now();
                timeout = static_cast<int>(std::max<std::int64_t>(
                    0, std::chrono::ceil<std::chrono::milliseconds>(left).count()));
            }
            pollfd fds[2] = {{m_master, POLLIN, 0}, {g_signalPipe[0], POLLIN, 0}};
            const int ready = ::poll(fds, 2, timeout);
            if (ready < 0 && errno != EINTR)
                return;
            if (ready > 0 && fds[1].revents != 0)
                return;
            if (ready > 0 && (fds[0].revents & POLLIN))
                receive();
            else if (ready > 0 && (fds[0].revents & (POLLHUP | POLLERR)))
                ::poll(fds + 1, 1, 100); // no reader on the slave: wait, do not spin

            const auto now = Clock::now();
            while (!m_replies.empty() && m_replies.front().due <= now) {
                send(m_replies.front());
                m_replies.pop_front();
            }
            if ((!m_frame.empty() || m_dropped > 0) &&
                now >= m_lastByte + frameGap(lineState(m_slave).baudRate)) {
                if (m_dropped > 0) {
                    endOverlong();
                } else {
                    process();
                    m_frame.clear();
                }
            }
        }
    }

private:
    void receive()
    {
        std::uint8_t buffer[512];
        // A bounded number of reads per wake-up, so a line that never falls
        // silent still leaves room for the signals and the replies.
        for (int reads = 0; reads < 64; ++reads) {
            const auto n = ::read(m_master, buffer, sizeof buffer);
            if (n <= 0)
                break;
            if (m_frame.empty() && m_dropped == 0) {
                m_frameStart = Clock::now();
                m_collided = collide();
            }
            m_lastByte = Clock::now();
            const std::size_t dropped = appendBounded(m_frame, buffer, static_cast<std::size_t>(n));
            if (dropped > 0 && m_dropped == 0) {
                // Longer than any request: logged now, cut, and not answered;
                // what follows up to the next pause is only counted.
                m_log.line("rx  " + hex(m_frame) + " ...");
                m_log.line("    lost: longer than " + std::to_string(MaxFrameBytes) +
                           " bytes; dropped up to the next pause");
            }
            m_dropped += dropped;
        }
    }

    // A frame begins: when a reply is still on its way out, the two signals
    // meet on the line. That reply is garbled and the new request not heard.
    bool collide()
    {
        bool answering = false;
        for (PendingReply &reply : m_replies) {
            if (reply.due <= m_frameStart)
                continue; // complete before the request began
            answering = true;
            // One bit changed: the CRC of the frame fails for certain.
            reply.bytes[reply.bytes.size() / 2] ^= 0x10;
            reply.garbled = true;
        }
        if (answering)
            m_log.line("    collision: a request began while the module was answering; both are "
                       "garbled (" +
                       std::to_string(++m_collisions) + " so far)");
        return answering;
    }

    // The end of a frame that was too long.
    void endOverlong()
    {
        m_log.line("    " + std::to_string(m_frame.size() + m_dropped) + " bytes dropped");
        m_frame.clear();
        m_dropped = 0;
    }

    void process()
    {
        const LineState line = lineState(m_slave);
        const auto now = Clock::now();
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(now - m_advanced);
        if (elapsed.count() > 0) {
            m_module.advance(static_cast<int>(elapsed.count()));
            m_advanced += elapsed;
        }

        const int moduleRate = BaudRates[static_cast<std::size_t>(
            std::clamp(m_module.baudCode(), 0, static_cast<int>(BaudRates.size()) - 1))];
        const bool heard = line.baudRate == moduleRate && line.is8N1;
        std::optional<LineFault> fault;
        if (heard && !m_pulled && FaultPlan::addressedTo(m_frame, m_module.address()))
            fault = m_faults.take(m_frame.data(), m_frame.size());
        m_log.line("rx  " + hex(m_frame) + "   " +
                   m_module.describe(m_frame.data(), m_frame.size()) +
                   (fault ? std::string("   [fault ") + faultName(*fault) + "]" : ""));
        if (m_collided) {
            m_log.line("    lost: it collided with a reply");
            return;
        }
        if (m_pulled) {
            m_log.line("    lost: the adapter is pulled");
            return;
        }
        if (!heard) {
            m_log.line("    lost: line at " + std::to_string(line.baudRate) + " baud" +
                       (line.is8N1 ? "" : ", not 8N1") + ", module listens at " +
                       std::to_string(moduleRate) + " baud 8N1");
            return;
        }
        if (fault == LineFault::Pulled) {
            // Replies still on their way go with the adapter.
            m_pulled = true;
            m_replies.clear();
            m_log.line("    lost: the adapter is pulled; nothing is answered from now on");
            return;
        }
        if (fault == LineFault::NoReply) {
            m_log.line("    lost: the module never hears it");
            return;
        }
        std::vector<std::uint8_t> reply = fault == LineFault::Exception
                                              ? FaultPlan::exceptionReply(m_frame)
                                              : m_module.handle(m_frame.data(), m_frame.size());
        if (fault)
            m_faults.damage(*fault, m_frame, reply);
        if (reply.empty()) {
            m_log.line("    no reply");
            return;
        }
        // The reply is complete when request and reply would have crossed
        // the wire at this rate, plus the module's turnaround.
        const auto wire = micros(wireTimeUs(m_frame.size() + reply.size(), line.baudRate)) +
                          frameGap(line.baudRate);
        const auto due = std::max(now, m_frameStart + wire);
        if (fault == LineFault::SplitReply) {
            // The second half follows after a pause longer than a read's time-out.
            const auto half =
                static_cast<std::ptrdiff_t>(std::max<std::size_t>(1, reply.size() / 2));
            m_replies.push_back({due, {reply.begin(), reply.begin() + half}});
            m_replies.push_back(
                {due + micros(SimulatedLine::SplitPauseUs), {reply.begin() + half, reply.end()}});
            return;
        }
        m_replies.push_back({due, std::move(reply)});
    }

    void send(const PendingReply &pending)
    {
        const std::vector<std::uint8_t> &reply = pending.bytes;
        const auto n = ::write(m_master, reply.data(), reply.size());
        if (n == static_cast<ssize_t>(reply.size()))
            m_log.line("tx  " + hex(reply) + (pending.garbled ? "   [garbled]" : ""));
        else
            m_log.line("    reply dropped: " +
                       std::string(n < 0 ? std::strerror(errno) : "terminal buffer full"));
    }

    SimModule &m_module;
    int m_master;
    int m_slave;
    Log m_log;
    std::vector<std::uint8_t> m_frame;
    std::size_t m_dropped = 0; // bytes of an overlong frame beyond m_frame
    Clock::time_point m_frameStart;
    Clock::time_point m_lastByte;
    Clock::time_point m_advanced = Clock::now();
    std::deque<PendingReply> m_replies;
    FaultPlan m_faults;
    bool m_pulled = false;
    bool m_collided = false; // the frame being received began during a reply
    int m_collisions = 0;
};

bool installSignals()
{
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    struct sigaction action
    {};
    action.sa_handler = onSignal;
    ::sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        if (::sigaction(signal, &action, nullptr) != 0)
            return false;
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    // Alone, --version is the program's; "--version N" is the module's version index.
    if (argc == 2 && std::string(argv[1]) == "--version") {
        std::printf("quorelsim %s\n", QUORELWIN_VERSION);
        return 0;
    }
    SimOptions options;
    std::string error;
    if (!parseSimOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::fprintf(stderr, "quorelsim: %s\n%s", error.c_str(), simUsage());
        return 2;
    }
    if (options.help) {
        std::fputs(simUsage(), stdout);
        return 0;
    }
    const std::unique_ptr<SimModule> module = SimModule::create(options.config);
    if (!module) {
        std::fprintf(stderr, "quorelsim: no module of family %d\n", options.config.family);
        return 2;
    }
    applySimOptions(options, *module);

    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("quorelsim: openpty");
        return 1;
    }
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    // Raw 8N1 at the module's rate until the program on the other side sets
    // its own. Our descriptor on the slave stays open for the whole run, so a
    // program that closes and reopens the port never hangs up the line.
    termios settings{};
    ::tcgetattr(slave, &settings);
    ::cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    ::cfsetispeed(&settings, speedOf(BaudRates[static_cast<std::size_t>(module->baudCode())]));
    ::cfsetospeed(&settings, speedOf(BaudRates[static_cast<std::size_t>(module->baudCode())]));
    ::tcsetattr(slave, TCSANOW, &settings);

    if (!installSignals()) {
        std::perror("quorelsim: signals");
        return 1;
    }
    SymLink link;
    if (!options.linkPath.empty() && !link.make(options.linkPath, name, error)) {
        std::fprintf(stderr, "quorelsim: %s\n", error.c_str());
        return 1;
    }

    // Presets may have moved the address, the baud code or the information block.
    const ModuleConfig &config = options.config;
    std::printf(
        "quorelsim: %s (family %d), model %d, version %d, serial %u, address %d, %d baud%s%s\n",
        familyName(config.family), config.family, module->model(), module->version(),
        static_cast<unsigned>(module->serialNumber()), module->address(),
        BaudRates[static_cast<std::size_t>(module->baudCode())],
        options.broken ? ", sensor broken" : "", options.storeFails ? ", storing fails" : "");
    for (const RegisterPreset &preset : options.holding)
        std::printf("holding %d = %d\n", preset.reg, preset.value);
    for (const RegisterPreset &preset : options.inputs)
        std::printf("input %d = %d\n", preset.reg, preset.value);
    for (const FaultRule &rule : options.faults)
        std::printf("fault armed: %s\n", faultRuleText(rule).c_str());
    std::printf("slave terminal: %s\n", name);
    if (!options.linkPath.empty())
        std::printf("link: %s -> %s\n", options.linkPath.c_str(), name);
    std::fflush(stdout);

    Server server(*module, master, slave, options.faults);
    server.run();

    std::printf("quorelsim: stopped, %d collision%s\n", server.collisions(),
                server.collisions() == 1 ? "" : "s");
    std::fflush(stdout);
    ::close(master);
    ::close(slave);
    return 0;
}
