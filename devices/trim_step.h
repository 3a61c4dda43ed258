#pragma once

#include <cstdint>

// Output trim counts run 0..32767.
inline constexpr int TrimCountMax = 32767;

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
