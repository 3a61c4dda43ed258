#include "field_rules.h"

#include "input_types.h"
#include "numtext.h"

#include <algorithm>

namespace {

// The value × 10^decimals rounded half away from zero, on the digits typed,
// as the field's display pattern rounds.
std::int64_t roundedScaled(const Decimal &value, int decimals)
{
    const std::int64_t finer = value.scaledTrunc(decimals + 1);
    const std::int64_t digit = finer % 10; // carries the sign of the value
    return finer / 10 + (digit >= 5 ? 1 : 0) - (digit <= -5 ? 1 : 0);
}

std::string rounded(const Decimal &value, int decimals)
{
    return formatScaled(roundedScaled(value, decimals), decimals);
}

bool outside(const Decimal &value, const Decimal &low, const Decimal &high)
{
    return value.compare(low) < 0 || value.compare(high) > 0;
}

// A limit with a fixed number of decimals: an out-of-range value becomes the
// bound of the field's own side.
std::string fixedLimitExit(int decimals, const std::string &text, const std::string &lowText,
                           const std::string &highText, bool lowerField)
{
    const std::string &own = lowerField ? lowText : highText;
    const Decimal value = textToDecimal(isBlank(text) ? own : text);
    const Decimal low = textToDecimal(lowText);
    const Decimal high = textToDecimal(highText);
    const Decimal kept = outside(value, low, high) ? (lowerField ? low : high) : value;
    return rounded(kept, decimals);
}

// Both limit fields: an out-of-range value becomes the bound of the field's own side.
std::string limitExit(int type, const std::string &text, const std::string &lowText,
                      const std::string &highText, TemperatureLimit style, bool lowerField)
{
    if (!isTemperature(type))
        return fixedLimitExit(rangeDecimals(type), text, lowText, highText, lowerField);

    const std::string &own = lowerField ? lowText : highText;
    const Decimal value = textToDecimal(isBlank(text) ? own : text);
    const Decimal low = textToDecimal(lowText);
    const Decimal high = textToDecimal(highText);
    if (style == TemperatureLimit::General) {
        const Decimal kept = outside(value, low, high) ? (lowerField ? low : high) : value;
        return formatGeneral(kept);
    }
    const std::int64_t whole = value.scaledTrunc(0);
    const std::int64_t wholeLow = low.scaledTrunc(0);
    const std::int64_t wholeHigh = high.scaledTrunc(0);
    if (whole < wholeLow || whole > wholeHigh)
        return std::to_string(lowerField ? wholeLow : wholeHigh);
    return std::to_string(whole);
}

// Output range fields: the band is ±3000, ±300 or ±30 in shown units.
std::string outputExit(int type, const std::string &text, bool lowerField)
{
    // The same register span in every class.
    return bandExit(outputDecimals(type), 30000, text, lowerField);
}

std::string wholeExit(const std::string &text, int blankValue, int low, int high)
{
    const int value = isBlank(text) ? blankValue : textToInt(text);
    return std::to_string(std::clamp(value, low, high));
}
} // namespace

bool isBlank(const std::string &text)
{
    return text.find_first_not_of(" \t") == std::string::npos;
}

std::string lowerLimitExit(int type, const std::string &text, const std::string &lowText,
                           const std::string &highText, TemperatureLimit style)
{
    return limitExit(type, text, lowText, highText, style, true);
}

std::string upperLimitExit(int type, const std::string &text, const std::string &lowText,
                           const std::string &highText, TemperatureLimit style)
{
    return limitExit(type, text, lowText, highText, style, false);
}

std::string offsetExit(int type, const std::string &text, const std::string &lowBoundText,
                       const std::string &highBoundText)
{
    return fixedOffsetExit(offsetDecimals(type), text, lowBoundText, highBoundText);
}

std::string fixedLowerLimitExit(int decimals, const std::string &text, const std::string &lowText,
                                const std::string &highText)
{
    return fixedLimitExit(decimals, text, lowText, highText, true);
}

std::string fixedUpperLimitExit(int decimals, const std::string &text, const std::string &lowText,
                                const std::string &highText)
{
    return fixedLimitExit(decimals, text, lowText, highText, false);
}

std::string fixedOffsetExit(int decimals, const std::string &text, const std::string &lowBoundText,
                            const std::string &highBoundText)
{
    if (isBlank(text))
        return formatScaled(0, decimals);
    const Decimal value = textToDecimal(text);
    const Decimal low = textToDecimal(lowBoundText);
    const Decimal high = textToDecimal(highBoundText);
    if (value.compare(low) < 0)
        return rounded(low, decimals);
    if (value.compare(high) > 0)
        return rounded(high, decimals);
    return rounded(value, decimals);
}

std::string bandExit(int decimals, std::int64_t band, const std::string &text, bool lowerField)
{
    const std::string bound = formatScaled(lowerField ? -band : band, decimals);
    if (isBlank(text))
        return bound;
    const Decimal value = textToDecimal(text);
    if (outside(value, Decimal::fromScaled(-band, decimals), Decimal::fromScaled(band, decimals)))
        return bound;
    return rounded(value, decimals);
}

std::string coefficientExit(const std::string &text)
{
    return wholeExit(text, 0, -128, 127);
}

std::string divisorExit(const std::string &text)
{
    const std::string kept = wholeExit(text, 1, -30000, 30000);
    return kept == "0" ? "1" : kept;
}

std::string outputLowExit(int type, const std::string &text)
{
    return outputExit(type, text, true);
}

std::string outputHighExit(int type, const std::string &text)
{
    return outputExit(type, text, false);
}

std::string addressExit(const std::string &text)
{
    if (isBlank(text))
        return "1";
    const int address = textToInt(text);
    return address < 1 || address > 255 ? "1" : text;
}

bool validAddress(const std::string &text)
{
    if (isBlank(text))
        return false;
    try {
        const int address = textToInt(text);
        return address >= 1 && address <= 255;
    } catch (const ConversionError &) {
        return false;
    }
}

std::uint32_t serialNumberOf(const std::string &text)
{
    const std::int64_t whole = textToDecimal(text).scaledTrunc(0);
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(whole));
}
