#include "test_bench.h"

#include <gtest/gtest.h>

namespace {

struct SimulatedLineTest : ::testing::Test
{
    std::vector<std::string> boxes;
    std::unique_ptr<TestBench> bench;

    void SetUp() override
    {
        setMessageSink([this](const std::string &text) { boxes.push_back(text); });
        bench = std::make_unique<TestBench>(ModuleConfig{}); // converter, address 1, 19200
    }
    void TearDown() override { setMessageSink(nullptr); }

    Link &link() { return *bench->link; }
    SimulatedLine &line() { return *bench->line; }
    SimModule &module() { return *bench->module; }

    // Sends a request after a drain and returns the clock (us) at the send.
    std::int64_t send(int function, int reg, int value)
    {
        link().ReadReply();
        bench->clearReply();
        const std::int64_t t = line().clockUs();
        link().SendCmd(1, function, reg, value);
        return t;
    }
    // One request of a fault-matching sequence and what it got: '.' a good
    // reply, 'N' lost, 'C' a damaged CRC, 'E' an exception reply, '-' nothing
    // (another address or a damaged request).
    struct Probe
    {
        int address, function, reg;
        bool badCrc = false;
    };
    char probe(const Probe &p)
    {
        if (p.badCrc) {
            const std::uint8_t damaged[8] = {1, 4, 0x1F, 0, 0, 1, 0, 0};
            link().ReadReply();
            bench->clearReply();
            line().write(damaged, sizeof damaged);
            link().ReadReply();
        } else {
            bench->exchange(p.address, p.function, p.reg, 1);
        }
        if (!line().log().back().heard)
            return 'N';
        if (!bench->answered())
            return '-';
        if (bench->replyByte(1) & 0x80)
            return 'E';
        return link().CrcCheck(link().lastReceiveCount() - 2) ? '.' : 'C';
    }

    // Number of reply bytes the last receive stored (the reply area was cleared).
    int received() const
    {
        int n = 0;
        while (n < 75 && bench->replyByte(n + 1) != -1)
            ++n;
        return n; // the slot after the last byte holds its copy
    }
};

TEST_F(SimulatedLineTest, AnExchangeTakesItsWireTimeAndOneTimeOutToEnd)
{
    const std::int64_t t0 = send(4, 7936, 4);
    // 8 bytes at 19200 baud, 10 bits each.
    EXPECT_EQ(line().clockUs() - t0, 4166);
    link().ReadReply();
    EXPECT_TRUE(link().CrcCheck(11));
    EXPECT_EQ(received(), 13);
    // Request, 3.5 characters and 1 ms turnaround, 13 reply bytes, the time-out.
    EXPECT_EQ(line().clockUs() - t0, 4166 + 1822 + 1000 + 13 * 520 + 100000);
    EXPECT_EQ(line().clockMs(), line().clockUs() / 1000);

    const LoggedRequest &entry = line().log().back();
    EXPECT_EQ(entry, (LoggedRequest{1, 4, 7936, 4, 2}));
    EXPECT_EQ(entry.timeMs, t0 / 1000);
    EXPECT_TRUE(entry.heard);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(SimulatedLineTest, NoReplyLosesTheRequestAndCostsExactlyOneTimeOut)
{
    line().injectFault(LineFault::NoReply);
    send(5, 2, 123);
    const std::int64_t sent = line().clockUs();
    link().ReadReply();
    EXPECT_EQ(line().clockUs() - sent, 100000);
    EXPECT_FALSE(bench->answered());
    EXPECT_FALSE(link().EchoOk());
    EXPECT_EQ(module().holding(2), 0); // never reached the module
    EXPECT_FALSE(line().log().back().heard);
    // The next request goes through again.
    EXPECT_TRUE(bench->write(1, 5, 2, 123));
    EXPECT_EQ(module().holding(2), 123);
}

TEST_F(SimulatedLineTest, BadCrcFailsTheChecksButTheModuleActed)
{
    line().injectFault(LineFault::BadCrc, 2);
    EXPECT_FALSE(bench->read(1, 4, 7936, 4));
    EXPECT_EQ(received(), 13);
    EXPECT_FALSE(bench->write(1, 5, 2, 77));
    EXPECT_EQ(module().holding(2), 77);
    // Two replies suffered; the third is whole.
    EXPECT_EQ(line().pendingFaults(), 0);
    EXPECT_TRUE(bench->read(1, 4, 7936, 4));
}

TEST_F(SimulatedLineTest, FaultsWaitForARequestTheModuleWouldAnswer)
{
    line().injectFault(LineFault::BadCrc);
    bench->exchange(2, 4, 7936, 4); // another address
    bench->exchange(0, 5, 23, 5);   // a broadcast
    EXPECT_EQ(line().pendingFaults(), 1);
    EXPECT_FALSE(bench->read(1, 4, 7936, 4));
    EXPECT_EQ(line().pendingFaults(), 0);
}

TEST_F(SimulatedLineTest, AimedFaultsHitTheirNthMatchingRequestsOnly)
{
    const Probe info{1, 4, 7936}, live{1, 4, 4096}, hold{1, 3, 0}, coil{1, 5, 5}, write{1, 6, 5},
        other{2, 4, 7936}, damaged{1, 4, 7936, true};
    using F = LineFault;
    const struct
    {
        const char *name;
        std::vector<FaultRule> rules;
        std::vector<Probe> requests;
        std::string expected;
    } cases[] = {
        {"any request", {{F::NoReply}}, {hold, info}, "N."},
        {"by function", {{F::NoReply, 4}}, {hold, coil, info, live}, "..N."},
        {"by register", {{F::BadCrc, -1, 5}}, {hold, write, coil}, ".C."},
        {"nth, k times", {{F::Exception, 5, 5, 2, 2}}, {coil, write, coil, coil, coil}, "..EE."},
        {"answerable only", {{F::NoReply, -1, -1, 2}}, {other, damaged, info, info}, "--.N"},
        {"queued", {{F::BadCrc, -1, -1, 1, 2}, {F::Exception}}, {hold, hold, hold, hold}, "CCE."},
        // The rule armed first takes a request both want; the other waits.
        {"first wins",
         {{F::BadCrc, -1, -1, 1, 2}, {F::NoReply, 4, -1, 2}},
         {info, info, info},
         "CCN"},
    };
    for (const auto &c : cases) {
        for (const FaultRule &rule : c.rules)
            line().injectFault(rule);
        std::string got;
        for (const Probe &p : c.requests)
            got += probe(p);
        EXPECT_EQ(got, c.expected) << c.name;
        EXPECT_EQ(line().pendingFaults(), 0) << c.name;
    }
}

TEST_F(SimulatedLineTest, PulledAdapterLosesEverythingUntilPluggedInAndReopened)
{
    line().injectFault({LineFault::Pulled, 6});
    EXPECT_TRUE(bench->write(1, 5, 2, 7));
    link().ReadReply();
    EXPECT_FALSE(link().SendCmd(1, 6, 2, 9));
    EXPECT_EQ(module().holding(2), 7); // the request was lost
    EXPECT_FALSE(line().log().back().heard);
    EXPECT_TRUE(line().isPulled());

    // Writes fail without reaching the wire, reads time out, the port does not open.
    const auto logged = line().log().size();
    const std::int64_t t = line().clockUs();
    EXPECT_FALSE(bench->read(1, 4, 7936, 4));
    EXPECT_EQ(line().clockUs() - t, 2 * SimulatedLine::ReadTimeoutUs);
    EXPECT_EQ(line().log().size(), logged);
    link().Reopen(2);
    EXPECT_FALSE(line().isOpen());

    line().setPulled(false);
    link().Reopen(2);
    EXPECT_TRUE(bench->read(1, 4, 7936, 4));

    // Pulled and plugged in again while a reply is on its way: the reply is
    // gone and the port left open stays dead until it is opened again.
    link().SendCmd(1, 4, 7936, 4);
    line().setPulled(true);
    EXPECT_EQ(line().pendingBytes(), 0u);
    line().setPulled(false);
    EXPECT_FALSE(bench->read(1, 4, 7936, 4));
    link().Reopen(2);
    EXPECT_TRUE(bench->read(1, 4, 7936, 4));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(SimulatedLineTest, ShortReplyFailsTheCrcCheck)
{
    line().injectFault(LineFault::ShortReply);
    EXPECT_FALSE(bench->read(1, 4, 7936, 4));
    EXPECT_EQ(received(), 10);
    line().injectFault(LineFault::ShortReply);
    EXPECT_FALSE(bench->write(1, 5, 2, 9));
}

TEST_F(SimulatedLineTest, GarbageFailsBothChecks)
{
    line().injectFault(LineFault::Garbage, 2);
    EXPECT_FALSE(bench->read(1, 4, 7936, 4));
    EXPECT_TRUE(bench->answered());
    EXPECT_NE(bench->replyByte(0), 1);
    EXPECT_FALSE(bench->write(1, 5, 2, 9));
}

TEST_F(SimulatedLineTest, ExceptionReplyFailsTheExpectedLengthAndTheEchoAndDoesNothing)
{
    line().injectFault(LineFault::Exception, 2);
    EXPECT_FALSE(bench->read(1, 4, 7936, 4));
    EXPECT_EQ(received(), 5);
    EXPECT_EQ(bench->replyByte(1), 0x84);
    EXPECT_TRUE(link().CrcCheck(3)); // a well-formed exception, just not the reply asked for

    EXPECT_FALSE(bench->write(1, 5, 2, 9));
    EXPECT_EQ(bench->replyByte(1), 0x85);
    EXPECT_EQ(module().holding(2), 0);
}

TEST_F(SimulatedLineTest, SplitReplyLeavesOnlyItsFirstPartAndTheRestForTheNextReceive)
{
    line().injectFault(LineFault::SplitReply);
    EXPECT_FALSE(bench->read(1, 4, 7936, 4));
    EXPECT_EQ(received(), 6); // half of 13
    EXPECT_EQ(bench->replyByte(0), 1);
    EXPECT_EQ(bench->replyByte(1), 4);
    EXPECT_EQ(line().pendingBytes(), 7u);

    // The rest arrives after the pause and lands in the next receive, the drain.
    bench->clearReply();
    link().ReadReply();
    EXPECT_EQ(received(), 7);
    EXPECT_EQ(line().pendingBytes(), 0u);
    EXPECT_TRUE(bench->read(1, 4, 7936, 4));
}

TEST_F(SimulatedLineTest, FrameAtAnotherRateIsLostButLogged)
{
    link().OpenCom(0, 1); // 9600, module at 19200
    EXPECT_FALSE(bench->write(1, 5, 2, 55));
    EXPECT_EQ(module().holding(2), 0);
    const LoggedRequest &entry = line().log().back();
    EXPECT_EQ(entry, (LoggedRequest{1, 5, 2, 55, 1}));
    EXPECT_FALSE(entry.heard);

    // Right rate, wrong framing: garbled as well.
    link().OpenCom(0, 2);
    LineSettings settings;
    ASSERT_TRUE(line().getState(settings));
    settings.parity = 'E';
    ASSERT_TRUE(line().setState(settings));
    EXPECT_FALSE(bench->write(1, 5, 2, 55));
    EXPECT_EQ(module().holding(2), 0);
}

TEST_F(SimulatedLineTest, PortThatCannotOpenAndClosedPortFailQuietly)
{
    line().setOpenFails(true);
    const int opens = line().openCount();
    link().OpenCom(0, 2);
    EXPECT_FALSE(link().isOpen());
    EXPECT_FALSE(line().isOpen());
    EXPECT_EQ(line().openCount(), opens);
    EXPECT_TRUE(boxes.empty());
    const auto before = line().log().size();
    EXPECT_FALSE(link().SendCmd(1, 4, 7936, 4));
    EXPECT_EQ(line().log().size(), before);
    const std::int64_t t = line().clockUs();
    link().ReadReply();
    EXPECT_EQ(line().clockUs() - t, 100000); // reads still take their time-out

    line().setOpenFails(false);
    link().OpenCom(3, 2);
    EXPECT_EQ(line().portIndex(), 3);
    EXPECT_EQ(line().openCount(), opens + 1);
    // Closing drops a reply still on its way.
    link().SendCmd(1, 4, 7936, 4);
    link().CloseCom();
    EXPECT_EQ(line().pendingBytes(), 0u);
    LineSettings settings;
    EXPECT_FALSE(line().getState(settings));
    EXPECT_FALSE(link().SendCmd(1, 4, 7936, 4));
}

TEST_F(SimulatedLineTest, ARequestWhileTheModuleStillAnswersCollides)
{
    // Sent on the heels of a request the module answers: not heard, and the
    // reply on its way is garbled; the line counts it and marks the request.
    link().ReadReply();
    link().SendCmd(1, 4, 7936, 4);
    link().SendCmd(1, 5, 14, 3);
    EXPECT_EQ(line().collisions(), 1);
    EXPECT_TRUE(line().log().back().collided);
    EXPECT_FALSE(line().log().back().heard);
    EXPECT_FALSE(line().log().front().collided);
    link().ReadReply();
    EXPECT_FALSE(link().CrcCheck(11));
    EXPECT_NE(module().holding(14), 3);

    // A reply that has left the module, read or not, a broadcast, a request
    // lost to a fault or one at another rate leave no such window.
    link().SendCmd(1, 4, 7936, 4);
    line().wait(30);
    link().SendCmd(0, 5, 19, 1);
    link().SendCmd(1, 5, 14, 3);
    line().injectFault(LineFault::NoReply);
    link().ReadReply();
    link().SendCmd(1, 4, 7936, 4);
    link().SendCmd(1, 4, 7936, 4);
    link().ReadReply();
    link().OpenCom(0, 0);
    link().SendCmd(1, 4, 7936, 4);
    link().SendCmd(1, 4, 7936, 4);
    EXPECT_EQ(line().collisions(), 1);
}

TEST_F(SimulatedLineTest, ModuleClockFollowsTheLineClock)
{
    // A calibration point rises 20 counts a second: the module sees the
    // virtual time that reads, writes and waits take.
    ASSERT_TRUE(bench->write(1, 5, 22, 0));
    const int start = module().input(4099);
    const std::int64_t t = line().clockUs();
    line().wait(10000);
    for (int i = 0; i < 5; ++i)
        link().ReadReply(); // five time-outs
    const double seconds = static_cast<double>(line().clockUs() - t) / 1e6;
    EXPECT_NEAR(module().input(4099) - start, 20.0 * seconds, 1.0);
}

} // namespace
