#include "vma_ranges.h"

#include "numtext.h"
#include "register_values.h"

#include <array>

namespace {
// Limits and offset bounds in each range's own scale. The offset bound is 5 %
// of the span one display step short, exactly as the labels beside the offset
// fields show it; the exit rule and the input check use that shown number.
constexpr std::array<VmaRange, VmaRangeCount> Ranges = {{
    {"-480-480mV", -4800, 4800, 1, "mV", 480},
    {"-240-240mV", -24000, 24000, 2, "mV", 2400},
    {"-120-120mV", -12000, 12000, 2, "mV", 1199},
    {"-60-60mV", -6000, 6000, 2, "mV", 599},
    {"-30-30mV", -3000, 3000, 2, "mV", 299},
    {"-15-15mV", -1500, 1500, 2, "mV", 150},
    {"-96-96V", -9600, 9600, 2, "V", 960},
    {"-48-48V", -4800, 4800, 2, "V", 480},
    {"-24-24V", -2400, 2400, 2, "V", 239},
    {"-12-12V", -1200, 1200, 2, "V", 120},
    {"-6-6V", -600, 600, 2, "V", 60},
    {"-3-3V", -300, 300, 2, "V", 30},
    {"0-177mA", 0, 17700, 2, "mA", 885},
    {"0-88mA", 0, 8800, 2, "mA", 439},
    {"0-44mA", 0, 4400, 2, "mA", 219},
    {"0-22mA", 0, 2200, 2, "mA", 110},
    {"0-11mA", 0, 1100, 2, "mA", 55},
    {"0-5.5mA", 0, 550, 2, "mA", 27},
}};

bool within(const std::string &text, std::int64_t low, std::int64_t high, int decimals)
{
    const Decimal value = textToDecimal(text);
    return value.compare(Decimal::fromScaled(low, decimals)) >= 0 &&
           value.compare(Decimal::fromScaled(high, decimals)) <= 0;
}
} // namespace

bool isVmaRange(int range)
{
    return range >= 0 && range < VmaRangeCount;
}

const VmaRange &vmaRange(int range)
{
    return Ranges.at(static_cast<std::size_t>(range));
}

int vmaDecimals(int range)
{
    return isVmaRange(range) ? vmaRange(range).decimals : 2;
}

std::string vmaLowText(int range)
{
    const VmaRange &r = vmaRange(range);
    return formatScaled(r.low, r.decimals);
}

std::string vmaHighText(int range)
{
    const VmaRange &r = vmaRange(range);
    return formatScaled(r.high, r.decimals);
}

std::string vmaOffsetLowText(int range)
{
    const VmaRange &r = vmaRange(range);
    return "-" + formatScaled(r.boundShown, r.decimals);
}

std::string vmaOffsetHighText(int range)
{
    const VmaRange &r = vmaRange(range);
    return "+" + formatScaled(r.boundShown, r.decimals);
}

int vmaToRegister(int range, const std::string &text)
{
    return textToRegister(text, vmaDecimals(range));
}

std::string vmaFromRegister(int range, int value)
{
    return registerToText(value, vmaDecimals(range));
}

bool vmaLimitWithinRange(int range, const std::string &text)
{
    const VmaRange &r = vmaRange(range);
    return within(text, r.low, r.high, r.decimals);
}

bool vmaOffsetWithinBound(int range, const std::string &text)
{
    const VmaRange &r = vmaRange(range);
    return within(text, -r.boundShown, r.boundShown, r.decimals);
}
