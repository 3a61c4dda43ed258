#pragma once

#include <optional>
#include <string_view>
#include <vector>

// A count field of a calibration point and the count it shows (0 for the
// first register of the count poll, A0).
struct CountField
{
    std::string_view field = {};
    int count = 0;
};

// One reference point of an input calibration, as data: what its "Start"
// writes, which counts its poll shows where, and what its "Done" stores.
struct CalibrationPoint
{
    std::string_view start = {}; // Start button
    std::string_view done = {};  // Done button
    // Input type written to the channel's type register (typeFunction) and
    // unit 0 to its unit register (unitFunction; 0: no unit written) before
    // the point; -1: nothing written.
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
    std::vector<CountField> counts = {};
    // Store code written to the command register by "Done" and its function
    // (a repetition always uses function 5).
    int code = 0;
    int doneFunction = 5;
    // Channel whose type and unit registers and selectors the point uses
    // (0: CH-1, 1: CH-2).
    int channel = 0;
    // Reference register value written as it is, for a point whose reference
    // text is only a hint to the operator.
    std::optional<int> fixedReference = std::nullopt;
    // "Done" is enabled once the reference is written instead of before it.
    bool armAfterReference = false;
    // The poll's first request goes out at Start, so that its first tick
    // already shows counts; else the first tick only sends.
    bool pollFromStart = false;
    // Function of the type write.
    int typeFunction = 5;
};

// What a family's calibration shares.
struct CalibrationRules
{
    int commandRegister = 21;
    int referenceRegister = 22;
    int typeRegister = 0;
    int unitRegister = 1;
    int countRegister = 4099;
    // CH-2's type and unit registers; -1: the module has one type for both.
    int secondTypeRegister = -1;
    int secondUnitRegister = -1;
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
// The universal distributor's 18 points (both channels).
const CalibrationTable &distributorCalibration();
// Reference value of a reference text: whole number, or the value × scale
// truncated toward zero. Raises ConversionError for text that is not a number.
int referenceValue(const std::string_view text, int scale);
