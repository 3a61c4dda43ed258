#pragma once

#include "serial_line.h"

#include <array>
#include <string>

// Device paths of COM1..COM16, indexed by port number minus 1.
class PortTable
{
public:
    static constexpr int Size = 16;

    // The Windows form: "COM1".."COM9", then "\\.\COM10".."\\.\COM16".
    static PortTable windowsForm();
    // The table of the running platform: the Windows form on Windows; empty
    // on other systems until the port enumeration assigns device paths.
    static PortTable platformDefault();

    // Empty for an index outside 0..15 or an entry nobody assigned.
    const std::string &path(int portIndex) const;
    void setPath(int portIndex, std::string path);
    void clear();

private:
    std::array<std::string, Size> m_paths;
};

// The process-wide table the serial port opens from; the port enumeration
// fills it.
PortTable &portTable();

// Line settings per baud code: 0 "4800,N,8,1", 1 "9600,N,8,1", 2 "19200,N,8,1",
// 3 "38400,N,8,1". The baud code is also what the modules store as their baud
// setting and the item index of every baud list.
inline constexpr std::array<const char *, 4> BaudTable = {"4800,N,8,1", "9600,N,8,1", "19200,N,8,1",
                                                          "38400,N,8,1"};
inline constexpr std::array<int, 4> BaudRates = {4800, 9600, 19200, 38400};

// Baud code of a baud rate, or -1 when the rate has no code.
int baudCodeOf(int baudRate);

// Applies a "baud,parity,data,stop" text to settings. Like the platform's
// build-from-string, it also turns flow control off. False for malformed text;
// settings are then unchanged.
bool buildLineSettings(const std::string &text, LineSettings &settings);
