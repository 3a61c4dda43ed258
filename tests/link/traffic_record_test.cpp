#include "converter_module.h"
#include "crc.h"
#include "link.h"
#include "simulated_line.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

// A module that keeps only even values and echoes the value it kept rather
// than the one it was sent.
struct AlteringModule : ConverterModule
{
    using ConverterModule::ConverterModule;

    std::vector<std::uint8_t> handle(const std::uint8_t *frame, std::size_t size) override
    {
        std::vector<std::uint8_t> reply = ConverterModule::handle(frame, size);
        if (reply.size() == 8 && reply[1] == 6 && (reply[5] & 1)) {
            reply[5] ^= 1;
            const std::uint16_t crc = crc16Modbus(reply.data(), 6);
            reply[6] = static_cast<std::uint8_t>(crc & 0xFF);
            reply[7] = static_cast<std::uint8_t>(crc >> 8);
        }
        return reply;
    }
};

struct TrafficTest : ::testing::Test
{
    AlteringModule module{ModuleConfig{}};
    SimulatedLine *line = nullptr;
    std::unique_ptr<Link> link;

    void SetUp() override
    {
        auto owned = std::make_unique<SimulatedLine>(&module);
        line = owned.get();
        link = std::make_unique<Link>(std::move(owned));
        link->traffic().setClock([this] { return line->clockMs(); });
        link->OpenCom(0, 2);
    }

    const TrafficRecord &record() const { return link->traffic(); }
    const TrafficEntry &last(std::size_t back = 0) const
    {
        return record().at(record().size() - 1 - back);
    }
    std::string decoded(std::size_t back = 0) const { return describeTraffic(last(back)).text; }
};

} // namespace

// Each exchange is a drain, the request and the receive; the record keeps the
// request and what answered it, decoded.
TEST_F(TrafficTest, ExchangesAreRecordedAndDecoded)
{
    struct Case
    {
        const char *name;
        std::optional<LineFault> fault;
        int address, function, reg, value;
        const char *request;
        TrafficVerdict verdict;
        const char *reply; // nullptr: nothing recorded after the request
    };
    const Case cases[] = {
        {"read",
         {},
         1,
         4,
         7936,
         4,
         "addr 1, fn 4 read input, reg 7936, count 4",
         TrafficVerdict::Ok,
         "addr 1, fn 4 read input, 4 registers: 8201 0 10727 65329"},
        {"refused read",
         {},
         1,
         3,
         4096,
         2,
         "addr 1, fn 3 read holding, reg 4096, count 2",
         TrafficVerdict::Exception,
         "addr 1, exception 2 (illegal data address) to fn 3"},
        {"short read", LineFault::ShortReply, 1, 4, 7936, 4,
         "addr 1, fn 4 read input, reg 7936, count 4", TrafficVerdict::CrcError,
         "CRC error (10 bytes, 13 expected)"},
        {"write",
         {},
         1,
         6,
         6,
         24,
         "addr 1, fn 6 write register, reg 6, value 24",
         TrafficVerdict::Ok,
         "addr 1, fn 6 write register, reg 6, value 24, echo"},
        {"echo mismatch",
         {},
         1,
         6,
         6,
         25,
         "addr 1, fn 6 write register, reg 6, value 25",
         TrafficVerdict::Mismatch,
         "echo mismatch: addr 1, fn 6 write register, reg 6, value 24"},
        {"bad CRC", LineFault::BadCrc, 1, 6, 6, 24, "addr 1, fn 6 write register, reg 6, value 24",
         TrafficVerdict::CrcError, "CRC error (8 bytes)"},
        {"no reply", LineFault::NoReply, 1, 5, 23, 2, "addr 1, fn 5 write coil, reg 23, value 2",
         TrafficVerdict::NoReply, "no reply"},
        {"exception", LineFault::Exception, 1, 6, 6, 24,
         "addr 1, fn 6 write register, reg 6, value 24", TrafficVerdict::Exception,
         "addr 1, exception 4 (slave device failure) to fn 6"},
        {"broadcast",
         {},
         0,
         5,
         19,
         1,
         "broadcast, fn 5 write coil, reg 19, value 1",
         TrafficVerdict::Ok,
         nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        if (c.fault)
            line->injectFault(*c.fault);
        link->ReadReply();
        const std::uint64_t before = record().endSerial();
        link->SendCmd(c.address, c.function, c.reg, c.value);
        link->ReadReply();
        ASSERT_EQ(record().endSerial() - before, c.reply ? 2u : 1u);

        const TrafficEntry &request = *record().find(before);
        EXPECT_EQ(request.kind, TrafficEntry::Kind::Request);
        EXPECT_STREQ(trafficDirection(request), "Tx");
        EXPECT_EQ(request.baudRate, 19200);
        EXPECT_EQ(describeTraffic(request).text, c.request);
        EXPECT_EQ(trafficHex(request).size(), 8u * 3 - 1);
        if (!c.reply)
            continue;
        const TrafficEntry &reply = last();
        EXPECT_EQ(reply.kind, TrafficEntry::Kind::Reply);
        EXPECT_STREQ(trafficDirection(reply), "Rx");
        EXPECT_EQ(describeTraffic(reply).verdict, c.verdict);
        EXPECT_EQ(describeTraffic(reply).text, c.reply);
        // Stamped at the first byte (8 bytes out, the module's turnaround,
        // one byte in: 7.5 ms at 19200), or where the receive gave up.
        EXPECT_NEAR(reply.timeMs - request.timeMs, reply.size ? 7.5 : 104.5, 1);
    }
}

TEST_F(TrafficTest, LateBytesAreRecordedByTheDrainThatFindsThem)
{
    line->injectFault(LineFault::SplitReply);
    link->SendCmd(1, 4, 7936, 4);
    link->ReadReply();
    EXPECT_EQ(decoded(), "CRC error (6 bytes, 13 expected)");
    line->wait(200);
    link->ReadReply();
    EXPECT_EQ(last().kind, TrafficEntry::Kind::Drain);
    EXPECT_EQ(describeTraffic(last()).verdict, TrafficVerdict::Stale);
    EXPECT_EQ(decoded(), "stray bytes (7)");
    EXPECT_TRUE(trafficHex(last()).starts_with("00 29 E7 FF 31 ")) << trafficHex(last());

    // A quiet drain is not recorded.
    const std::uint64_t end = record().endSerial();
    link->ReadReply();
    EXPECT_EQ(record().endSerial(), end);
}

TEST_F(TrafficTest, RequestOnAClosedPortIsNotSent)
{
    link->CloseCom();
    EXPECT_FALSE(link->SendCmd(1, 4, 7936, 4));
    link->ReadReply();
    EXPECT_EQ(describeTraffic(last(1)).verdict, TrafficVerdict::NotSent);
    EXPECT_EQ(decoded(1), "addr 1, fn 4 read input, reg 7936, count 4; not sent: port not open");
    EXPECT_EQ(decoded(), "no reply");
}

// The ring keeps the newest entries, in its one block of memory, however long
// the program talks; a disabled record takes nothing.
TEST_F(TrafficTest, TheRecordStaysWithinItsBound)
{
    link->SendCmd(1, 4, 7936, 4);
    const TrafficEntry *block = &record().at(0);
    link->ReadReply(); // no request on the heels of another: that would collide
    constexpr int Exchanges = 100000;
    for (int i = 1; i < Exchanges; ++i) {
        link->SendCmd(1, 4, 7936, 4);
        link->ReadReply();
    }
    const std::size_t capacity = TrafficRecord::DefaultCapacity;
    ASSERT_EQ(record().size(), capacity);
    EXPECT_EQ(record().firstSerial(), record().endSerial() - capacity);
    for (std::size_t i = 0; i < capacity; ++i) {
        const TrafficEntry &entry = record().at(i);
        ASSERT_EQ(entry.serial, record().firstSerial() + i);
        ASSERT_TRUE(&entry >= block && &entry < block + capacity);
    }
    EXPECT_EQ(decoded(), "addr 1, fn 4 read input, 4 registers: 8201 0 10727 65329");
    EXPECT_EQ(record().find(record().firstSerial() - 1), nullptr);

    link->traffic().setEnabled(false);
    const std::uint64_t end = record().endSerial();
    link->SendCmd(1, 4, 7936, 4);
    link->ReadReply();
    EXPECT_EQ(record().endSerial(), end);
}

// A frame longer than an entry keeps is shown with the count of the rest and
// judged on all its bytes.
TEST(TrafficText, LongFramesKeepTheirFirstBytes)
{
    TrafficRecord record(3);
    record.recordRequest(std::array<std::uint8_t, 8>{}.data(), 8, 0, 19200, true, true);
    record.recordReceive(std::vector<std::uint8_t>(100, 0xAB), 5, 19200);
    const TrafficEntry &entry = record.at(1);
    EXPECT_EQ(entry.size, 100);
    EXPECT_TRUE(trafficHex(entry).ends_with("AB AB ... (+20)"));
    EXPECT_EQ(describeTraffic(entry).text, "CRC error (100 bytes)");
}
