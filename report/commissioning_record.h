#pragma once

#include "record_fields.h"

#include <cstdint>
#include <string>
#include <vector>

// A commissioning record: what was set in one module and when, to hand over
// with it. A family window fills it from its page and from what its
// activities left since it was activated; quorelctl from a module it reads.

// A calibration point or an output trim done since the window's activation.
struct CalibrationStep
{
    enum class Verdict {
        Accepted,   // the module echoed the store command
        Refused,    // it did not, after the repeat
        NotChecked, // the command is sent without a check (output trim)
    };

    std::string point;     // as the page names it: "RTD calibration / LO"
    std::string reference; // the reference the page shows; empty when the point has none
    std::string counts;    // the counts the page showed at Done: "A0 1234, A1 2345"
    int code = -1;         // the code sent to store it; -1: none
    Verdict verdict = Verdict::NotChecked;
};

struct CommissioningRecord
{
    int langCode = 50;   // the window's language (1028, 2052, else English)
    std::string date;    // ISO 8601 local time with its offset from UTC
    std::string program; // this program's version
    ModuleFamily family = ModuleFamily::Converter;
    int model = 0;        // model code
    int versionIndex = 0; // DevVer
    std::uint32_t serial = 0;
    int address = 0;
    int baud = 0; // bits per second; 0 when not known
    std::vector<RecordField> configuration;
    // The verdicts of the last "Read From Device" and "Write To Device" as
    // the status label showed them; empty when none ran since activation.
    std::string lastRead;
    std::string lastWrite;
    // False when the record keeps no calibration (a module read by quorelctl).
    bool withCalibration = true;
    std::vector<CalibrationStep> calibration;
};

// This program's version: the project's version number.
std::string programVersion();
// The date of a record made now.
std::string recordDate();

// The record as an HTML page (UTF-8, well-formed XHTML), every text escaped.
std::string recordHtml(const CommissioningRecord &record);
// Writes the record to path: a PDF when the name ends in ".pdf" (any case),
// else the HTML page. Empty, or why the file could not be written. A PDF
// needs the GUI application object (fonts).
std::string saveRecord(const CommissioningRecord &record, const std::string &path);
