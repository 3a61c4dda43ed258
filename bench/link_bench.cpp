// Link benchmark: one exchange over a pseudo-terminal against its floor, and
// the processor time a quiet line costs while the link waits on it.
//
// The responder on the other end of the terminal answers each 8-byte request
// with a 13-byte reply after the wire time of both frames, as a module at
// 19200 baud would.
#include "crc.h"
#include "link.h"
#include "port_tables.h"
#include "qt_serial_line.h"

#include <QCoreApplication>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;

double wireMs(int bytes, int baud)
{
    return bytes * 10 * 1000.0 / baud;
}

double cpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

// Answers requests on the master side until stopped.
void respond(int master, int baud, const std::atomic<bool> &stop)
{
    std::vector<std::uint8_t> request;
    while (!stop) {
        pollfd fd{master, POLLIN, 0};
        if (poll(&fd, 1, 50) <= 0)
            continue;
        std::uint8_t byte;
        if (read(master, &byte, 1) != 1)
            continue;
        request.push_back(byte);
        if (request.size() < 8)
            continue;
        std::vector<std::uint8_t> reply = {request[0], 4, 8, 32, 9, 0, 0, 0x29, 0xE7, 0xFF, 0x31};
        const std::uint16_t crc = crc16Modbus(reply.data(), reply.size());
        reply.push_back(crc & 0xFF);
        reply.push_back(crc >> 8);
        std::this_thread::sleep_for(
            std::chrono::microseconds(static_cast<int>(wireMs(8 + 13, baud) * 1000)));
        (void)!write(master, reply.data(), reply.size());
        request.clear();
    }
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int master = -1, slave = -1;
    char name[128] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return 1;
    }
    portTable().setPath(0, name);
    Link link(std::make_unique<QtSerialLine>());
    link.OpenCom(0, 2);
    if (!link.isOpen()) {
        std::fprintf(stderr, "cannot open %s\n", name);
        return 1;
    }
    const int baud = 19200;

    std::atomic<bool> stop = false;
    std::thread responder(respond, master, baud, std::cref(stop));

    // One exchange: drain, 8-byte request, 13-byte reply, 100 ms of silence.
    const double floorMs = 2 * QtSerialLine::TimeoutMs + wireMs(8 + 13, baud);
    std::vector<double> times;
    int good = 0;
    for (int i = 0; i < 20; ++i) {
        const auto start = Clock::now();
        link.ReadReply();
        link.SendCmd(1, 4, 7936, 4);
        link.ReadReply();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        good += link.CrcCheck(11) ? 1 : 0;
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];

    // A quiet line for one second: ten read time-outs.
    const double cpuBefore = cpuMs();
    const auto quietStart = Clock::now();
    for (int i = 0; i < 10; ++i)
        link.ReadReply();
    const double quietMs =
        std::chrono::duration<double, std::milli>(Clock::now() - quietStart).count();
    const double cpuPerSecond = (cpuMs() - cpuBefore) * 1000.0 / quietMs;

    stop = true;
    responder.join();
    close(master);
    close(slave);

    std::printf("link exchange at %d baud: median %.1f ms, max %.1f ms, floor %.1f ms "
                "(median - floor %+.1f ms), %d/20 replies good\n",
                baud, median, times.back(), floorMs, median - floorMs, good);
    std::printf("quiet line: %.0f ms of reading cost %.2f ms of processor time per second\n",
                quietMs, cpuPerSecond);
    const bool ok = good == 20 && median - floorMs < 15.0 && cpuPerSecond < 5.0;
    std::printf("%s\n",
                ok ? "within limits (15 ms over floor, 5 ms CPU per second)" : "OUT OF LIMITS");
    return ok ? 0 : 1;
}
