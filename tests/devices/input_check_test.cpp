#include "input_check.h"
#include "numtext.h"

#include <gtest/gtest.h>

TEST(InputCheck, LimitsWithinTheMaximalRange)
{
    struct Case
    {
        int type, unit;
        const char *text;
        bool accepted;
    };
    const Case cases[] = {
        {1, 1, "2498", true},      {1, 1, "2498.1", false}, {1, 1, "-58", true},
        {1, 1, "-58.01", false},   {1, 0, "1370", true},    {1, 0, "1371", false},
        {1, -1, "2000", false},    {2, 1, "-454", true},    {2, 1, "-455", false},
        {2, 0, "-270", true},      {10, 1, "1112", true},   {10, 1, "1113", false},
        {9, 1, "60.00", true},     {9, 1, "60.01", false},  {11, 0, "-10.000", true},
        {11, 0, "-10.001", false}, {12, 0, "24", true},     {12, 0, "-0.001", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(limitWithinRange(c.type, c.unit, c.text), c.accepted)
            << c.type << " unit " << c.unit << " " << c.text;
}

TEST(InputCheck, OffsetsWithinFivePercentOfTheSpan)
{
    struct Case
    {
        int type, unit;
        const char *text;
        bool accepted;
    };
    const Case cases[] = {
        {1, 1, "127.8", true},   {1, 1, "127.9", false},   {1, 1, "127.80", true},
        {1, 1, "127.81", false}, {1, 1, "-127.8", true},   {1, 1, "-127.81", false},
        {1, 0, "71", true},      {1, 0, "71.01", false},   {0, 1, "94.5", true},
        {0, 1, "94.51", false},  {2, 1, "60.3", true},     {2, 1, "60.31", false},
        {9, 0, "6", true},       {9, 0, "6.001", false},   {11, 0, "-1.000", true},
        {12, 1, "1.2", true},    {12, 1, "1.2001", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(offsetWithinBound(c.type, c.unit, c.text), c.accepted)
            << c.type << " unit " << c.unit << " " << c.text;
}

TEST(InputCheck, TextThatIsNoNumberRaisesTheConversionError)
{
    EXPECT_THROW(limitWithinRange(0, 0, "x"), ConversionError);
    EXPECT_THROW(offsetWithinBound(0, 0, ""), ConversionError);
}
