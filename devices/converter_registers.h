#pragma once

#include "register_table.h"

#include <array>

// The converter's configuration block, holding registers 0..23 (function 3,
// every value two's complement), and where each register is shown, when it is
// there and in which order "Write To Device" writes it. Registers 19 and 20
// (address and baud) are written by the address and baud step that ends the
// write; 21 and 22 are the command and reference registers of calibration.
const RegisterTable &converterRegisters();

// Registers read by "Read From Device": 24 from version index 8 on (the filter
// is register 23), else 23.
int converterBlockCount(int devVer);

// Register with the module's own address (and the next one its baud code),
// read on activation from version index 8 on.
inline constexpr int ConverterOwnSettings = 24;
// The command cell (calibration, trim and serial-number codes) and the
// reference value of a calibration point; the trim counts of both outputs'
// end points; the first live value (PV1, PV2, F follow as input registers).
inline constexpr int ConverterCommandCell = 21;
inline constexpr int ConverterReferenceCell = 22;
inline constexpr std::array<int, 4> ConverterTrimCounts = {10, 11, 12, 13};
inline constexpr int ConverterCountRegister = 4099;
inline constexpr int ConverterRestoreMinVer = 8;
