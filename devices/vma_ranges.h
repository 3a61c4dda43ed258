#pragma once

#include <cstdint>
#include <string>

// The 18 input ranges of the V/mA range distributor: the items of a channel's
// range selector, whose index is the value of register 0 (CH-1) or 23 (CH-2).
// A channel's measuring range, offset and live value share the range's scale:
// tenths for range 0, hundredths for every other range.
struct VmaRange
{
    const char *item;        // selector item, e.g. "-480-480mV"
    std::int64_t low;        // maximal lower limit, in the range's scale
    std::int64_t high;       // maximal upper limit, in the range's scale
    int decimals;            // 1 (range 0) or 2
    const char *unit;        // "mV", "V" or "mA"
    std::int64_t boundShown; // offset bound shown beside the offset field, in the range's scale
};

inline constexpr int VmaRangeCount = 18;

bool isVmaRange(int range);
// The range of a valid index (isVmaRange).
const VmaRange &vmaRange(int range);
// Decimals of a channel's values: 1 for range 0, else 2 (also with no range selected).
int vmaDecimals(int range);

// Texts of the range display of a valid range.
std::string vmaLowText(int range);        // maximal lower limit, "-480.0", "0.00"
std::string vmaHighText(int range);       // maximal upper limit, "480.0", "5.50"
std::string vmaOffsetLowText(int range);  // "-48.0", "-11.99"
std::string vmaOffsetHighText(int range); // "+48.0", "+11.99"

// Register value of a limit or offset text of a range: the digits typed × 10 or
// × 100, truncated toward zero, held to 16 bits. Raises ConversionError.
int vmaToRegister(int range, const std::string &text);
// Limit or offset text of a register value of a range.
std::string vmaFromRegister(int range, int value);

// Input check of a valid range, on the digits typed (ConversionError for text
// that is not a number): a limit within the maximal range, an offset within
// the bound shown.
bool vmaLimitWithinRange(int range, const std::string &text);
bool vmaOffsetWithinBound(int range, const std::string &text);

// The output function's measuring range (registers 4 and 5): tenths, held to
// -3000.0 .. 3000.0.
inline constexpr int OutputFunctionDecimals = 1;
inline constexpr std::int64_t OutputFunctionBand = 30000;
