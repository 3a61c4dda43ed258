#include "numtext.h"

#include <gtest/gtest.h>

TEST(NumText, ScaledValueIsExactOnTheDigitsTyped)
{
    struct Case
    {
        const char *text;
        int decimals;
        std::int64_t expected;
    };
    const Case cases[] = {
        {"0.29", 2, 29}, {"4.35", 3, 4350},   {"1.234", 2, 123},    {"-1.239", 2, -123},
        {"12.7", 0, 12}, {"-12.7", 0, -12},   {"127.8", 1, 1278},   {"  8 ", 0, 8},
        {"-.5", 1, -5},  {"1E3", 1, 10000},   {"2.5e-1", 2, 25},    {"0", 3, 0},
        {"+7", 1, 70},   {"000.100", 3, 100}, {"20.000", 3, 20000},
    };
    for (const auto &c : cases)
        EXPECT_EQ(textToScaled(c.text, c.decimals), c.expected) << c.text;
}

TEST(NumText, InvalidTextRaisesTheConversionError)
{
    for (const char *text : {"", " ", "abc", "1.2.3", "12a", "-", ".", "1e", "1e+"})
        EXPECT_THROW(textToDecimal(text), ConversionError) << '"' << text << '"';
    for (const char *text : {"", "1.5", "x", "99999999999", "--1"})
        EXPECT_THROW(textToInt(text), ConversionError) << '"' << text << '"';
    EXPECT_EQ(textToInt(" -42 "), -42);
    try {
        textToInt("abc");
    } catch (const ConversionError &e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
    }
}

TEST(NumText, DecimalsCompareExactly)
{
    EXPECT_EQ(textToDecimal("127.8").compare(Decimal::fromScaled(1278, 1)), 0);
    EXPECT_EQ(textToDecimal("127.81").compare(Decimal::fromScaled(1278, 1)), 1);
    EXPECT_EQ(textToDecimal("-127.80").compare(Decimal::fromScaled(-1278, 1)), 0);
    EXPECT_EQ(textToDecimal("-50").compare(textToDecimal("-49.999")), -1);
}

TEST(NumText, FormattingMatchesTheDisplayPatterns)
{
    EXPECT_EQ(formatScaled(1234, 1), "123.4");
    EXPECT_EQ(formatScaled(-5, 1), "-0.5");
    EXPECT_EQ(formatScaled(-32768, 3), "-32.768");
    EXPECT_EQ(formatScaled(150, 0), "150");
    EXPECT_EQ(formatFixed(127.8, 1), "127.8");
    EXPECT_EQ(formatFixed(2556 * 0.05, 1), "127.8");
    EXPECT_EQ(formatFixed(1.2345, 2), "1.23");
    EXPECT_EQ(formatFixed(0.125, 2), "0.13");
    EXPECT_EQ(formatFixed(-0.0001, 1), "0.0");
    EXPECT_EQ(formatGeneral(textToDecimal("12.50")), "12.5");
    EXPECT_EQ(formatGeneral(textToDecimal("-50")), "-50");
}

TEST(NumText, ErrorTextsQuoteAtMostFortyCharactersOfWhatWasTyped)
{
    const std::string pasted(5000, 'x');
    const std::pair<std::string, std::string> cases[] = {
        {"12a", "'12a' is not a valid integer value"},
        {pasted, "'" + std::string(40, 'x') + "...' is not a valid integer value"},
        {std::string(39, 'x') + "測試",
         "'" + std::string(39, 'x') + "測...' is not a valid integer value"},
    };
    for (const auto &[typed, text] : cases) {
        try {
            textToInt(typed);
            ADD_FAILURE() << typed;
        } catch (const ConversionError &error) {
            EXPECT_EQ(error.what(), text);
        }
    }
}
