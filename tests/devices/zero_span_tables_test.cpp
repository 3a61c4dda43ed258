// The zero/span calibration tables of the resistance transmitters as data,
// and the rules that check and enable their points.
#include "zero_span_tables.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace {
using Row = std::tuple<std::string, int, std::string, std::string, std::string, int, int>;

Row row(const ZeroSpanTable *table, int k)
{
    const ZeroSpanPoint &p = table->points.at(static_cast<std::size_t>(k - 1));
    return {p.value, p.reg, p.set, p.done, p.count, p.slot, p.code};
}
const ZeroSpanTable *resistance(int mode)
{
    return tableOfMode(resistanceZeroSpan(), mode);
}
const ZeroSpanTable *compact(int mode)
{
    return tableOfMode(compactZeroSpan(), mode);
}
} // namespace

TEST(ZeroSpanTables, PointsOfTheWindowOfVersionFiveOn)
{
    // The 20-point table in full: its names do not follow the point order.
    const char *values[] = {"Edit46", "Edit22", "Edit23",  "Edit24",  "Edit25",  "Edit47", "Edit28",
                            "Edit29", "Edit30", "Edit32",  "Edit48",  "Edit26",  "Edit27", "Edit33",
                            "Edit34", "Edit49", "Edit_17", "Edit_18", "Edit_19", "Edit_20"};
    const char *counts[] = {"Edit18", "Edit19", "Edit20", "Edit21", "Edit31", "Edit35", "Edit36",
                            "Edit37", "Edit38", "Edit39", "Edit40", "Edit41", "Edit42", "Edit43",
                            "Edit44", "Edit45", "Edt17",  "Edt18",  "Edt19",  "Edt20"};
    const int codes[] = {20, 22, 23, 24, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 21};
    ASSERT_EQ(resistance(5)->points.size(), 20u);
    for (int k = 1; k <= 20; ++k)
        EXPECT_EQ(row(resistance(5), k),
                  (Row{values[k - 1], k < 20 ? 10 + k : 35, "Btn_" + std::to_string(199 + k),
                       "Btn_" + std::to_string(220 + k), counts[k - 1], k < 20 ? k - 1 : 24,
                       codes[k - 1]}))
            << k;

    const std::pair<Row, Row> others[] = {
        {row(resistance(3), 2), {"Edit17", 35, "Button6", "Button7", "Edit15", 24, 21}},
        {row(resistance(4), 1), {"Edit9", 11, "Btn_1", "Btn_6", "Edit4", 0, 20}},
        {row(resistance(4), 5), {"Edit13", 35, "Btn_5", "Btn_a", "Edit8", 24, 21}},
        {row(resistance(6), 5), {"Edit_5", 15, "Btn_104", "Btn_25", "Edt5", 4, 1}},
        {row(resistance(6), 15), {"Edit_15", 35, "Btn_114", "Btn_35", "Edt15", 24, 21}},
        {row(resistance(7), 21), {"Edit25_21", 31, "Btn25_21", "Btn25_46", "Edit25_46", 20, 35}},
        {row(resistance(7), 25), {"Edit25_25", 35, "Btn25_25", "Btn25_50", "Edit25_50", 24, 21}},
    };
    for (const auto &[actual, expected] : others)
        EXPECT_EQ(actual, expected) << std::get<0>(expected);

    // Tables in the order of the mode page; no control twice in the window.
    std::vector<int> modes;
    std::set<std::string> names;
    std::size_t controls = 0;
    for (const ZeroSpanTable &t : resistanceZeroSpan().tables) {
        modes.push_back(t.mode);
        for (const ZeroSpanPoint &p : t.points) {
            names.insert({p.value, p.set, p.done, p.count});
            controls += 4;
        }
    }
    EXPECT_EQ(modes, (std::vector{3, 4, 6, 5, 7}));
    EXPECT_EQ(names.size(), controls);
}

TEST(ZeroSpanTables, CompactTablesStoreOnlyThePointsBetweenFixedEnds)
{
    std::vector<int> modes;
    for (const ZeroSpanTable &t : compactZeroSpan().tables) {
        modes.push_back(t.mode);
        const ZeroSpanPoint &first = t.points.front();
        EXPECT_EQ(std::tie(first.fixed, first.caption, first.reg, first.code, first.writes),
                  std::make_tuple("0", "Set Zero", -1, 20, false));
        EXPECT_EQ(std::tie(t.points.back().fixed, t.points.back().reg, t.points.back().code),
                  std::make_tuple("1000", -1, 21)); // the 16-point table's last point included
        for (std::size_t k = 2; k < t.points.size(); ++k)
            EXPECT_EQ(t.points[k - 1].reg, 9 + static_cast<int>(k)) << t.mode;
    }
    EXPECT_EQ(modes, (std::vector{3, 4, 6, 5}));
    EXPECT_EQ(std::tie(compact(6)->modeButton, compact(6)->modeCaption, compact(6)->modeLabel),
              std::make_tuple("Button8", "Set 15P Calbration", "Label24"));
    EXPECT_EQ(row(compact(3), 2), (Row{"Edit17", -1, "Button6", "Button7", "Edit15", 4, 21}));
    EXPECT_EQ(row(compact(6), 16), (Row{"Edit_16", -1, "Btn_115", "Btn_36", "Edt16", 15, 21}));
    EXPECT_EQ(row(compact(5), 20), (Row{"Edit_20", 29, "Btn_219", "Btn_240", "Edt20", 19, 16}));
    EXPECT_EQ(row(compact(5), 21), (Row{"Edit_21", -1, "Btn_220", "Btn_241", "Edt21", 20, 21}));
}

TEST(ZeroSpanTables, LeavingAValueField)
{
    const ZeroSpanPoint &first = resistance(4)->points[0];
    const ZeroSpanPoint &middle = resistance(4)->points[1];
    const ZeroSpanPoint &last = resistance(4)->points[4];
    const ZeroSpanPoint &fifteenLast = resistance(6)->points[14];
    const ZeroSpanPoint &alone = resistance(5)->points[19];
    const ZeroSpanPoint &replaced = compact(6)->points[3]; // Edit_4
    struct Case
    {
        const ZeroSpanPoint *point;
        const char *text;
        int lastPointValue;
        bool rejected;
        std::optional<std::string> shown;
        std::optional<int> nextLastPointValue;
    };
    const Case cases[] = {
        {&first, "30000", 500, false, {}, 30000}, {&first, "30001", 0, true, {}, {}},
        {&first, "-1", 0, true, {}, {}},          {&first, "12.7", 900, false, {}, 12},
        {&first, "", 0, true, "32767", {}},       {&first, "1O", 0, true, {}, {}},
        {&middle, "100", 200, true, {}, {}},      {&middle, "200", 200, false, {}, 200},
        {&last, "300", 200, false, {}, {}},       {&last, "100", 200, true, {}, {}},
        {&last, "", 200, true, {}, {}},           {&fifteenLast, "", 0, true, "32767", {}},
        {&alone, "10", 500, false, {}, {}},       {&alone, "30001", 0, true, {}, {}},
        {&replaced, "1200", 0, false, "190", {}}, {&replaced, "", 0, false, "190", {}},
        {&replaced, "1000", 0, false, "190", {}}, {&replaced, "abc", 0, false, "190", {}},
        {&replaced, "500", 900, false, {}, {}},   {&replaced, "999.5", 0, false, {}, {}},
    };
    for (const Case &c : cases) {
        const FieldVerdict verdict = checkPointField(*c.point, c.text, c.lastPointValue);
        const std::string name = c.point->value + " '" + c.text + "'";
        EXPECT_EQ(verdict.rejected, c.rejected) << name;
        EXPECT_EQ(verdict.text, c.shown) << name;
        EXPECT_EQ(verdict.lastPointValue, c.nextLastPointValue) << name;
    }
}

TEST(ZeroSpanTables, ADoneEnablesTheLaterPointsOrTheRestOfItsBlock)
{
    const auto enabled = [](const ZeroSpanTable *t, int point) {
        std::vector<int> points; // 1-based
        for (int p : pointsEnabledBy(*t, point - 1))
            points.push_back(p + 1);
        return points;
    };
    EXPECT_EQ(enabled(resistance(4), 1), (std::vector{2, 3, 4, 5}));
    EXPECT_EQ(enabled(resistance(4), 3), (std::vector{4, 5}));
    EXPECT_EQ(enabled(compact(5), 5), (std::vector{6}));
    EXPECT_EQ(enabled(compact(5), 6), (std::vector{7, 8, 9, 10, 11}));
    EXPECT_EQ(enabled(compact(6), 14), (std::vector{15, 16}));
}
