#include "register_values.h"

#include "input_types.h"
#include "numtext.h"

#include <algorithm>
#include <cstdint>

int signedAbove32767(int word)
{
    word &= 0xFFFF;
    return word > 32767 ? word - 65536 : word;
}

int signedAbove32768(int word)
{
    word &= 0xFFFF;
    return word > 32768 ? word - 65536 : word;
}

int textToRegister(const std::string &text, int decimals)
{
    // Held rather than wrapped: a value beyond 16 bits never reaches the
    // module as an unrelated number of the opposite sign.
    return static_cast<int>(std::clamp<std::int64_t>(textToScaled(text, decimals), -32768, 32767));
}

std::string registerToText(int value, int decimals)
{
    return formatScaled(value, decimals);
}

int limitToRegister(int type, const std::string &text)
{
    return textToRegister(text, rangeDecimals(type));
}

std::string limitFromRegister(int type, int value)
{
    return registerToText(value, rangeDecimals(type));
}

int offsetToRegister(int type, const std::string &text)
{
    return textToRegister(text, offsetDecimals(type));
}

std::string offsetFromRegister(int type, int value)
{
    return registerToText(value, offsetDecimals(type));
}

int outputToRegister(int type, const std::string &text, int devVer)
{
    return textToRegister(text, outputRegisterDecimals(type, devVer));
}

std::string outputFromRegister(int type, int value, int devVer)
{
    // Whole degrees of an old converter are shown with one decimal: 150 → "150.0".
    const int shown = outputDecimals(type);
    std::int64_t scaled = value;
    for (int i = outputRegisterDecimals(type, devVer); i < shown; ++i)
        scaled *= 10;
    return formatScaled(scaled, shown);
}

int outputRaw(int type, const std::string &text)
{
    return textToRegister(text, outputDecimals(type));
}

std::string outputFromRaw(int type, int raw)
{
    return registerToText(raw, outputDecimals(type));
}

bool needsExchange(const std::string &lowText, const std::string &highText)
{
    return textToDecimal(lowText).compare(textToDecimal(highText)) > 0;
}

std::string liveValueText(int type, int value, bool wholeDegrees)
{
    if (value == OpenInput)
        return "OPEN";
    if (isThermocouple(type) && wholeDegrees)
        return std::to_string(value / 10); // truncates toward zero: -125 is -12
    return registerToText(value, offsetDecimals(type));
}

std::string liveText(int value, int decimals)
{
    return value == OpenInput ? "OPEN" : registerToText(value, decimals);
}
