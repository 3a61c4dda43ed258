#include "input_types.h"
#include "range_display.h"

#include <gtest/gtest.h>

#include <stdexcept>

TEST(InputTypes, UnknownTypeIsRejected)
{
    for (const int type : {-1, 13}) {
        EXPECT_THROW(inputType(type), std::out_of_range) << type;
        EXPECT_THROW(rangeDisplay(type, 0), std::out_of_range) << type;
    }
}

// The deg F column is worked out by hand as trunc(L × 1.8 + 32).
TEST(InputTypes, MaximalRanges)
{
    struct Case
    {
        int type;
        int unit;
        int low, high;
    };
    const Case cases[] = {
        {0, 0, -50, 1000},  {0, 1, -58, 1832},   {1, 0, -50, 1370},      {1, 1, -58, 2498},
        {2, 0, -270, 400},  {2, 1, -454, 752},   {3, 0, -50, 700},       {3, 1, -58, 1292},
        {4, 0, 0, 1750},    {4, 1, 32, 3182},    {5, 0, -50, 1750},      {5, 1, -58, 3182},
        {6, 0, -50, 1750},  {6, 1, -58, 3182},   {7, 0, -50, 1300},      {7, 1, -58, 2372},
        {8, 0, -50, 1800},  {8, 1, -58, 3272},   {10, 0, -200, 600},     {10, 1, -328, 1112},
        {1, -1, -50, 1370}, {9, 1, -6000, 6000}, {11, 1, -10000, 10000}, {12, 1, 0, 24000},
    };
    for (const auto &c : cases) {
        const RangeLimits r = maximalRange(c.type, c.unit);
        EXPECT_EQ(r.low, c.low) << c.type << " unit " << c.unit;
        EXPECT_EQ(r.high, c.high) << c.type << " unit " << c.unit;
    }
}

TEST(InputTypes, FahrenheitTruncatesTowardZero)
{
    const int cases[][2] = {{-17, 1}, {-18, 0}, {-19, -2}, {1, 33}};
    for (const auto &c : cases)
        EXPECT_EQ(toFahrenheit(c[0]), c[1]) << c[0];
}

TEST(RangeDisplay, TextsByTypeAndUnit)
{
    struct Case
    {
        int type, unit;
        const char *caption, *low, *high, *offLow, *offHigh, *output, *choice0, *choice1;
    };
    const Case cases[] = {
        {1, 0, "deg C", "-50", "1370", "-71.0", "+71.0", "-3000.0~3000.0", "deg C", "deg F"},
        {1, 1, "deg F", "-58", "2498", "-127.8", "+127.8", "-3000.0~3000.0", "deg C", "deg F"},
        {0, 0, "deg C", "-50", "1000", "-52.5", "+52.5", "-3000.0~3000.0", "deg C", "deg F"},
        {0, 1, "deg F", "-58", "1832", "-94.5", "+94.5", "-3000.0~3000.0", "deg C", "deg F"},
        {2, 1, "deg F", "-454", "752", "-60.3", "+60.3", "-3000.0~3000.0", "deg C", "deg F"},
        {10, 0, "deg C", "-200", "600", "-40.0", "+40.0", "-3000.0~3000.0", "deg C", "deg F"},
        {9, 1, "mV", "-60.00", "60.00", "-6.00", "+6.00", "-300.00~300.00", "deg C", "deg F"},
        {11, 0, "V", "-10.000", "10.000", "-1.000", "+1.000", "-30.000~30.000", "deg C", "deg F"},
        {12, 1, "mA", "0.000", "24.000", "-1.200", "+1.200", "-30.000~30.000", "com +", "com -"},
        {12, -1, "mA", "0.000", "24.000", "-1.200", "+1.200", "-30.000~30.000", "com +", "com -"},
    };
    for (const auto &c : cases) {
        const RangeDisplay d = rangeDisplay(c.type, c.unit);
        const std::string at = std::to_string(c.type) + " unit " + std::to_string(c.unit);
        EXPECT_TRUE(d.showLimits) << at;
        EXPECT_EQ(d.unitCaption, c.caption) << at;
        EXPECT_EQ(d.lowText, c.low) << at;
        EXPECT_EQ(d.highText, c.high) << at;
        EXPECT_EQ(d.offsetLowText, c.offLow) << at;
        EXPECT_EQ(d.offsetHighText, c.offHigh) << at;
        EXPECT_EQ(d.outputBoundsText, c.output) << at;
        EXPECT_EQ(d.unitChoice0, c.choice0) << at;
        EXPECT_EQ(d.unitChoice1, c.choice1) << at;
    }
}

TEST(RangeDisplay, TemperatureWithoutUnitLeavesLimitsAndCaptions)
{
    const RangeDisplay d = rangeDisplay(1, -1);
    EXPECT_FALSE(d.showLimits);
    EXPECT_EQ(d.unitCaption, "");
    // The offset bounds follow the deg C range, as the input check does.
    EXPECT_EQ(d.offsetHighText, "+71.0");
}
