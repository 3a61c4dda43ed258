#include "zero_span_tables.h"

#include "numtext.h"

#include <algorithm>

namespace {

using Names = std::vector<std::string>;

// Names numbered first..first+n-1 after a stem.
Names numbered(const std::string &stem, int first, int n)
{
    Names names;
    for (int i = 0; i < n; ++i)
        names.push_back(stem + std::to_string(first + i));
    return names;
}

Names operator+(Names a, const Names &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The controls of a table, point by point.
struct Controls
{
    Names values, sets, dones, counts;
};

// The 20- and 21-point tables, whose value and count fields do not follow the
// point order (the 21-point table of the compact window adds a point).
const Names IrregularValues = {"Edit46",  "Edit22",  "Edit23", "Edit24", "Edit25",  "Edit47",
                               "Edit28",  "Edit29",  "Edit30", "Edit32", "Edit48",  "Edit26",
                               "Edit27",  "Edit33",  "Edit34", "Edit49", "Edit_17", "Edit_18",
                               "Edit_19", "Edit_20", "Edit_21"};
const Names IrregularCounts = Names{"Edit18", "Edit19", "Edit20", "Edit21", "Edit31"} +
                              numbered("Edit", 35, 11) + numbered("Edt", 17, 5);

Controls irregular(int n)
{
    Controls c{IrregularValues, numbered("Btn_", 200, n), numbered("Btn_", 221, n),
               IrregularCounts};
    c.values.resize(static_cast<std::size_t>(n));
    c.counts.resize(static_cast<std::size_t>(n));
    if (n == 20) // the last point of the 20-point table
        c.values.back() = "Edit_20";
    return c;
}

const Controls TwoPoints = {
    {"Edit16", "Edit17"}, {"Button4", "Button6"}, {"Button5", "Button7"}, {"Edit14", "Edit15"}};
const Controls FivePoints = {numbered("Edit", 9, 5), numbered("Btn_", 1, 5),
                             Names{"Btn_6", "Btn_7", "Btn_8", "Btn_9", "Btn_a"},
                             numbered("Edit", 4, 5)};

Controls fifteenOrSixteen(int n)
{
    return {numbered("Edit_", 1, n), numbered("Btn_", 100, n), numbered("Btn_", 21, n),
            numbered("Edt", 1, n)};
}

const Controls TwentyFivePoints = {numbered("Edit25_", 1, 25), numbered("Btn25_", 1, 25),
                                   numbered("Btn25_", 26, 25), numbered("Edit25_", 26, 25)};

// Point k (from 1) of a table of these controls: its value field, buttons,
// count field and point code.
ZeroSpanPoint namedPoint(const Controls &c, int k)
{
    const auto i = static_cast<std::size_t>(k - 1);
    ZeroSpanPoint p;
    p.value = c.values[i];
    p.set = c.sets[i];
    p.done = c.dones[i];
    p.count = c.counts[i];
    p.code = zeroSpanCode(k, static_cast<int>(c.values.size()));
    return p;
}

// The points of a table of the window of version index 5 on: point 1 in
// register 11, middle point k in 10 + k, the last point in register 35 and
// count slot 24; the first asks for confirmation; each value field is checked
// when left, the last one against the point before it (emptyStays and
// lastAlone mark the last fields that differ).
std::vector<ZeroSpanPoint> resistancePoints(const Controls &c, bool emptyStays, bool lastAlone)
{
    const int n = static_cast<int>(c.values.size());
    std::vector<ZeroSpanPoint> points;
    for (int k = 1; k <= n; ++k) {
        ZeroSpanPoint p = namedPoint(c, k);
        p.reg = k == n ? 35 : 10 + k;
        p.slot = k == n ? 24 : k - 1;
        p.check = k == 1 ? ValueCheck::First : ValueCheck::Rising;
        if (k == n) {
            p.check = lastAlone ? ValueCheck::Alone : ValueCheck::Last;
            p.emptyStays = emptyStays;
        }
        p.confirm = k == 1;
        points.push_back(p);
    }
    return points;
}

// The points of a compact table: point 1 fixed at "0" ("Set Zero" writes
// nothing and asks for confirmation), the last fixed at "1000", middle point
// k in register 9 + k; the count slots are the points' own. Middle fields are
// replaced when left (replacements) or not checked (none given); last tells
// what the last point's "Set Span" does.
struct CompactLast
{
    int slot;
    bool writes;
    bool loose;
};

std::vector<ZeroSpanPoint> compactPoints(const Controls &c, const Names &replacements,
                                         bool betweenEnds, CompactLast last)
{
    const int n = static_cast<int>(c.values.size());
    std::vector<ZeroSpanPoint> points;
    for (int k = 1; k <= n; ++k) {
        ZeroSpanPoint p = namedPoint(c, k);
        p.slot = k - 1;
        p.check = ValueCheck::None;
        if (k == 1) {
            p.fixed = "0";
            p.caption = "Set Zero";
            p.confirm = true;
            p.writes = false;
        } else if (k == n) {
            p.fixed = "1000";
            p.slot = last.slot;
            p.writes = last.writes;
            p.loose = last.loose;
        } else {
            p.reg = 9 + k;
            p.betweenEnds = betweenEnds;
            if (!replacements.empty()) {
                p.check = ValueCheck::Replaced;
                p.replacement = replacements[static_cast<std::size_t>(k - 2)];
            }
        }
        points.push_back(p);
    }
    return points;
}

bool blank(const std::string &text)
{
    return text.find_first_not_of(" \t") == std::string::npos;
}

} // namespace

int zeroSpanCode(int k, int n)
{
    if (k == 1)
        return 20;
    if (k == n)
        return 21;
    if (k <= 4)
        return 20 + k;
    if (k <= 20)
        return k - 4;
    return k + 14;
}

const ZeroSpanSet &resistanceZeroSpan()
{
    static const ZeroSpanSet set = {
        {true, false, true, false, true},
        {
            {3, "GroupBox3", "GroupBox4", "Button2", "Set 2P Calbration", "Label22", 0,
             resistancePoints(TwoPoints, true, false)},
            {4, "GroupBox1", "Item5", "Button3", "Set 5P Calbration", "Label23", 0,
             resistancePoints(FivePoints, true, false)},
            {6, "GroupBox5", "GroupBox7", "Button8", "Set 15P Calbration", "Label24", 0,
             resistancePoints(fifteenOrSixteen(15), false, false)},
            {5, "GroupBox8", "GroupBox9", "Button9", "Set 20P Calbration", "Label25", 0,
             resistancePoints(irregular(20), false, true)},
            {7, "GroupBox10", "GroupBox11", "Button10", "Set 25P Calbration", "Label29", 0,
             resistancePoints(TwentyFivePoints, false, false)},
        }};
    return set;
}

const ZeroSpanSet &compactZeroSpan()
{
    static const Names fifteen = {"60",  "130", "190", "260", "320", "380", "440",
                                  "510", "570", "640", "700", "770", "850", "930"};
    static const ZeroSpanSet set = {
        {false, true, false, true, false},
        {
            {3, "GroupBox3", "GroupBox4", "Button2", "Set 2P Calbration", "Label22", 0,
             compactPoints(TwoPoints, {}, false, {4, false, true})},
            {4, "GroupBox1", "Item5", "Button3", "Set 5P Calbration", "Label23", 0,
             compactPoints(FivePoints, {"250", "500", "750"}, false, {4, false, false})},
            // The last point of the 16-point table ends its run with code 21,
            // as every other table does.
            {6, "GroupBox5", "GroupBox7", "Button8", "Set 15P Calbration", "Label24", 5,
             compactPoints(fifteenOrSixteen(16), fifteen, true, {15, true, false})},
            {5, "GroupBox8", "GroupBox9", "Button9", "Set 20P Calbration", "Label25", 5,
             compactPoints(irregular(21), {}, true, {20, false, false})},
        }};
    return set;
}

std::string storedPointText(int reg, const std::function<int(int)> &value, bool zeroRepeats)
{
    if (zeroRepeats && reg >= 12 && reg <= 34 && value(reg) == value(reg - 1))
        return "0";
    return std::to_string(value(reg));
}

FieldVerdict checkPointField(const ZeroSpanPoint &point, const std::string &text,
                             int lastPointValue)
{
    FieldVerdict verdict;
    if (point.check == ValueCheck::None)
        return verdict;
    std::optional<Decimal> value;
    if (!blank(text)) {
        try {
            value = textToDecimal(text);
        } catch (const ConversionError &) {
            // Text that is not a number is rejected like a value out of range.
        }
    }
    if (point.check == ValueCheck::Replaced) {
        if (!value || value->compare(Decimal{0, 0}) <= 0 || value->compare(Decimal{1000, 0}) >= 0)
            verdict.text = point.replacement;
        return verdict;
    }
    if (blank(text)) {
        verdict.rejected = true;
        if (!point.emptyStays)
            verdict.text = "32767";
        return verdict;
    }
    const bool inRange = value && value->compare(Decimal{0, 0}) >= 0 &&
                         value->compare(Decimal{HighestPointValue + 1, 0}) < 0;
    const bool ordered = point.check == ValueCheck::First || point.check == ValueCheck::Alone ||
                         (value && value->compare(Decimal{lastPointValue, 0}) >= 0);
    if (!inRange || !ordered) {
        verdict.rejected = true;
        return verdict;
    }
    if (point.check == ValueCheck::First || point.check == ValueCheck::Rising)
        verdict.lastPointValue = static_cast<int>(value->scaledTrunc(0));
    return verdict;
}

std::vector<int> pointsEnabledBy(const ZeroSpanTable &table, int point)
{
    const int n = static_cast<int>(table.points.size());
    int end = n; // one past the last point enabled, 1-based: points k+1..end
    const int k = point + 1;
    if (table.block > 0) {
        // Blocks of `block` points from point 2 on; the end of a block (and
        // point 1) opens the next block.
        end = k == 1 ? 1 : 1 + table.block * ((k - 2) / table.block + 1);
        if (end == k)
            end += table.block;
        end = std::min(end, n);
    }
    std::vector<int> enabled;
    for (int j = k + 1; j <= end; ++j)
        enabled.push_back(j - 1);
    return enabled;
}

const ZeroSpanTable *tableOfMode(const ZeroSpanSet &set, int mode)
{
    for (const ZeroSpanTable &table : set.tables)
        if (table.mode == mode)
            return &table;
    return nullptr;
}
