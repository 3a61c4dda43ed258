#pragma once

#include <array>
#include <cstdint>

// Output trim counts run 0..32767.
inline constexpr int TrimCountMax = 32767;
// The command codes that hold an output at an end point while it is
// trimmed (output 1: 4 mA, 20 mA; output 2: 4 mA, 20 mA), and those that let
// output 1 and output 2 follow their input again ("Normal").
inline constexpr std::array<int, 4> TrimHoldCodes = {27, 28, 29, 30};
inline constexpr std::array<int, 2> TrimNormalCodes = {31, 32};

// The trim stepping value and the direction last taken, shared by the up-down
// buttons of every window of the program: one pair for the whole process.
inline std::int16_t StepValue = 0;
inline bool StepUp = true;

enum class StepDirection { None, Up, Down };

// One press of a trim up-down on a count field showing `count`: StepValue
// takes the count and steps by one in the direction pressed (no direction:
// the direction last taken by any up-down), held to 0..32767. Returns the new
// count.
int trimStep(int count, StepDirection direction);
