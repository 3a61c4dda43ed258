// The real port class against a pseudo-terminal this test creates itself.
#include "crc.h"
#include "link.h"
#include "qt_serial_line.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

struct Pty
{
    int master = -1, slave = -1;
    std::string path;
    Pty()
    {
        char name[128] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) == 0)
            path = name;
    }
    ~Pty()
    {
        if (master >= 0)
            ::close(master);
        if (slave >= 0)
            ::close(slave);
    }
    // Reads exactly n bytes from the master side, waiting at most 2 s.
    std::vector<std::uint8_t> receive(std::size_t n)
    {
        std::vector<std::uint8_t> bytes;
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (bytes.size() < n) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            pollfd ready{master, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) <= 0)
                break;
            std::uint8_t b;
            if (::read(master, &b, 1) == 1)
                bytes.push_back(b);
        }
        return bytes;
    }
};

double elapsedMs(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since)
        .count();
}

} // namespace

TEST(QtSerialLine, ExchangesAFrameOverAPseudoTerminal)
{
    Pty pty;
    ASSERT_FALSE(pty.path.empty());
    fcntl(pty.master, F_SETFL, O_NONBLOCK);
    portTable().setPath(4, pty.path);

    Link link(std::make_unique<QtSerialLine>());
    link.OpenCom(4, 2);
    ASSERT_TRUE(link.isOpen());

    termios tio{};
    ASSERT_EQ(tcgetattr(pty.slave, &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B19200));
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_FALSE(tio.c_cflag & PARENB);
    EXPECT_FALSE(tio.c_cflag & CSTOPB);
    EXPECT_FALSE(tio.c_cflag & CRTSCTS);

    std::thread responder([&pty] {
        const auto request = pty.receive(8);
        if (request.size() != 8)
            return;
        std::vector<std::uint8_t> reply = {request[0], 4, 8, 32, 9, 0, 0, 0x29, 0xE7, 0xFF, 0x31};
        const std::uint16_t crc = crc16Modbus(reply.data(), reply.size());
        reply.push_back(crc & 0xFF);
        reply.push_back(crc >> 8);
        (void)!::write(pty.master, reply.data(), reply.size());
    });
    link.ReadReply();
    link.SendCmd(1, 4, 7936, 4);
    link.ReadReply();
    responder.join();
    EXPECT_TRUE(link.CrcCheck(11));
    EXPECT_EQ(link.ComBuf[23], 32);
    EXPECT_EQ(link.ComBuf[24], 9);

    // A quiet read returns after about one time-out.
    const auto start = std::chrono::steady_clock::now();
    link.ReadReply();
    const double quiet = elapsedMs(start);
    EXPECT_GE(quiet, 95.0);
    EXPECT_LT(quiet, 160.0);
    portTable().clear();
}

TEST(QtSerialLine, OpenIsExclusiveAndAMissingDeviceStaysUnopened)
{
    Pty pty;
    ASSERT_FALSE(pty.path.empty());
    portTable().setPath(0, pty.path);
    portTable().setPath(1, "/dev/quorelwin-no-such-device");

    QtSerialLine first, second, missing;
    EXPECT_TRUE(first.open(0));
    EXPECT_FALSE(second.open(0));
    EXPECT_FALSE(missing.open(1));

    // Calls on the unopened line fail without crashing; a read still waits.
    std::uint8_t b = 0;
    const std::uint8_t frame[2] = {1, 2};
    EXPECT_FALSE(missing.write(frame, 2));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(missing.readByte(b));
    EXPECT_GE(elapsedMs(start), 95.0);
    portTable().clear();
}
