#pragma once

#include <cstdint>
#include <string>

class Link;

// The device information block (input registers 7936..7939) and the settings
// cells every module family understands: slave address (cell 19), baud code
// (register 20) and serial number (cells 7938/7939, committed by code 34 on
// the family's command cell). The exchanges that use them are built as
// request chains by the windows (devices/settings_chains.h).

inline constexpr int InfoBlockRegister = 7936;
inline constexpr int InfoBlockCount = 4;
inline constexpr int AddressCell = 19;
inline constexpr int BaudCell = 20;
inline constexpr int SerialHighCell = 7938;
inline constexpr int SerialLowCell = 7939;
inline constexpr int SerialCommitCode = 34;

struct InfoBlock
{
    int model = 0;   // reply index 23
    int version = 0; // reply index 24
    std::uint32_t serial = 0;
};

// Serial number of an information-block reply in ComBuf: reply bytes 27..30,
// big-endian.
std::uint32_t decodeSerial(const Link &link);
// Model, version and serial number as the reply area holds them.
InfoBlock decodeInfoBlock(const Link &link);

// Label of a version index: "V00".."V20"; higher indexes keep the pattern with
// at least two digits ("V21", "V100").
std::string VersionTable(int version);

// True for a baud code with line settings (0..3).
bool isBaudCode(int baudIndex);
