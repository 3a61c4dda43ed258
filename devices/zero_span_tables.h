#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

// The multi-point zero/span calibration of the resistance transmitters, as
// data: per calibration mode (the module's model code) a table of points, each
// with its controls, the holding register it is stored in, the count slot it
// shows and the point code that confirms it. The windows build their widgets,
// load the stored values, check the fields, enable the buttons and send the
// codes from these tables.
//
// The exchange of a point: "Set Span" writes the point's value to holding
// register 10, the count poll reads input register 4100 every 500 ms into
// every count field of the point's slot, "Done" writes the point code to the
// command cell 9, and the module stores the value.

inline constexpr int PointValueRegister = 10;
inline constexpr int CalibrationCountRegister = 4100;
// The mode is written to the information block's first register as mode·256
// and takes effect with code 34 on the command cell.
inline constexpr int ModeRegister = 7936;
inline constexpr int ModeCommitCode = 34;
// Point values of the modules of version index 5 on lie within 0..30000.
inline constexpr int HighestPointValue = 30000;

// What leaving a point's value field checks.
enum class ValueCheck {
    None,     // nothing
    First,    // 0..30000; the value becomes LastPointValue
    Rising,   // 0..30000 and not below LastPointValue; the value becomes LastPointValue
    Last,     // 0..30000 and not below LastPointValue; LastPointValue stays
    Alone,    // 0..30000, whatever was accepted before
    Replaced, // empty, not a number or not strictly between the fixed end points:
              // the field shows its replacement text
};

struct ZeroSpanPoint
{
    std::string value; // value field
    int reg = -1;      // stored-value register; -1 for a fixed end point, never read
    std::string set;   // "Set Span" (or "Set Zero") button
    std::string done;  // "Done" button
    std::string count; // count field
    int slot = 0;      // count slot (all tables of a window share the slots)
    int code = 0;      // point code "Done" writes to the command cell
    ValueCheck check = ValueCheck::Rising;
    bool emptyStays = false; // a rejected empty field keeps its text (else it shows 32767)
    std::string fixed;       // text of a read-only end point; empty: editable
    std::string replacement; // the text a Replaced check puts in the field
    std::string caption = "Set Span";
    bool confirm = false;     // "Set Span" checks mode and version, then asks for confirmation
    bool writes = true;       // "Set Span" writes the field's value to register 10
    bool betweenEnds = false; // "Set Span" acts only on a value strictly between the end points
    bool loose = false;       // the commands stay enabled while its count is polled
};

struct ZeroSpanTable
{
    int mode = 0;            // model code that selects the table
    std::string group;       // the group shown for the mode
    std::string inner;       // the captioned group inside it
    std::string modeButton;  // its button on the "Set ModeNum" page
    std::string modeCaption; // the button's caption
    std::string modeLabel;   // the button's result label
    // "Done" enables the "Set Span" buttons of the later points of its block
    // of this many (blocks 2..6, 7..11, ...); 0: of every later point.
    int block = 0;
    std::vector<ZeroSpanPoint> points;
};

// What tells the two windows' calibrations apart besides their tables.
struct ZeroSpanRules
{
    bool zeroRepeats = false;  // loading shows a point equal to the one before it as "0"
    bool signedCounts = false; // counts shown as signed 16-bit numbers (else unsigned)
    bool risingCounts = false; // "Done" of a later point needs a count above the last confirmed
    bool everyButton = false; // BtnAllON enables every point button, not only the first "Set Span"s
    bool copyRange = false;   // the first and last point's value show as the measuring range
};

struct ZeroSpanSet
{
    ZeroSpanRules rules;
    std::vector<ZeroSpanTable> tables; // in the order of the "Set ModeNum" page
};

// The window of version index 5 on: 2, 5, 15, 20 and 25 points.
const ZeroSpanSet &resistanceZeroSpan();
// The compact window: 2, 5, 16 and 21 points between fixed end points 0 and 1000.
const ZeroSpanSet &compactZeroSpan();

// Point code of point k (1-based) of n: the first 20, the last 21, points 2..4
// 22..24, points 5..20 k-4, points 21..24 k+14.
int zeroSpanCode(int k, int n);

// The text a read shows for a stored-value register; value(reg) is the
// register as read. With zeroRepeats, registers 12..34 equal to the register
// before them (as read) show "0".
std::string storedPointText(int reg, const std::function<int(int reg)> &value, bool zeroRepeats);

// The verdict on a value field that is left.
struct FieldVerdict
{
    bool rejected = false;             // the field turns red
    std::optional<std::string> text;   // the field's new text
    std::optional<int> lastPointValue; // LastPointValue's new value
};
FieldVerdict checkPointField(const ZeroSpanPoint &point, const std::string &text,
                             int lastPointValue);

// The (0-based) points whose "Set Span" a confirmed point enables.
std::vector<int> pointsEnabledBy(const ZeroSpanTable &table, int point);

// The table of a calibration mode, nullptr for none.
const ZeroSpanTable *tableOfMode(const ZeroSpanSet &set, int mode);
