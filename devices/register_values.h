#pragma once

#include <string>

// Conversions between register values and the texts of the configuration and
// live value fields. A text becomes a register value by scaling its digits
// exactly and truncating toward zero beyond the field's resolution; a register
// value is shown with the field's decimals, exactly.

// Live value of an open input (sensor break), shown as "OPEN".
constexpr int OpenInput = 32767;

// The two sign rules of the modules' registers, for a word hi·256+lo. Which one
// a value follows is a property of the window and register that reads it.
// Above 32767 minus 65536: 0x8000 is -32768 (two's complement).
int signedAbove32767(int word);
// Above 32768 minus 65536: 0x8000 stays 32768, 0x8001 is -32767.
int signedAbove32768(int word);

// A text × 10^decimals truncated toward zero, held to the 16-bit range -32768..32767.
int textToRegister(const std::string &text, int decimals);
// A register value × 10^-decimals in the pattern "0", "0.0", "0.00" or "0.000".
std::string registerToText(int value, int decimals);

// Register value of a measuring range limit text of a type.
int limitToRegister(int type, const std::string &text);
// Measuring range limit text of a register value of a type.
std::string limitFromRegister(int type, int value);
// Register value of an offset text of a type.
int offsetToRegister(int type, const std::string &text);
// Offset text of a register value of a type.
std::string offsetFromRegister(int type, int value);
// Register value of an output range text of a type for the module's firmware version.
int outputToRegister(int type, const std::string &text, int devVer);
// Output range text of a register value of a type for the module's firmware version.
std::string outputFromRegister(int type, int value, int devVer);

// Raw value of an output range text under a type (shown value × the type's factor),
// kept while the input type changes.
int outputRaw(int type, const std::string &text);
// Output range text of a raw value under a (new) type: only the decimal point moves.
std::string outputFromRaw(int type, int raw);

// True when the lower field's value is above the upper field's, so a write exchanges the two texts.
bool needsExchange(const std::string &lowText, const std::string &highText);

// Live value of a type: "OPEN" for 32767; thermocouples in whole degrees when
// wholeDegrees is set (configuration page), else in tenths like PT-100.
std::string liveValueText(int type, int value, bool wholeDegrees);
// Live value with a fixed number of decimals: "OPEN" for 32767.
std::string liveText(int value, int decimals);
