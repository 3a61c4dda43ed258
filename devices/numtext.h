#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

// Text that is not a valid number. Raised by the conversions below; the
// application shows it in the standard error box and the program goes on.
class ConversionError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// A decimal number exactly as typed: value = mantissa × 10^exponent.
struct Decimal
{
    std::int64_t mantissa = 0;
    int exponent = 0;

    double toDouble() const;
    // The value × 10^decimals truncated toward zero, computed on the digits
    // (so "0.29" at 2 decimals is 29, never 28).
    std::int64_t scaledTrunc(int decimals) const;
    // -1, 0 or 1 as this value is below, equal to or above other.
    int compare(const Decimal &other) const;
    static Decimal fromScaled(std::int64_t scaled, int decimals) { return {scaled, -decimals}; }
};

// Whole number: optional sign and decimal digits, surrounding blanks allowed.
// Raises ConversionError ("'x' is not a valid integer value").
int textToInt(const std::string &text);
// Decimal number with an optional fraction and exponent ("12.5", "-.5", "1E3").
// Raises ConversionError ("'x' is not a valid floating point value").
Decimal textToDecimal(const std::string &text);
double textToFloat(const std::string &text);
// textToDecimal(text).scaledTrunc(decimals), the conversion of a shown value
// to a register value.
std::int64_t textToScaled(const std::string &text, int decimals);

// A scaled integer shown with a fixed number of decimals, exactly:
// formatScaled(-5, 1) is "-0.5", formatScaled(1234, 2) is "12.34".
std::string formatScaled(std::int64_t scaled, int decimals);
// A number rounded half away from zero to a fixed number of decimals
// ("0.0", "0.00", "0.000" display patterns).
std::string formatFixed(double value, int decimals);
// A decimal in the shortest general form ("-50", "12.5").
std::string formatGeneral(const Decimal &value);
