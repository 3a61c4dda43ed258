#include "numtext.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {
// What was typed, as an error text quotes it: at most its first 40
// characters (whole UTF-8 characters), so that a pasted page of text cannot
// flood the error box.
std::string quoted(const std::string &text)
{
    constexpr std::size_t Shown = 40;
    std::size_t end = 0;
    std::size_t characters = 0;
    while (end < text.size() && characters < Shown) {
        ++end;
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            ++end;
        ++characters;
    }
    return "'" + text.substr(0, end) + (end < text.size() ? "...'" : "'");
}
constexpr int MaxDigits = 18; // what an int64 mantissa holds safely

std::string trimmed(const std::string &text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::int64_t pow10(int n)
{
    std::int64_t p = 1;
    for (int i = 0; i < n; ++i)
        p *= 10;
    return p;
}

[[noreturn]] void notFloat(const std::string &text)
{
    throw ConversionError(quoted(text) + " is not a valid floating point value");
}
} // namespace

double Decimal::toDouble() const
{
    return static_cast<double>(mantissa) * std::pow(10.0, exponent);
}

std::int64_t Decimal::scaledTrunc(int decimals) const
{
    const int shift = exponent + decimals;
    if (shift >= 0) {
        if (shift > MaxDigits)
            return mantissa == 0 ? 0 : (mantissa > 0 ? INT64_MAX : INT64_MIN);
        const std::int64_t factor = pow10(shift);
        if (std::llabs(mantissa) > INT64_MAX / factor)
            return mantissa > 0 ? INT64_MAX : INT64_MIN;
        return mantissa * factor;
    }
    if (-shift > MaxDigits)
        return 0;
    return mantissa / pow10(-shift); // C++ division truncates toward zero
}

int Decimal::compare(const Decimal &other) const
{
    // Bring both to the smaller exponent; fall back to doubles only when the
    // mantissas would overflow (values far beyond any field's range).
    const int common = std::min(exponent, other.exponent);
    const int a = exponent - common;
    const int b = other.exponent - common;
    if (a <= MaxDigits && b <= MaxDigits) {
        const std::int64_t fa = pow10(a), fb = pow10(b);
        if (std::llabs(mantissa) <= INT64_MAX / fa &&
            std::llabs(other.mantissa) <= INT64_MAX / fb) {
            const std::int64_t x = mantissa * fa, y = other.mantissa * fb;
            return x < y ? -1 : (x > y ? 1 : 0);
        }
    }
    const double x = toDouble(), y = other.toDouble();
    return x < y ? -1 : (x > y ? 1 : 0);
}

int textToInt(const std::string &text)
{
    const std::string t = trimmed(text);
    std::size_t i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        negative = t[i++] == '-';
    if (i == t.size())
        throw ConversionError(quoted(text) + " is not a valid integer value");
    std::int64_t value = 0;
    for (; i < t.size(); ++i) {
        if (t[i] < '0' || t[i] > '9')
            throw ConversionError(quoted(text) + " is not a valid integer value");
        value = value * 10 + (t[i] - '0');
        if (value > static_cast<std::int64_t>(std::numeric_limits<int>::max()) + 1)
            throw ConversionError(quoted(text) + " is not a valid integer value");
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<int>::max())
        throw ConversionError(quoted(text) + " is not a valid integer value");
    return static_cast<int>(value);
}

Decimal textToDecimal(const std::string &text)
{
    const std::string t = trimmed(text);
    std::size_t i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        negative = t[i++] == '-';

    Decimal d;
    int digits = 0;  // significant digits kept in the mantissa
    int dropped = 0; // integer digits beyond MaxDigits (scale the exponent)
    bool any = false, point = false;
    for (; i < t.size(); ++i) {
        const char c = t[i];
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9') {
            any = true;
            if (d.mantissa == 0 && c == '0') {
                if (point)
                    --d.exponent;
                continue;
            }
            if (digits < MaxDigits) {
                d.mantissa = d.mantissa * 10 + (c - '0');
                ++digits;
                if (point)
                    --d.exponent;
            } else if (!point) {
                ++dropped;
            }
        } else {
            break;
        }
    }
    if (!any)
        notFloat(text);
    if (i < t.size()) {
        if (t[i] != 'e' && t[i] != 'E')
            notFloat(text);
        ++i;
        bool expNegative = false;
        if (i < t.size() && (t[i] == '+' || t[i] == '-'))
            expNegative = t[i++] == '-';
        if (i == t.size())
            notFloat(text);
        int e = 0;
        for (; i < t.size(); ++i) {
            if (t[i] < '0' || t[i] > '9')
                notFloat(text);
            e = std::min(e * 10 + (t[i] - '0'), 10000);
        }
        d.exponent += expNegative ? -e : e;
    }
    d.exponent += dropped;
    if (d.mantissa == 0)
        d.exponent = 0;
    if (negative)
        d.mantissa = -d.mantissa;
    return d;
}

double textToFloat(const std::string &text)
{
    return textToDecimal(text).toDouble();
}

std::int64_t textToScaled(const std::string &text, int decimals)
{
    return textToDecimal(text).scaledTrunc(decimals);
}

std::string formatScaled(std::int64_t scaled, int decimals)
{
    if (decimals <= 0)
        return std::to_string(scaled);
    const bool negative = scaled < 0;
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(scaled) : static_cast<std::uint64_t>(scaled);
    const std::uint64_t p = static_cast<std::uint64_t>(pow10(decimals));
    std::string fraction = std::to_string(magnitude % p);
    fraction.insert(0, static_cast<std::size_t>(decimals) - fraction.size(), '0');
    return (negative ? "-" : "") + std::to_string(magnitude / p) + "." + fraction;
}

std::string formatFixed(double value, int decimals)
{
    const double p = std::pow(10.0, decimals);
    // Round the decimal representation half away from zero; the tiny nudge
    // keeps values such as 127.8 (stored as 127.79999...) from rounding down.
    const double scaled = value * p;
    const double nudged = scaled + (scaled >= 0 ? 1e-9 : -1e-9) * std::max(1.0, std::fabs(scaled));
    const std::int64_t rounded = static_cast<std::int64_t>(std::round(nudged));
    std::string text = formatScaled(rounded, decimals);
    if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos)
        text.erase(0, 1); // no "-0.0"
    return text;
}

std::string formatGeneral(const Decimal &value)
{
    if (value.exponent >= 0)
        return std::to_string(value.scaledTrunc(0));
    std::string text = formatScaled(value.mantissa, -value.exponent);
    while (text.back() == '0')
        text.pop_back();
    if (text.back() == '.')
        text.pop_back();
    return text;
}
