#pragma once

#include "register_table.h"

#include <array>

// The universal distributor's configuration block, holding registers 0..29
// (function 3, every value two's complement). The two channels have the same
// seven registers at other numbers; their limits and offsets are scaled by
// their own input type, so each channel has a table of its own, read and
// written with its type as the context. Registers 4, 5 and 14..18 are read
// with the block and left alone; 21 and 22 are the command and reference
// registers of calibration; 30 and 31 hold the module's own address and baud
// code.

// Where one channel keeps its configuration.
struct DistributorChannel
{
    int type;      // input type index 0..12
    int unit;      // 0 deg C / com +, 1 deg F / com -
    int low;       // measuring range, lower limit
    int high;      // measuring range, upper limit
    int offset;    // offset correction
    int direction; // 0 (0/4->20)mA, 1 (20->0/4)mA
    int fault;     // signal on sensor break: 0 down, 1 up, 2 cut
};

inline constexpr std::array<DistributorChannel, 2> DistributorChannels = {{
    {0, 1, 2, 3, 6, 8, 9},
    {23, 24, 25, 26, 7, 27, 28},
}};

// The fields of channel 0 (CH-1) or 1 (CH-2), in the order a read shows them
// (the type first: the fields after it are scaled by it) and with their
// places in the configuration write: type, unit, limits, offset, direction,
// sensor break; CH-1 before CH-2.
const RegisterTable &distributorChannelRegisters(int channel);

// The fields both channels share: the output trim counts 10..13 (the
// positions of the trim scroll bars, which show them in their count fields;
// not written by the configuration write), the address 19 and baud code 20
// (written by the address and baud step that ends the write) and the filter
// 29 (version index 2 on; written after both channels, a filter nobody chose
// is not written).
const RegisterTable &distributorCommonRegisters();

// Registers read by "Read From Device": 30 from version index 2 on (the filter
// is register 29), else 29.
int distributorBlockCount(int devVer);

// True for the model codes of the universal distributor: 49 and 55..58.
bool isUniversalDistributorModel(int model);

// The "Filter" group is shown from this version index on.
inline constexpr int DistributorFilterGroupMinVer = 3;
// Register with the module's own address (and the next one its baud code),
// read on activation from version index 3 on.
inline constexpr int DistributorOwnSettings = 30;
// The command cell (calibration, trim and serial-number codes) and the
// reference value of a calibration point; the counts a point polls.
inline constexpr int DistributorCommandCell = 21;
inline constexpr int DistributorReferenceCell = 22;
inline constexpr int DistributorCountRegister = 4099;
// The trim counts of both channels' end points (the V/mA distributor has
// them at the same registers).
inline constexpr std::array<int, 4> DistributorTrimCounts = {10, 11, 12, 13};
inline constexpr int DistributorRestoreMinVer = 3;
