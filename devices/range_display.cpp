#include "range_display.h"

#include "input_types.h"

namespace {
const char *unitCaptionOf(int type, int unit)
{
    switch (inputClass(type)) {
    case InputClass::Millivolt: return "mV";
    case InputClass::Volt: return "V";
    case InputClass::Milliampere: return "mA";
    case InputClass::Temperature: break;
    }
    return unit == UnitFahrenheit ? "deg F" : "deg C";
}

const char *outputBoundsOf(int type)
{
    switch (inputClass(type)) {
    case InputClass::Temperature: return "-3000.0~3000.0";
    case InputClass::Millivolt: return "-300.00~300.00";
    case InputClass::Volt:
    case InputClass::Milliampere: break;
    }
    return "-30.000~30.000";
}
} // namespace

Decimal offsetBound(int type, int unit)
{
    // Without a unit selection the deg C range applies, as in the input check.
    const RangeLimits range = maximalRange(type, unit);
    const std::int64_t span = static_cast<std::int64_t>(range.high) - range.low;
    return {span * 5, -(rangeDecimals(type) + 2)};
}

std::int64_t shownOffsetBound(int type, int unit)
{
    // Truncated, so that clamping to the shown bound never lets through an
    // offset the input check rejects (every span of the table divides exactly).
    return offsetBound(type, unit).scaledTrunc(offsetDecimals(type));
}

RangeDisplay rangeDisplay(int type, int unit)
{
    RangeDisplay d;
    const bool temperature = isTemperature(type);
    d.showLimits = !temperature || unit == UnitCelsius || unit == UnitFahrenheit;
    if (d.showLimits) {
        const RangeLimits range = maximalRange(type, unit);
        d.unitCaption = unitCaptionOf(type, unit);
        d.lowText = formatScaled(range.low, rangeDecimals(type));
        d.highText = formatScaled(range.high, rangeDecimals(type));
    }
    const std::string bound = formatScaled(shownOffsetBound(type, unit), offsetDecimals(type));
    d.offsetLowText = "-" + bound;
    d.offsetHighText = "+" + bound;
    d.outputBoundsText = outputBoundsOf(type);
    const bool current = type == MilliampereType;
    d.unitChoice0 = current ? "com +" : "deg C";
    d.unitChoice1 = current ? "com -" : "deg F";
    return d;
}
