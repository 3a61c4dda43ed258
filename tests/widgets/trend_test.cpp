// The live trend's model: round axes, the ten-minute span, gaps where no
// value came, and a drawing cost bounded by the plot's width.
#include "trend_plot.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(Trend, AxesHaveRoundStepsThatCoverTheValues)
{
    struct Case
    {
        double low, high, axisLow, axisHigh, step;
        int decimals;
    };
    const Case cases[] = {
        {-12, 37, -20, 40, 20, 0}, {0.004, 0.019, 0, 0.02, 0.005, 3},
        {20, 20, 19, 21, 0.5, 1},  {-3276.8, 3276.7, -4000, 4000, 2000, 0},
        {NAN, NAN, 0, 1, 0.5, 1},  {4.012, 19.987, 0, 20, 5, 0},
    };
    for (const Case &c : cases) {
        const TrendAxis axis = trendAxis(c.low, c.high);
        EXPECT_DOUBLE_EQ(axis.low, c.axisLow) << c.low << ".." << c.high;
        EXPECT_DOUBLE_EQ(axis.high, c.axisHigh) << c.low << ".." << c.high;
        EXPECT_DOUBLE_EQ(axis.step, c.step) << c.low << ".." << c.high;
        EXPECT_EQ(axis.decimals, c.decimals) << c.low << ".." << c.high;
    }
    for (const char *text : {"OPEN", "", "12,5", "1e999"})
        EXPECT_TRUE(std::isnan(trendValue(text))) << text;
    EXPECT_DOUBLE_EQ(trendValue("-3276.8"), -3276.8);
}

TEST(Trend, KeepsTenMinutesSplitsAtGapsAndDrawsAtMostFourPointsAColumn)
{
    TrendPlot plot; // hidden: samples are kept, nothing is drawn
    plot.setLines({{"PV1", "deg C"}, {"PV2", "mA"}, {"F(PV1,PV2)", "deg C"}});
    const TrendSeries &series = plot.series();
    EXPECT_EQ(series.unitGroups(), (std::vector<std::vector<int>>{{0, 2}, {1}}));

    // Twenty minutes at 500 ms, PV2 open for a while, a pause of 10 s.
    std::int64_t t = 0;
    for (int i = 0; i < 2400; ++i, t += 500) {
        if (i == 2000)
            t += 10000;
        plot.addValues({std::to_string(i % 7), i >= 1500 && i < 1600 ? "OPEN" : "4.000", ""}, t);
    }
    EXPECT_LE(series.samples().front().timeMs, series.newestMs() - TrendSeries::SpanMs + 500);
    EXPECT_GE(series.samples().front().timeMs, series.newestMs() - TrendSeries::SpanMs);
    EXPECT_EQ(series.runs(0, 300).size(), 2u); // the pause
    EXPECT_EQ(series.runs(1, 300).size(), 3u); // the pause and the open input
    EXPECT_TRUE(series.runs(2, 300).empty());  // never a value
    const auto runs = series.runs(0, 100);
    std::size_t points = 0;
    for (const auto &run : runs) {
        points += run.size();
        EXPECT_TRUE(
            std::is_sorted(run.begin(), run.end(), [](auto &a, auto &b) { return a.x < b.x; }));
        for (const TrendPoint &point : run)
            EXPECT_TRUE(point.x >= 0 && point.x <= 1 && point.value >= 0 && point.value <= 6);
    }
    EXPECT_LE(points, 4u * 100 + 4);
    EXPECT_GE(points, 200u); // both ends of every column kept
    EXPECT_EQ(series.axis({0, 2}).high, 6);
    EXPECT_EQ(series.timeTicks(120000).size(), 5u);

    plot.clear();
    EXPECT_TRUE(series.empty());
    EXPECT_TRUE(series.runs(0, 100).empty());
}
