#include "frame_log.h"

#include <gtest/gtest.h>

namespace {

TEST(FrameLog, FramesKeepAtMostTheLongestRequestAndCountTheRest)
{
    const std::vector<std::uint8_t> data(600, 0x5A);
    struct Case
    {
        std::size_t before, added, kept, dropped;
    };
    const Case cases[] = {
        {0, 8, 8, 0},     {0, 256, 256, 0},     {0, 257, 256, 1},     {250, 6, 256, 0},
        {250, 7, 256, 1}, {256, 100, 256, 100}, {100, 600, 256, 444},
    };
    for (const Case &c : cases) {
        std::vector<std::uint8_t> frame(c.before, 1);
        EXPECT_EQ(appendBounded(frame, data.data(), c.added), c.dropped)
            << c.before << "+" << c.added;
        EXPECT_EQ(frame.size(), c.kept) << c.before << "+" << c.added;
    }
}

TEST(FrameLog, LongLinesAreCutWithAMarker)
{
    EXPECT_EQ(boundedLine("rx  01 04"), "rx  01 04");
    const std::string full(MaxLogLine, 'x');
    EXPECT_EQ(boundedLine(full), full);
    for (std::size_t size : {MaxLogLine + 1, std::size_t{5000}, std::size_t{3'000'000}}) {
        const std::string cut = boundedLine(std::string(size, 'x'));
        EXPECT_LE(cut.size(), MaxLogLine) << size;
        const std::size_t marker = cut.find(" ... [cut: ");
        ASSERT_NE(marker, std::string::npos) << size;
        EXPECT_EQ(cut.substr(marker), " ... [cut: " + std::to_string(size - marker) + " more]");
    }
}

} // namespace
