#pragma once

#include <string_view>
#include <vector>

// A count field of a calibration point and the count it shows (0 for the
// first register of the count poll, A0).
struct CountField
{
    std::string_view field;
    int count = 0;
};

// One reference point of an input calibration, as data: what its "Start"
// writes, which counts its poll shows where, and what its "Done" stores.
struct CalibrationPoint
{
    std::string_view start; // Start button
    std::string_view done;  // Done button
    // Input type written to the type register (typeFunction, below) and unit
    // 0 to the unit register (unitFunction) before the point; -1: nothing written.
    int type = -1;
    int unitFunction = 5;
    // Input type selected on screen only, as the point's type would be; -1: none.
    int screenType = -1;
    // Reference field (read-only text), its scale to a register value (1 for
    // degrees, 1000 for volts and milliamperes) and write function; empty: none.
    std::string_view reference = {};
    int referenceScale = 1;
    int referenceFunction = 5;
    // Class command written to the command register after the reference; -1: none.
    int classCode = -1;
    int classFunction = 5;
    // Which of the window's count polls runs, how many count registers it
    // reads, and where the counts go.
    int poll = 0;
    int pollCount = 5;
    std::vector<CountField> counts;
    // Store code written to the command register by "Done" and its function
    // (a repetition always uses function 5).
    int code = 0;
    int doneFunction = 5;
    // The poll's first request goes out at Start, so that its first tick
    // already shows counts; else the first tick only sends.
    bool pollFromStart = false;
    // Register the type goes to (-1: CalibrationRules::typeRegister; a
    // family with a type register per channel names it here), the function it
    // is written with, and whether unit 0 follows it (to unitRegister, -1:
    // CalibrationRules::unitRegister).
    int typeRegister = -1;
    int typeFunction = 5;
    bool writesUnit = true;
    int unitRegister = -1;
};

// What a family's calibration shares.
struct CalibrationRules
{
    int commandRegister = 21;
    int referenceRegister = 22;
    int typeRegister = 0;
    int unitRegister = 1;
    int countRegister = 4099;
    // A ReadReply before a refused store code goes out once more.
    bool storeRetryDrained = true;
};

using CalibrationTable = std::vector<CalibrationPoint>;

// The converter's 18 points (both channels).
const CalibrationTable &converterCalibration();
// The transmitter's nine points: each starts with a class command (36..39) on
// the command register 9 after its reference on register 10; counts A0..A2
// come from 4099..4101 every second, the 0 mV point's A0 from a poll of its own.
const CalibrationTable &transmitterCalibration();
// Reference value of a reference text: whole number, or the value × scale
// truncated toward zero. Raises ConversionError for text that is not a number.
int referenceValue(const std::string_view text, int scale);
