#include "input_check.h"

#include "input_types.h"
#include "numtext.h"
#include "range_display.h"

bool limitWithinRange(int type, int unit, const std::string &text)
{
    const RangeLimits range = maximalRange(type, unit);
    const int decimals = rangeDecimals(type);
    const Decimal value = textToDecimal(text);
    return value.compare(Decimal::fromScaled(range.low, decimals)) >= 0 &&
           value.compare(Decimal::fromScaled(range.high, decimals)) <= 0;
}

bool offsetWithinBound(int type, int unit, const std::string &text)
{
    const Decimal bound = offsetBound(type, unit);
    const Decimal value = textToDecimal(text);
    const Decimal negative{-bound.mantissa, bound.exponent};
    return value.compare(negative) >= 0 && value.compare(bound) <= 0;
}
