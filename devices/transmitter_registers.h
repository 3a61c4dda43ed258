#pragma once

#include "register_table.h"

#include <string_view>

// The transmitter's configuration block, holding registers 0..8 (function 3):
// input type, unit, measuring range, offset, output direction, sensor break
// signal and the two output trim counts. "Write To Device" writes 2, 3, 4, 1,
// 5, 6 with function 5 and the input type last, with function 6, so that a
// write that fails on the way leaves the module's input type as it was. The
// trim counts are written by the trim controls, not by the configuration write.
const RegisterTable &transmitterRegisters();

// Registers read by "Read From Device".
inline constexpr int TransmitterBlockCount = 9;
// Trim counts of the 4 mA and 20 mA points.
inline constexpr int TransmitterTrimLow = 7;
inline constexpr int TransmitterTrimHigh = 8;
// Command register: code 34 commits a serial number; the output trim, the live
// value and the input calibration send their codes here too.
inline constexpr int TransmitterCommandCell = 9;
// Reference value of the calibration point under way.
inline constexpr int TransmitterReferenceCell = 10;
// The first count a calibration point polls (A0; A1, A2 follow).
inline constexpr int TransmitterCountRegister = 4099;

// Which modules the transmitter window reads: model codes 1, 2, 16, 17 and 18,
// and the early module whose information word (model << 8 | version) is 3110.
bool transmitterAccepts(int model, int version);
// Version index of an accepted module: 0 for the 3110 word, else the version byte.
int transmitterVersion(int model, int version);
// Model label of a model code; empty for codes whose label stays as it is.
std::string_view transmitterModelLabel(int model);
// True for the model whose input has no voltage and current choices (code 17).
bool transmitterHidesVoltageAndCurrent(int model);

// From this version index on the sensor break offers "Cut".
inline constexpr int TransmitterCutMinVer = 4;
// From this version index on a write is followed by the module's storing result.
inline constexpr int TransmitterStoringMinVer = 5;
