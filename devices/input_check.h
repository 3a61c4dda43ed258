#pragma once

#include <string>

// The checks made before a configuration is written. Both compare the digits
// typed exactly; text that is not a number raises ConversionError.

// True when a measuring range limit lies within the maximal range of the type
// (temperature types in deg F when unit is 1).
bool limitWithinRange(int type, int unit, const std::string &text);
// True when an offset lies within ± 5 % of the maximal span of the type and unit.
bool offsetWithinBound(int type, int unit, const std::string &text);

// Set by the input check of whichever window ran it last and tested by that
// window's "Write To Device": one flag for the whole program.
inline bool CheckFailed = false;
