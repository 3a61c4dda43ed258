#pragma once

#include "register_table.h"
#include "register_values.h"

// The text conversions of the configuration fields that several windows'
// register tables share. Scaling follows the input type last applied (InType).

// Measuring range limits: whole degrees, hundredths of mV, thousandths of V/mA.
inline constexpr TextConversion LimitText = {
    [](const FieldContext &c, int value) { return limitFromRegister(c.type, value); },
    [](const FieldContext &c, const std::string &text) { return limitToRegister(c.type, text); }};

// Offsets: tenths of degrees, hundredths of mV, thousandths of V/mA.
inline constexpr TextConversion OffsetText = {
    [](const FieldContext &c, int value) { return offsetFromRegister(c.type, value); },
    [](const FieldContext &c, const std::string &text) { return offsetToRegister(c.type, text); }};
