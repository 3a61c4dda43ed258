#pragma once

// The thirteen input signal types shared by the converter, transmitter and
// universal distributor windows: their classes, scaling and maximal ranges.
// The index of a type is the value of the module's input type register.

enum class InputClass { Temperature, Millivolt, Volt, Milliampere };

// One row of the input type table. The maximal range is in deg C for
// temperature types, else in the class's unit, as a register value of the
// measuring range fields (whole degrees, hundredths of mV, thousandths of V/mA).
struct InputType
{
    const char *text;            // item text in the converter and transmitter windows
    const char *distributorText; // item text in the distributor windows
    InputClass inputClass;
    int low;
    int high;
};

// Maximal measuring range as register values of the measuring range fields.
struct RangeLimits
{
    int low = 0;
    int high = 0;
};

constexpr int InputTypeCount = 13;
constexpr int MillivoltType = 9;
constexpr int Pt100Type = 10;
constexpr int VoltType = 11;
constexpr int MilliampereType = 12;

// Unit register values; type 12 offers the same two values as "com +" / "com -".
constexpr int UnitCelsius = 0;
constexpr int UnitFahrenheit = 1;

// True for the indices 0..12 of the input type table.
bool isInputType(int type);
// The table row of a type; throws std::out_of_range outside 0..12.
const InputType &inputType(int type);
// The class of a type (temperature, millivolt, volt, milliampere).
InputClass inputClass(int type);
// True for the thermocouples 0..8 and PT-100.
bool isTemperature(int type);
// True for the thermocouples 0..8 only.
bool isThermocouple(int type);
// Decimals of the measuring range fields: 0 (temperature), 2 (mV), 3 (V, mA).
int rangeDecimals(int type);
// Decimals of the offset fields: 1 (temperature), 2 (mV), 3 (V, mA).
int offsetDecimals(int type);
// Decimals of the output measuring range fields as shown: 1, 2 or 3.
int outputDecimals(int type);
// Decimals of the output range registers: as shown, but whole degrees for
// temperature types on converters older than firmware version 3.
int outputRegisterDecimals(int type, int devVer);
// Whole deg F of a whole deg C limit: trunc(c × 1.8 + 32) toward zero.
int toFahrenheit(int celsius);
// Maximal range of a type; temperature types in deg F when unit is 1, else deg C.
RangeLimits maximalRange(int type, int unit);
