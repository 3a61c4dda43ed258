#pragma once

#include "calibration_points.h"
#include "register_table.h"

#include <array>

// The V/mA range distributor's configuration block, holding registers 0..29
// (function 3, every value two's complement), where each register is shown and
// in which order "Write To Device" writes it. Registers 19 and 20 (address and
// baud) are written by the address and baud step that ends the write; 1, 22
// and 24 are not used by this family, 21 is the command register, 10..13 the
// output trim counts written by the trim controls. A field's scale follows its
// channel's range: FieldContext::type is CH-1's range, type2 CH-2's.
const RegisterTable &vmaDistributorRegisters();

// Registers read by "Read From Device": 30 from version index 3 on (the
// filter is register 29), else 29.
int vmaDistributorBlockCount(int devVer);

// Version index from which the filter is read, shown and written and the
// module's own address and baud code are restored on activation.
inline constexpr int VmaDistributorFilterMinVer = 3;
// Register with the module's own address (and the next one its baud code).
inline constexpr int VmaDistributorOwnSettings = 30;
// Command register: serial-number commit and the window's command codes.
inline constexpr int VmaDistributorCommandCell = 21;
// Range registers of CH-1 and CH-2.
inline constexpr int VmaRangeRegister1 = 0;
inline constexpr int VmaRangeRegister2 = 23;

// Input calibration. The operator applies the reference signal; the module is
// told which point is meant by writing the point's range to the channel's range
// register (function 6) and takes it on its store code. No reference value is
// written. The count poll reads 4099..4102: A0 (CH-1) and A3 (CH-2).
const CalibrationRules &vmaDistributorCalibrationRules();
// The range points of both channels: six mV points, 20 V and 40 mA.
const CalibrationTable &vmaDistributorCalibration();

// The zero step of CH-1 and CH-2: the code that starts it. The module zeroes
// the input for about five seconds, which the window's progress bar shows in
// ticks of VmaZeroTickMs, each VmaZeroStride of VmaZeroEnd.
inline constexpr std::array<int, 2> VmaZeroCodes = {1, 10};
inline constexpr int VmaZeroTickMs = 50;
inline constexpr int VmaZeroStride = 10;
inline constexpr int VmaZeroEnd = 1000;
