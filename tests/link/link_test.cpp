#include "crc.h"
#include "link.h"
#include "message_sink.h"
#include "port_tables.h"
#include "sim_module.h"
#include "simulated_line.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <vector>

namespace {

// A line whose replies and failures the test scripts.
struct ScriptedLine : SerialLine
{
    bool openOk = true, getOk = true, setOk = true;
    bool opened = false;
    int openedIndex = -1;
    LineSettings applied;
    std::deque<std::uint8_t> incoming;
    std::vector<std::vector<std::uint8_t>> written;
    int timeouts = 0;

    bool open(int portIndex) override
    {
        openedIndex = portIndex;
        opened = openOk;
        return openOk;
    }
    bool getState(LineSettings &s) override
    {
        s = LineSettings{1200, 'E', 7, 2, true};
        return getOk;
    }
    bool setState(const LineSettings &s) override
    {
        applied = s;
        return setOk;
    }
    void close() override { opened = false; }
    bool readByte(std::uint8_t &byte) override
    {
        if (!opened || incoming.empty()) {
            ++timeouts;
            return false;
        }
        byte = incoming.front();
        incoming.pop_front();
        return true;
    }
    bool write(const std::uint8_t *data, std::size_t size) override
    {
        if (!opened)
            return false;
        written.emplace_back(data, data + size);
        return true;
    }
};

struct LinkTest : ::testing::Test
{
    ScriptedLine *line = nullptr;
    std::unique_ptr<Link> link;
    std::vector<std::string> boxes;

    void SetUp() override
    {
        auto owned = std::make_unique<ScriptedLine>();
        line = owned.get();
        link = std::make_unique<Link>(std::move(owned));
        setMessageSink([this](const std::string &text) { boxes.push_back(text); });
    }
    void TearDown() override { setMessageSink(nullptr); }

    void feed(std::vector<std::uint8_t> bytes)
    {
        line->incoming.insert(line->incoming.end(), bytes.begin(), bytes.end());
    }
    std::vector<int> reply(int from, int to) const
    {
        std::vector<int> out;
        for (int i = from; i <= to; ++i)
            out.push_back(link->ComBuf[i]);
        return out;
    }
};

std::vector<std::uint8_t> withCrc(std::vector<std::uint8_t> bytes)
{
    const std::uint16_t crc = crc16Modbus(bytes.data(), bytes.size());
    bytes.push_back(crc & 0xFF);
    bytes.push_back(crc >> 8);
    return bytes;
}

} // namespace

TEST_F(LinkTest, RequestFrameCarriesFieldsHighByteFirstAndCrcLowByteFirst)
{
    link->OpenCom(0, 2);
    link->SendCmd(1, 4, 7936, 4);
    ASSERT_EQ(line->written.size(), 1u);
    EXPECT_EQ(line->written[0],
              (std::vector<std::uint8_t>{0x01, 0x04, 0x1F, 0x00, 0x00, 0x04, 0xF6, 0x1D}));
    EXPECT_EQ(reply(0, 7), (std::vector<int>{1, 4, 0x1F, 0, 0, 4, 0xF6, 0x1D}));

    // A negative value goes out as its 16-bit two's complement.
    link->SendCmd(1, 6, 20, 65535);
    const auto unsignedFrame = line->written.back();
    link->SendCmd(1, 6, 20, -1);
    EXPECT_EQ(line->written.back(), unsignedFrame);
    EXPECT_EQ(unsignedFrame[4], 0xFF);
    EXPECT_EQ(unsignedFrame[5], 0xFF);
}

TEST_F(LinkTest, ReplyLandsFromIndexTwentyWithACopyOfItsLastByte)
{
    link->OpenCom(0, 2);
    link->ComBuf[cb::LangCode] = 50;
    feed(withCrc({1, 3, 2, 0x12, 0x34}));
    link->ReadReply();
    EXPECT_EQ(reply(20, 27), (std::vector<int>{1, 3, 2, 0x12, 0x34, link->ComBuf[25],
                                               link->ComBuf[26], link->ComBuf[26]}));
    EXPECT_TRUE(link->CrcCheck(5));
    EXPECT_EQ(link->replyRegister(0), 0x1234);

    // CrcCheck(5) looks at indices 25 and 26 and nothing else.
    link->ComBuf[27] = 0x55;
    EXPECT_TRUE(link->CrcCheck(5));
    link->ComBuf[26] ^= 1;
    EXPECT_FALSE(link->CrcCheck(5));
}

TEST_F(LinkTest, QuietLineChangesOnlyIndexTwenty)
{
    link->OpenCom(0, 2);
    // Nothing ever received: index 20 becomes 0.
    link->ComBuf[20] = 99;
    link->ComBuf[21] = 77;
    link->ReadReply();
    EXPECT_EQ(link->ComBuf[20], 0);
    EXPECT_EQ(link->ComBuf[21], 77);
    EXPECT_EQ(line->timeouts, 1);

    // After a reply, a quiet read repeats its last byte at index 20 only.
    feed({0x0A, 0x0B, 0x0C});
    link->ReadReply();
    const auto before = reply(21, 94);
    link->ReadReply();
    EXPECT_EQ(link->ComBuf[20], 0x0C);
    EXPECT_EQ(reply(21, 94), before);
}

TEST_F(LinkTest, EarlierReplyBytesNeverPassTheCrcCheck)
{
    link->OpenCom(0, 2);
    // A reply whose last byte equals its first: after a quiet read the reply
    // area holds exactly the same bytes again.
    std::vector<std::uint8_t> frame = withCrc({1, 3, 2, 0, 0});
    for (std::uint8_t v = 0; frame.back() != 1; ++v)
        frame = withCrc({1, 3, 2, 0, v});
    feed(frame);
    link->ReadReply();
    ASSERT_TRUE(link->CrcCheck(5));
    const auto before = reply(20, 26);
    link->ReadReply(); // nothing arrives
    EXPECT_EQ(reply(20, 26), before);
    EXPECT_FALSE(link->CrcCheck(5));

    // Only the first bytes of a repeated reply arrive.
    feed(frame);
    link->ReadReply();
    feed({frame[0], frame[1], frame[2]});
    link->ReadReply();
    EXPECT_FALSE(link->CrcCheck(5));
}

TEST_F(LinkTest, LongReplyNeverReachesTheStateFields)
{
    link->OpenCom(0, 2);
    for (int i = cb::LangCode; i < cb::Size; ++i)
        link->ComBuf[i] = static_cast<std::int16_t>(1000 + i);
    link->SerialNo = 703070001;
    std::vector<std::uint8_t> bytes(77);
    for (int i = 0; i < 77; ++i)
        bytes[i] = static_cast<std::uint8_t>(i + 1);
    feed(bytes);
    link->ReadReply();
    EXPECT_EQ(link->ComBuf[94], 75); // byte 74 (the 75th) is the last kept
    for (int i = cb::LangCode; i < cb::Size; ++i)
        EXPECT_EQ(link->ComBuf[i], 1000 + i) << "index " << i;
    EXPECT_EQ(link->SerialNo, 703070001u);
    EXPECT_TRUE(line->incoming.empty()); // the extra bytes were received and dropped
}

TEST_F(LinkTest, EchoCheckComparesTheEchoedCrcWithTheRequestCrc)
{
    link->OpenCom(0, 2);
    link->SendCmd(1, 5, 19, 7);
    feed(line->written.back());
    link->ReadReply();
    EXPECT_EQ(reply(20, 27), reply(0, 7));
    EXPECT_EQ(link->ComBuf[28], link->ComBuf[27]);
    EXPECT_TRUE(link->EchoOk());

    link->SendCmd(1, 5, 19, 8); // the old echo no longer matches
    EXPECT_FALSE(link->EchoOk());

    // The same request again, with no reply: the echo still in the reply area
    // matches, but it did not arrive in this exchange.
    link->SendCmd(1, 5, 19, 7);
    link->ReadReply();
    EXPECT_FALSE(link->EchoOk());
}

TEST_F(LinkTest, ReadReplyCountsOnlyWhenItAnswersTheRequest)
{
    link->OpenCom(0, 2);
    link->SendCmd(7, 3, 0, 2);
    const std::vector<std::uint8_t> sound = withCrc({7, 3, 4, 0, 1, 0, 2});
    const std::vector<std::vector<std::uint8_t>> unsound = {
        withCrc({8, 3, 4, 0, 1, 0, 2}), // another address
        withCrc({7, 4, 4, 0, 1, 0, 2}), // another function
        withCrc({7, 3, 2, 0, 1}),       // another byte count
        withCrc({7, 0x83, 2}),          // an exception
    };
    feed(sound);
    link->ReadReply();
    EXPECT_TRUE(link->ReplyOk(2));
    for (const auto &frame : unsound) {
        feed(frame);
        link->ReadReply();
        EXPECT_FALSE(link->ReplyOk(2)) << int(frame[0]) << ' ' << int(frame[1]);
    }
}

TEST_F(LinkTest, LongReplyIsCheckedOnTheWholeFrame)
{
    // A 36-register read: 77 bytes, its CRC beyond the reply area.
    link->OpenCom(0, 2);
    link->SendCmd(1, 3, 0, 36);
    std::vector<std::uint8_t> bytes{1, 3, 72};
    for (int i = 0; i < 72; ++i)
        bytes.push_back(static_cast<std::uint8_t>(i));
    const std::vector<std::uint8_t> frame = withCrc(bytes);
    feed(frame);
    link->ReadReply();
    EXPECT_TRUE(link->ReplyOk(36));
    EXPECT_EQ(link->replyRegister(35), 70 * 256 + 71);
    std::vector<std::uint8_t> damaged = frame;
    damaged[damaged.size() - 1] ^= 1;
    feed(damaged);
    link->ReadReply();
    EXPECT_FALSE(link->ReplyOk(36));
}

TEST_F(LinkTest, OpenComAppliesTheBaudTableLineSettings)
{
    link->OpenCom(6, 3);
    EXPECT_EQ(line->openedIndex, 6);
    EXPECT_EQ(line->applied, (LineSettings{38400, 'N', 8, 1, false}));
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(link->currentBaud(), 3);
}

TEST_F(LinkTest, EachFailedConfigurationStepShowsItsBoxAndOpeningGoesOn)
{
    line->getOk = false;
    line->setOk = false;
    link->OpenCom(0, 7); // no such baud code: the settings text cannot be built
    EXPECT_EQ(boxes, (std::vector<std::string>{"Error in GetCommState", "Error in BuildCommDCB",
                                               "Error in SetCommState"}));
    EXPECT_TRUE(link->isOpen());
}

TEST_F(LinkTest, PortOutsideOneToSixteenIsRefusedAndTheLinkStaysSafe)
{
    for (int portIndex : {-1, 16, 99}) {
        line->openedIndex = -1;
        link->OpenCom(portIndex, 2);
        EXPECT_EQ(line->openedIndex, -1) << portIndex;
        EXPECT_FALSE(link->isOpen());
    }
    feed({1, 2, 3});
    EXPECT_FALSE(link->SendCmd(1, 3, 0, 1));
    link->ReadReply();
    EXPECT_EQ(link->ComBuf[20], 0);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(LinkTest, FailedOpenGivesNoMessageAndReadsTimeOut)
{
    line->openOk = false;
    link->OpenCom(0, 2);
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(link->SendCmd(1, 3, 0, 1));
    link->ReadReply();
    EXPECT_EQ(line->timeouts, 1);
    EXPECT_FALSE(link->CrcCheck(5));
}

TEST_F(LinkTest, EndlessChatterEndsTheReceive)
{
    link->OpenCom(0, 2);
    feed(std::vector<std::uint8_t>(Link::MaxReceive * 3, 0x55));
    link->ReadReply(); // returns instead of receiving for ever
    EXPECT_EQ(line->incoming.size(), static_cast<std::size_t>(Link::MaxReceive * 2));
}

TEST(PortTableTest, WindowsFormUsesTheDeviceNamespaceFromPortTen)
{
    const PortTable table = PortTable::windowsForm();
    EXPECT_EQ(table.path(0), "COM1");
    EXPECT_EQ(table.path(8), "COM9");
    EXPECT_EQ(table.path(9), "\\\\.\\COM10");
    EXPECT_EQ(table.path(15), "\\\\.\\COM16");
    EXPECT_EQ(table.path(16), "");
}

TEST(PortTableTest, BaudTableTextsBuildTheirLineSettings)
{
    for (int code = 0; code < 4; ++code) {
        LineSettings s{1200, 'E', 7, 2, true};
        ASSERT_TRUE(buildLineSettings(BaudTable[code], s));
        EXPECT_EQ(s, (LineSettings{BaudRates[code], 'N', 8, 1, false}));
        EXPECT_EQ(baudCodeOf(BaudRates[code]), code);
    }
    LineSettings s;
    EXPECT_FALSE(buildLineSettings("fast,N,8,1", s));
    EXPECT_FALSE(buildLineSettings("9600,N,8", s));
    EXPECT_EQ(baudCodeOf(115200), -1);
}

// Every check that fails says why, and the reply's traffic line keeps the
// verdict: one exchange with a converter per row, its reply damaged or forged.
TEST(LinkFailureTest, EachFailedCheckNamesWhyOnTheReplysTrafficLine)
{
    using K = LinkFailure::Kind;
    struct Row
    {
        bool write;
        std::optional<LineFault> fault;
        int forged; // reply byte changed (its CRC made good again), -1 none
        int flip;
        LinkFailure expected;
    };
    const Row rows[] = {
        {false, {}, -1, 0, {}},
        {true, {}, -1, 0, {}},
        {false, LineFault::NoReply, -1, 0, {K::NoReply}},
        {true, LineFault::Garbage, -1, 0, {K::CrcError}},
        {false, LineFault::BadCrc, -1, 0, {K::CrcError}},
        {false, LineFault::ShortReply, -1, 0, {K::ShortReply}},
        {true, LineFault::Exception, -1, 0, {K::Exception, 4}},
        {false, LineFault::Pulled, -1, 0, {K::LineLost}},
        {false, {}, 0, 3, {K::WrongAddress}},
        {false, {}, 1, 7, {K::WrongFunction}},
        {false, {}, 2, 6, {K::WrongByteCount}},
        {true, {}, 5, 1, {K::EchoMismatch}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.expected.describe());
        const std::unique_ptr<SimModule> module = SimModule::create({});
        auto owned = std::make_unique<SimulatedLine>(module.get());
        if (row.fault)
            owned->injectFault(*row.fault);
        if (row.forged >= 0)
            owned->setReplyFilter([&row](const auto &, std::vector<std::uint8_t> &reply) {
                reply[static_cast<std::size_t>(row.forged)] ^= row.flip;
                const std::uint16_t crc = crc16Modbus(reply.data(), reply.size() - 2);
                reply[reply.size() - 2] = crc & 0xFF;
                reply[reply.size() - 1] = crc >> 8;
            });
        Link link(std::move(owned));
        link.OpenCom(0, 2);
        link.SendCmd(1, row.write ? 5 : 3, row.write ? 8 : 0, row.write ? 1 : 2);
        link.ReadReply();
        EXPECT_EQ(row.write ? link.EchoOk() : link.ReplyOk(2), !row.expected.failed());
        EXPECT_EQ(link.lastFailure(), row.expected) << link.lastFailure().describe();
        EXPECT_EQ(trafficVerdict(link.traffic().at(link.traffic().size() - 1)),
                  row.expected.describe());
        EXPECT_EQ(link.lineLost(), row.expected.kind == K::LineLost);
    }
}
