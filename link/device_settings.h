#pragma once

#include <cstdint>
#include <string>

class Link;

// The device information block (input registers 7936..7939) and the settings
// cells every module family understands: slave address (cell 19), baud code
// (register 20) and serial number (cells 7938/7939, committed by code 34 on
// the family's command cell).

inline constexpr int InfoBlockRegister = 7936;
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

// Drain, read the information block (function 4, register 7936, count 4) from
// DevAddr, receive. No CRC test: callers judge the model code.
InfoBlock readInfoBlock(Link &link);

// Label of a version index: "V00".."V20"; higher indexes keep the pattern with
// at least two digits ("V21", "V100").
std::string VersionTable(int version);

// Puts the module back to its own address and baud code after the scan forced
// address 1 and 19200 baud: reads holding registers reg and reg+1 (their low
// bytes), writes cell 19 := address, follows the module to that address,
// writes register 20 := baud code, and reopens the port at that rate. No echo
// is checked. Returns the address, for the window's address field.
int restoreAddressAndBaud(Link &link, int reg);

// Last step of a configuration write: cell 19 := address (echo checked, one
// repeat; both preceded by a drain), then, when accepted, DevAddr := address,
// register 20 := baudIndex (function 6, not checked) and the port reopened at
// that rate. A baudIndex outside 0..3 (no baud rate selected) keeps the line's
// current baud code. Returns false when the address write failed twice; the
// port is then left as it was.
bool writeAddressAndBaud(Link &link, int address, int baudIndex);

// The address "Set" button: cell 19 := address and register 20 := baudIndex,
// each echo checked with one repeat and not reported, then DevAddr := address
// and the port reopened. A baudIndex outside 0..3 keeps the current baud code.
void setAddressAndBaud(Link &link, int address, int baudIndex);

// The address field when it is left: empty, below 1 or above 255 becomes "1".
// Text that is not a whole number raises ConversionError.
std::string checkAddressText(const std::string &text);

// "Load Serial Number": the edit's text read as a decimal number, truncated
// and taken modulo 2^32, written as high word to cell 7938 and low word to
// cell 7939, then code 34 to commandCell; each echo checked with one repeat,
// nothing reported. Returns the number written. Raises ConversionError before
// anything is sent when the text is not a number.
std::uint32_t loadSerialNumber(Link &link, const std::string &text, int commandCell);

// One write with its echo check: [drain,] send, receive, check; on a failed
// check [drain,] send again, receive, check. True when either attempt was
// echoed.
struct WriteOptions
{
    bool drainFirst = true;
    bool drainRetry = true;
};
bool writeChecked(Link &link, int function, int reg, int value, WriteOptions options = {});
