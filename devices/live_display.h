#pragma once

#include "configuration_file.h"

#include <map>
#include <string>
#include <vector>

// The live values of a family's window as its "Configuration" page shows
// them ("Measuring Value"): each value's name, its unit and its text, scaled
// by the input type (or range) and unit the window last read. A value of
// 32767 is "OPEN". The command-line tool and a live log show the same texts.
struct LiveValue
{
    std::string name; // "PV1", "PV2", "F(PV1,PV2)", "PV"
    std::string unit; // "deg C", "deg F", "mV", "V", "mA"; empty when the window shows none
};

class LiveDisplay
{
public:
    // configuration: the register values of the configuration block as a
    // read gives them (configurationValues), for the type and unit of each
    // channel; a register missing leaves that channel without a scale.
    LiveDisplay(ModuleFamily family, const std::map<int, int> &configuration);

    const std::vector<LiveValue> &values() const { return m_values; }
    // The texts of one sound poll reply, one per value, from the reply's
    // register words (unsigned 16-bit, in register order).
    std::vector<std::string> texts(const std::vector<int> &words) const;

private:
    struct Scale
    {
        int type;              // input type or range of the value's channel, -1 for none
        int decimals;          // decimals of a fixed-point value; -1: the type's
        bool wholeDegrees;     // thermocouples in whole degrees
        bool signedAbove32768; // 0x8000 stays 32768 (else it is -32768)
    };

    std::vector<LiveValue> m_values;
    std::vector<Scale> m_scales;
};

// The live log's CSV (comma-separated, one line per row, quoted as RFC 4180 says):
// a header "time,<name> [<unit>],..." and one row per poll: the ISO 8601 time
// stamp of the poll, then each value's text as the window shows it (empty
// cells for a poll that got no sound reply). Fields holding a comma or a quote
// are quoted.
std::string liveCsvHeader(const std::vector<LiveValue> &values);
std::string liveCsvRow(const std::string &timeStamp, const std::vector<std::string> &texts);
// A field of a CSV line, quoted when it must be.
std::string csvField(const std::string &text);
