#pragma once

#include <cstdint>
#include <string>

// Corrections applied to the configuration fields when the operator leaves
// them. Each takes the field's text (and the type and bound texts it depends
// on) and returns the text the field shows afterwards. Text that is not a
// number raises ConversionError; a blank field takes its default instead.

// How a temperature limit is kept: the converter and transmitter truncate it
// to whole degrees; the distributor keeps it as typed in its shortest form.
enum class TemperatureLimit { Whole, General };

// Lower measuring range limit: blank takes lowText; outside [lowText, highText] becomes lowText.
std::string lowerLimitExit(int type, const std::string &text, const std::string &lowText,
                           const std::string &highText,
                           TemperatureLimit style = TemperatureLimit::Whole);
// Upper measuring range limit: blank takes highText; outside [lowText, highText] becomes highText.
std::string upperLimitExit(int type, const std::string &text, const std::string &lowText,
                           const std::string &highText,
                           TemperatureLimit style = TemperatureLimit::Whole);
// Offset: blank is 0; clamped to the shown bound texts; shown with the type's offset decimals.
std::string offsetExit(int type, const std::string &text, const std::string &lowBoundText,
                       const std::string &highBoundText);
// The same limit and offset rules for fields whose decimals do not follow an
// input type (the range distributor's ranges): the result has `decimals` places.
std::string fixedLowerLimitExit(int decimals, const std::string &text, const std::string &lowText,
                                const std::string &highText);
std::string fixedUpperLimitExit(int decimals, const std::string &text, const std::string &lowText,
                                const std::string &highText);
std::string fixedOffsetExit(int decimals, const std::string &text, const std::string &lowBoundText,
                            const std::string &highBoundText);
// A field held to ±band (band in units of the last decimal): blank or outside
// becomes -band for the lower field, +band for the upper one.
std::string bandExit(int decimals, std::int64_t band, const std::string &text, bool lowerField);
// Coefficient A or B: blank is 0; whole number held to -128..127.
// Text of nothing but spaces and tabs: a field left empty.
bool isBlank(const std::string &text);

std::string coefficientExit(const std::string &text);
// Divisor C: blank is 1; whole number held to -30000..30000; 0 becomes 1.
std::string divisorExit(const std::string &text);
// Output range lower limit: blank or outside the type's band becomes the negative bound.
std::string outputLowExit(int type, const std::string &text);
// Output range upper limit: blank or outside the type's band becomes the positive bound.
std::string outputHighExit(int type, const std::string &text);

// Slave address field when it is left: empty, below 1 or above 255 becomes "1".
std::string addressExit(const std::string &text);
// True for a slave address text a module can take: a whole number 1..255.
bool validAddress(const std::string &text);
// Serial number text: a decimal number truncated toward zero and taken modulo
// 2^32, as the serial number cells store it.
std::uint32_t serialNumberOf(const std::string &text);
