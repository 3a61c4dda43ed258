#include "frame_log.h"
#include "link.h"
#include "message_sink.h"
#include "port_tables.h"
#include "qt_serial_line.h"
#include "quorelsim_process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <sstream>

#include <fcntl.h>

#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// Bytes quorelsim took from the line, by its log: the bytes of each frame
// it logged whole ("rx" and the frame), and each overlong frame's count ("N
// bytes dropped").
std::size_t bytesTaken(const std::string &log)
{
    std::size_t bytes = 0;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        const auto rx = line.find("  rx  ");
        const auto dropped = line.find(" bytes dropped");
        if (dropped != std::string::npos) {
            bytes += std::stoul(line.substr(line.rfind(' ', dropped - 1) + 1));
        } else if (rx != std::string::npos && line.find(" ...") == std::string::npos) {
            // "rx  01 04 1F 00   description": two hex digits and a space a byte.
            const std::string frame = line.substr(rx + 6, line.find("   ", rx + 6) - rx - 6);
            bytes += (frame.size() + 1) / 3;
        }
    }
    return bytes;
}

std::string tempLinkPath(const char *name)
{
    return (std::filesystem::temp_directory_path() /
            (std::string(name) + "-" + std::to_string(::getpid())))
        .string();
}

TEST(Quorelsim, AnswersAtItsRateLosesOtherRatesAndRemovesItsLinkOnExit)
{
    const std::string linkPath = tempLinkPath("quorelsim-link");
    QuorelsimProcess sim;
    ASSERT_TRUE(
        sim.start({"--family", "4", "--address", "5", "--baud", "9600", "--link", linkPath}))
        << sim.output();
    EXPECT_NE(sim.output().find("universal distributor"), std::string::npos);
    ASSERT_TRUE(std::filesystem::is_symlink(linkPath));
    EXPECT_EQ(std::filesystem::read_symlink(linkPath).string(), sim.slavePath());

    RawPort port;
    ASSERT_TRUE(port.open(linkPath, 9600));
    const auto t0 = Clock::now();
    ASSERT_TRUE(port.send(requestFrame(5, 4, 7936, 4)));
    const auto reply = port.receive(1000);
    const auto elapsed = Clock::now() - t0;
    ASSERT_EQ(reply.size(), 13u);
    EXPECT_TRUE(frameCrcOk(reply));
    EXPECT_EQ(reply[3], 49); // model code
    // Paced like the wire: 21 bytes at 9600 baud take 21.9 ms.
    EXPECT_GE(elapsed, std::chrono::microseconds(21875));
    EXPECT_TRUE(sim.waitForOutput("tx  05 04 08 31 09"));

    // At 19200 the module hears nothing.
    ASSERT_TRUE(port.setRate(19200));
    ASSERT_TRUE(port.send(requestFrame(5, 4, 7936, 4)));
    EXPECT_TRUE(port.receive(300).empty());
    EXPECT_TRUE(sim.waitForOutput("lost: line at 19200 baud"));

    EXPECT_EQ(sim.stop(SIGTERM), 0);
    EXPECT_NE(sim.output().find("quorelsim: stopped"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(linkPath)));
}

TEST(Quorelsim, ProgramsSerialPortReopensAndFollowsABaudChange)
{
    QuorelsimProcess sim;
    ASSERT_TRUE(sim.start({"--family", "2"})) << sim.output();
    setMessageSink([](const std::string &text) { ADD_FAILURE() << text; });
    portTable().setPath(0, sim.slavePath());

    Link link(std::make_unique<QtSerialLine>());
    link.ComBuf[cb::ComNo] = 1;
    const auto readInfo = [&link] {
        link.ReadReply();
        link.SendCmd(1, 4, 7936, 4);
        link.ReadReply();
        return link.CrcCheck(11) && link.ComBuf[23] == 32;
    };
    link.OpenCom(0, 2);
    EXPECT_TRUE(readInfo());

    // Closing and reopening the port does not hang up the simulator.
    link.Reopen(2);
    EXPECT_TRUE(readInfo());

    // Baud code 1: the echo at 19200, then only 9600 is heard.
    link.ReadReply();
    link.SendCmd(1, 6, 20, 1);
    link.ReadReply();
    EXPECT_TRUE(link.EchoOk());
    EXPECT_FALSE(readInfo());
    link.Reopen(1);
    EXPECT_TRUE(readInfo());
    link.CloseCom();

    setMessageSink(nullptr);
    portTable().clear();
    EXPECT_EQ(sim.stop(SIGINT), 0);
    EXPECT_TRUE(sim.waitForOutput("lost: line at 19200 baud"));
}

TEST(Quorelsim, StagedFaultsAndPresetsReachTheProgramsSerialPort)
{
    QuorelsimProcess sim;
    ASSERT_TRUE(sim.start(
        {"--fault", "noreply:4:7936x1", "--input", "4096=32767", "--fault", "pulled:4:4096@2"}))
        << sim.output();
    setMessageSink([](const std::string &text) { ADD_FAILURE() << text; });
    portTable().setPath(0, sim.slavePath());

    Link link(std::make_unique<QtSerialLine>());
    link.ComBuf[cb::ComNo] = 1;
    link.OpenCom(0, 2);
    const auto read = [&link](int reg, int count) {
        link.ReadReply();
        link.SendCmd(1, 4, reg, count);
        link.ReadReply();
        return link.CrcCheck(3 + 2 * count);
    };
    EXPECT_FALSE(read(7936, 4));
    EXPECT_EQ(link.lastReceiveCount(), 0);
    EXPECT_TRUE(read(7936, 4));
    EXPECT_EQ(link.replyRegister(0) >> 8, 32);
    EXPECT_TRUE(read(4096, 1));
    EXPECT_EQ(link.replyRegister(0), 32767);
    // The second live read pulls the adapter: nothing is answered any more.
    EXPECT_FALSE(read(4096, 1));
    EXPECT_FALSE(read(7936, 4));
    EXPECT_EQ(link.lastReceiveCount(), 0);
    link.CloseCom();

    setMessageSink(nullptr);
    portTable().clear();
    EXPECT_EQ(sim.stop(SIGTERM), 0);
    EXPECT_NE(sim.output().find("[fault noreply]"), std::string::npos);
    EXPECT_NE(sim.output().find("[fault pulled]"), std::string::npos);
    EXPECT_NE(sim.output().find("lost: the adapter is pulled\n"), std::string::npos);
}

// A line that never falls silent: the log stays in bounded lines, the stream
// is dropped, and the module answers the next request as before.
TEST(Quorelsim, AnEndlessStreamIsLoggedInBoundedLines)
{
    QuorelsimProcess sim;
    ASSERT_TRUE(sim.start({})) << sim.output();
    RawPort port;
    ASSERT_TRUE(port.open(sim.slavePath(), 19200));
    const int fd = ::open(sim.slavePath().c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    std::vector<std::uint8_t> chunk(1024);
    for (std::size_t i = 0; i < chunk.size(); ++i)
        chunk[i] = static_cast<std::uint8_t>(i * 7 + 1);
    for (int i = 0; i < 256; ++i) // 256 KiB back to back
        ASSERT_EQ(::write(fd, chunk.data(), chunk.size()), static_cast<ssize_t>(chunk.size()));
    ::close(fd);
    // The writes may pause (the computer is busy), and quorelsim ends a
    // frame at each pause: the request goes out once its log has taken in
    // every byte of the stream, so that it never joins the stream's tail.
    EXPECT_TRUE(sim.waitForOutput(
        [](const std::string &log) { return bytesTaken(log) >= 256u * 1024u; }, 10000));
    EXPECT_NE(sim.output().find("bytes dropped"), std::string::npos);

    ASSERT_TRUE(port.send(requestFrame(1, 4, 7936, 4)));
    const auto reply = port.receive(1000);
    EXPECT_EQ(reply.size(), 13u);
    EXPECT_TRUE(frameCrcOk(reply));
    EXPECT_EQ(sim.stop(SIGTERM), 0);

    std::istringstream output(sim.output());
    std::size_t longest = 0;
    for (std::string line; std::getline(output, line);)
        longest = std::max(longest, line.size());
    EXPECT_LE(longest, MaxLogLine + 11); // after the time stamp
    EXPECT_NE(sim.output().find("lost: longer than 256 bytes"), std::string::npos);
}

TEST(Quorelsim, HelpAndBadOptions)
{
    std::string output;
    EXPECT_EQ(QuorelsimProcess::run({"--help"}, output), 0);
    EXPECT_NE(output.find("--store-fails"), std::string::npos);
    EXPECT_EQ(QuorelsimProcess::run({"--baud", "1200"}, output), 2);
    EXPECT_EQ(QuorelsimProcess::run({"--fault", "noreply:4:abc"}, output), 2);
    EXPECT_NE(output.find("register \"abc\""), std::string::npos);
}

} // namespace

// A request that begins while the module is still answering the one before
// meets that reply: the reply arrives garbled, the request is not heard, and
// quorelsim counts the collision. Once the reply is out, requests are answered.
TEST(Quorelsim, ARequestSentDuringAReplyCollidesWithIt)
{
    QuorelsimProcess sim;
    ASSERT_TRUE(sim.start({"--family", "3", "--baud", "4800"})) << sim.output();
    RawPort port;
    ASSERT_TRUE(port.open(sim.slavePath(), 4800));
    // 36 registers at 4800 baud: the reply takes about 180 ms to leave the module.
    ASSERT_TRUE(port.send(requestFrame(1, 3, 0, 36)));
    ASSERT_TRUE(sim.waitForOutput("rx  01 03 00 00 00 24"));
    ASSERT_TRUE(port.send(requestFrame(1, 4, 7936, 4)));
    const auto garbled = port.receive(1000);
    EXPECT_TRUE(garbled.size() == 77 && !frameCrcOk(garbled));
    ASSERT_TRUE(port.send(requestFrame(1, 4, 7936, 4)));
    EXPECT_TRUE(frameCrcOk(port.receive(1000)));
    EXPECT_EQ(sim.stop(SIGTERM), 0);
    EXPECT_EQ(sim.collisions(), 1);
    EXPECT_NE(sim.output().find("lost: it collided with a reply"), std::string::npos);
    EXPECT_NE(sim.output().find("quorelsim: stopped, 1 collision\n"), std::string::npos);
}
