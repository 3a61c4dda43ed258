#include "input_types.h"

#include <array>
#include <stdexcept>
#include <string>

namespace {
using IC = InputClass;

const std::array<InputType, InputTypeCount> Types = {{
    {"Thermocouple J", "Thermocouple J", IC::Temperature, -50, 1000},
    {"Thermocouple K", "Thermocouple K", IC::Temperature, -50, 1370},
    {"Thermocouple T", "Thermocouple T", IC::Temperature, -270, 400},
    {"Thermocouple E", "Thermocouple E", IC::Temperature, -50, 700},
    {"Thermocouple B", "Thermocouple B", IC::Temperature, 0, 1750},
    {"Thermocouple R", "Thermocouple R", IC::Temperature, -50, 1750},
    {"Thermocouple S", "Thermocouple S", IC::Temperature, -50, 1750},
    {"Thermocouple N", "Thermocouple N", IC::Temperature, -50, 1300},
    {"Thermocouple C", "Thermocouple C", IC::Temperature, -50, 1800},
    {"mV (-60~60mV)", "mV (-60~60mV)", IC::Millivolt, -6000, 6000},
    {"PT-100", "PT-100", IC::Temperature, -200, 600},
    {"Voltage (-10 - 10V)", "-10 V- 10V", IC::Volt, -10000, 10000},
    {"Current (0 - 24mA)", "0mA - 24mA", IC::Milliampere, 0, 24000},
}};
} // namespace

bool isInputType(int type)
{
    return type >= 0 && type < InputTypeCount;
}

const InputType &inputType(int type)
{
    if (!isInputType(type))
        throw std::out_of_range("input type " + std::to_string(type) + " out of range");
    return Types[static_cast<std::size_t>(type)];
}

InputClass inputClass(int type)
{
    return inputType(type).inputClass;
}

bool isTemperature(int type)
{
    return inputClass(type) == IC::Temperature;
}

bool isThermocouple(int type)
{
    return type >= 0 && type <= 8;
}

int rangeDecimals(int type)
{
    switch (inputClass(type)) {
    case IC::Temperature: return 0;
    case IC::Millivolt: return 2;
    case IC::Volt:
    case IC::Milliampere: return 3;
    }
    return 0;
}

int offsetDecimals(int type)
{
    return isTemperature(type) ? 1 : rangeDecimals(type);
}

int outputDecimals(int type)
{
    return offsetDecimals(type);
}

int outputRegisterDecimals(int type, int devVer)
{
    return isTemperature(type) && devVer < 3 ? 0 : outputDecimals(type);
}

int toFahrenheit(int celsius)
{
    // c × 1.8 + 32 = (18c + 320) / 10; integer division truncates toward zero.
    return (18 * celsius + 320) / 10;
}

RangeLimits maximalRange(int type, int unit)
{
    const InputType &t = inputType(type);
    if (t.inputClass == IC::Temperature && unit == UnitFahrenheit)
        return {toFahrenheit(t.low), toFahrenheit(t.high)};
    return {t.low, t.high};
}
