#include "field_rules.h"
#include "numtext.h"

#include <gtest/gtest.h>

namespace {
enum Side { Lower, Upper };
}

TEST(FieldRules, MeasuringRangeLimits)
{
    struct Case
    {
        int type;
        Side side;
        const char *text, *low, *high, *expected;
    };
    const Case cases[] = {
        // Thermocouple J, deg C: whole degrees, an out-of-range value takes the field's own bound.
        {0, Upper, "2000", "-50", "1000", "1000"},
        {0, Lower, "", "-50", "1000", "-50"},
        {0, Lower, "2000", "-50", "1000", "-50"},
        {0, Upper, "-60", "-50", "1000", "1000"},
        {1, Lower, "12.7", "-50", "1370", "12"},
        {1, Lower, "-12.7", "-50", "1370", "-12"},
        {0, Lower, "-50.9", "-50", "1000", "-50"}, // truncated before the comparison
        {0, Upper, "1000.9", "-50", "1000", "1000"},
        {1, Upper, "2499", "-58", "2498", "2498"},
        {1, Lower, " 100 ", "-58", "2498", "100"},
        // mV, V and mA: compared exactly, then shown with the range decimals.
        {9, Lower, "60.004", "-60.00", "60.00", "-60.00"},
        {9, Upper, "", "-60.00", "60.00", "60.00"},
        {9, Lower, "12.344", "-60.00", "60.00", "12.34"},
        {9, Lower, "-12.345", "-60.00", "60.00", "-12.35"},
        {11, Upper, "10.0001", "-10.000", "10.000", "10.000"},
        {12, Lower, "-0.001", "0.000", "24.000", "0.000"},
        {12, Upper, "4.35", "0.000", "24.000", "4.350"},
    };
    for (const auto &c : cases) {
        const std::string got = c.side == Lower ? lowerLimitExit(c.type, c.text, c.low, c.high)
                                                : upperLimitExit(c.type, c.text, c.low, c.high);
        EXPECT_EQ(got, c.expected) << c.type << " '" << c.text << "'";
    }
}

TEST(FieldRules, TemperatureLimitsKeptAsTyped)
{
    const auto general = TemperatureLimit::General;
    EXPECT_EQ(lowerLimitExit(1, "12.50", "-50", "1370", general), "12.5");
    EXPECT_EQ(lowerLimitExit(0, "2000", "-50", "1000", general), "-50");
    EXPECT_EQ(upperLimitExit(1, "1370.5", "-50", "1370", general), "1370");
    EXPECT_EQ(lowerLimitExit(0, "-50.5", "-50", "1000", general), "-50");
}

TEST(FieldRules, Offsets)
{
    struct Case
    {
        int type;
        const char *text, *low, *high, *expected;
    };
    const Case cases[] = {
        {9, "1.234", "-6.00", "+6.00", "1.23"},
        {1, "", "-71.0", "+71.0", "0.0"},
        {9, "", "-6.00", "+6.00", "0.00"},
        {11, " ", "-1.000", "+1.000", "0.000"},
        {1, "127.9", "-127.8", "+127.8", "127.8"},
        {1, "-200", "-127.8", "+127.8", "-127.8"},
        {1, "127.8", "-127.8", "+127.8", "127.8"},
        {1, "12.34", "-127.8", "+127.8", "12.3"},
        {1, "12.35", "-127.8", "+127.8", "12.4"},
        {12, "-2", "-1.200", "+1.200", "-1.200"},
        {12, "-0.0001", "-1.200", "+1.200", "0.000"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(offsetExit(c.type, c.text, c.low, c.high), c.expected) << c.type << " " << c.text;
}

TEST(FieldRules, CoefficientsAndDivisor)
{
    const char *coefficients[][2] = {{"", "0"},        {"200", "127"}, {"-200", "-128"},
                                     {"127", "127"},   {"128", "127"}, {"-128", "-128"},
                                     {"-129", "-128"}, {" 5 ", "5"}};
    for (const auto &c : coefficients)
        EXPECT_EQ(coefficientExit(c[0]), c[1]) << c[0];

    const char *divisors[][2] = {
        {"", "1"},          {"0", "1"},           {"-0", "1"},          {"40000", "30000"},
        {"30001", "30000"}, {"-29999", "-29999"}, {"-40000", "-30000"}, {"7", "7"}};
    for (const auto &c : divisors)
        EXPECT_EQ(divisorExit(c[0]), c[1]) << c[0];
}

TEST(FieldRules, OutputRange)
{
    struct Case
    {
        int type;
        Side side;
        const char *text, *expected;
    };
    const Case cases[] = {
        {1, Lower, "", "-3000.0"},         {1, Upper, "", "3000.0"},
        {9, Lower, "", "-300.00"},         {9, Upper, "", "300.00"},
        {11, Lower, "", "-30.000"},        {12, Upper, "", "30.000"},
        {1, Lower, "3000.04", "-3000.0"},  {1, Upper, "-3001", "3000.0"},
        {1, Lower, "3000", "3000.0"},      {1, Upper, "150", "150.0"},
        {9, Lower, "-300.001", "-300.00"}, {9, Upper, "12.345", "12.35"},
        {11, Upper, "30.0001", "30.000"},
    };
    for (const auto &c : cases) {
        const std::string got =
            c.side == Lower ? outputLowExit(c.type, c.text) : outputHighExit(c.type, c.text);
        EXPECT_EQ(got, c.expected) << c.type << " '" << c.text << "'";
    }
}

TEST(FieldRules, TextThatIsNoNumberRaisesTheConversionError)
{
    EXPECT_THROW(lowerLimitExit(0, "abc", "-50", "1000"), ConversionError);
    EXPECT_THROW(upperLimitExit(9, "1.2.3", "-60.00", "60.00"), ConversionError);
    EXPECT_THROW(offsetExit(1, "x", "-71.0", "+71.0"), ConversionError);
    EXPECT_THROW(coefficientExit("1.5"), ConversionError);
    EXPECT_THROW(divisorExit("1e3"), ConversionError);
    EXPECT_THROW(outputLowExit(1, "-"), ConversionError);
}
