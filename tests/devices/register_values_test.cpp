#include "register_values.h"

#include <gtest/gtest.h>

TEST(RegisterValues, SignRules)
{
    const int converter[][2] = {{0xFFFF, -1}, {0x8000, -32768}, {0x8001, -32767}, {0x7FFF, 32767}};
    for (const auto &c : converter)
        EXPECT_EQ(signedAbove32767(c[0]), c[1]) << c[0];
    const int transmitter[][2] = {{0xFFFF, -1}, {0x8000, 32768}, {0x8001, -32767}, {0x7FFF, 32767}};
    for (const auto &c : transmitter)
        EXPECT_EQ(signedAbove32768(c[0]), c[1]) << c[0];
}

TEST(RegisterValues, TextToRegisterIsExactOnTheDigitsTyped)
{
    EXPECT_EQ(offsetToRegister(9, "0.29"), 29);
    EXPECT_EQ(offsetToRegister(9, "1.23"), 123);
    EXPECT_EQ(limitToRegister(11, "4.35"), 4350);
    EXPECT_EQ(limitToRegister(12, "20.000"), 20000);
    EXPECT_EQ(limitToRegister(1, "12.7"), 12);
    EXPECT_EQ(limitToRegister(1, "-12.7"), -12);
    EXPECT_EQ(offsetToRegister(1, "127.8"), 1278);
    // Beyond 16 bits the value is held at the end of the range, never wrapped.
    EXPECT_EQ(limitToRegister(9, "400"), 32767);
    EXPECT_EQ(limitToRegister(9, "-400"), -32768);
}

TEST(RegisterValues, RegisterToText)
{
    EXPECT_EQ(offsetFromRegister(1, -1), "-0.1");
    EXPECT_EQ(limitFromRegister(11, -32768), "-32.768");
    EXPECT_EQ(offsetFromRegister(9, signedAbove32767(0xFFFF)), "-0.01");
    EXPECT_EQ(limitFromRegister(1, signedAbove32767(0x8000)), "-32768");
    EXPECT_EQ(limitFromRegister(12, 4000), "4.000");
}

TEST(RegisterValues, OutputRangeByFirmwareVersion)
{
    EXPECT_EQ(outputFromRegister(1, 150, 2), "150.0");
    EXPECT_EQ(outputToRegister(1, "150.0", 2), 150);
    EXPECT_EQ(outputToRegister(1, "150.7", 2), 150);
    EXPECT_EQ(outputFromRegister(1, 150, 3), "15.0");
    EXPECT_EQ(outputToRegister(1, "150.0", 3), 1500);
    EXPECT_EQ(outputToRegister(9, "12.34", 2), 1234);
    EXPECT_EQ(outputFromRegister(11, -30000, 0), "-30.000");
}

TEST(RegisterValues, OutputRangeKeepsItsRawValueAcrossATypeChange)
{
    struct Case
    {
        int from;
        const char *text;
        int to;
        const char *expected;
    };
    const Case cases[] = {
        {1, "100.0", 9, "10.00"},  {1, "100.0", 11, "1.000"}, {11, "-30.000", 1, "-3000.0"},
        {9, "12.34", 10, "123.4"}, {9, "1.239", 12, "0.123"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(outputFromRaw(c.to, outputRaw(c.from, c.text)), c.expected) << c.text;
}

TEST(RegisterValues, LimitsAreExchangedOnlyWhenLowerExceedsUpper)
{
    EXPECT_TRUE(needsExchange("500", "100"));
    EXPECT_FALSE(needsExchange("100", "500"));
    EXPECT_FALSE(needsExchange("100", "100.00"));
    EXPECT_TRUE(needsExchange("100.01", "100.001"));
    EXPECT_FALSE(needsExchange("-3000.0", "3000.0"));
}

TEST(RegisterValues, LiveValues)
{
    struct Case
    {
        int type, value;
        bool wholeDegrees;
        const char *expected;
    };
    const Case cases[] = {
        {1, 1234, true, "123"},    {1, 1234, false, "123.4"}, {1, -125, true, "-12"},
        {1, -125, false, "-12.5"}, {1, -5, true, "0"},        {10, 1234, true, "123.4"},
        {9, -1, true, "-0.01"},    {12, 4000, true, "4.000"}, {11, 32767, true, "OPEN"},
        {1, 32767, false, "OPEN"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(liveValueText(c.type, c.value, c.wholeDegrees), c.expected)
            << c.type << " " << c.value;
}
