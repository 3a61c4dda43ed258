#pragma once

#include "register_table.h"

#include <string>

// The resistance transmitter's configuration block, holding registers read
// with function 3 from register 0, every value two's complement and shown
// unscaled: range limits 2/3 (read only), offset 4, output direction 5,
// sensor-break signal 6 (written with function 6) and the output trim counts
// 7/8. "Write To Device" writes 5, 4 and 6 in that order; the trim counts are
// written by the trim controls. Register 9 is the command cell, 10 the value
// of the calibration point being set, 11.. the stored calibration points.
// Both resistance windows share the table: the compact window reads fewer
// registers of the same block.
const RegisterTable &resistanceRegisters();

inline constexpr int ResistanceCommandCell = 9;
// Trim counts of the 4 mA and 20 mA points.
inline constexpr int ResistanceTrimLow = 7;
inline constexpr int ResistanceTrimHigh = 8;
inline constexpr int FirstStoredPointRegister = 11;

// What tells the two resistance windows apart: the modules of version index 5
// on (TForm4) and the compact ones of version index 4 or less (TForm10).
struct ResistanceVariant
{
    int blockCount;  // registers read by "Read From Device"
    int lastModel;   // model codes (calibration modes) 3..lastModel are accepted
    bool compact;    // version index 4 or less
    int offsetBound; // the offset lies within ±offsetBound
    const char *offsetBoundsText;
};

inline constexpr ResistanceVariant ResistanceTransmitter = {36, 7, false, 1500, "-1500 ~ +1500"};
inline constexpr ResistanceVariant CompactResistanceTransmitter = {30, 6, true, 50, "-50 ~ +50"};

inline constexpr int FirstResistanceModel = 3;
inline constexpr int LastCompactVersion = 4;

// True when a module of this version index belongs to the variant's window.
bool versionMatches(const ResistanceVariant &variant, int version);
// True when the information block names a module the variant's window reads.
bool modelAccepted(const ResistanceVariant &variant, int model);

// The offset field when it is left: blank becomes "0", a number beyond
// ±bound the bound; any other number stays as typed (a fraction is truncated
// when written). Text that is not a number raises ConversionError.
std::string resistanceOffsetExit(const std::string &text, int bound);

// The offset register value of the field's text: truncated toward zero.
int resistanceOffsetToRegister(const std::string &text);
