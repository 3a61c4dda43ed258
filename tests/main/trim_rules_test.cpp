// What the output trim of every family window does alike: "Normal" is an
// echoed function 6 command, sent once more (not a third time) when its echo
// is damaged, and it ends a held point; a scroll bar dragged under another
// choice shows its count and sends nothing, without waiting on the line; under
// its own point the release sends exactly one write of the final count. Each
// window's points, codes and mirrored controls are tested in its own folder.
#include "window_rig.h"

#include "scroll_bar.h"

namespace {
struct NormalChoice
{
    const char *selector;
    const char *held; // a point of the same output, held before
    int reg, code, channel;
};
struct TrimPoint
{
    const char *selector, *count, *bar;
    int reg;
};
struct TrimRow
{
    const char *window;
    std::vector<NormalChoice> normals;
    std::vector<TrimPoint> points;
};

// clang-format off
const std::vector<TrimPoint> DistributorPoints = {
    {"RBtn1", "Edit6", "ScrollBar1", 10}, {"RBtn2", "Edit7", "ScrollBar2", 11},
    {"RBtn4", "Edit13", "ScrollBar3", 12}, {"RBtn5", "Edit14", "ScrollBar4", 13}};
const std::vector<NormalChoice> DistributorNormals = {
    {"RBtn3", "RBtn1", 21, 31, 1}, {"RBtn6", "RBtn4", 21, 32, 2}};
const TrimRow TrimRows[] = {
    {"TForm1", {{"RadioButton3", "RadioButton1", 21, 31, 1}, {"RadioButton11", "RadioButton7", 21, 32, 2}},
     {{"RadioButton1", "Edit2", "ScrollBar3", 10}}},
    {"TForm2", {{"Rad3", "Rad1", 9, 31, 1}}, {{"RadioButton2", "Edit3", "ScrollBar4", 8}}},
    {"TForm4", {{"RadioButton3", "RadioButton1", 9, 31, 1}}, {{"RadioButton2", "Edit3", "ScrollBar4", 8}}},
    {"TForm10", {{"RadioButton3", "RadioButton1", 9, 31, 1}}, {{"RadioButton2", "Edit3", "ScrollBar4", 8}}},
    {"TForm5", DistributorNormals, DistributorPoints},
    {"TForm7", DistributorNormals, DistributorPoints},
};
// clang-format on

void PrintTo(const TrimRow &row, std::ostream *out)
{
    *out << row.window;
}
} // namespace

class TrimRules : public ::testing::TestWithParam<TrimRow>
{
protected:
    void SetUp() override
    {
        rig = makeRig(row.window, familyWindow(row.window).module);
        rig->press("BtnP1"); // the counts the points write
    }

    const TrimRow &row = GetParam();
    std::unique_ptr<Rig> rig;
};

TEST_P(TrimRules, NormalIsAnEchoedCommandSentOnceMoreOnADamagedEcho)
{
    for (const NormalChoice &normal : row.normals) {
        SCOPED_TRACE(normal.selector);
        rig->press(normal.held);
        ASSERT_NE(rig->module().outputMode(normal.channel), OutputMode::Normal);
        rig->line().clearLog();
        rig->line().injectFault(LineFault::BadCrc, 2);
        rig->press(normal.selector);
        EXPECT_EQ(rig->requests(),
                  (Requests{{6, normal.reg, normal.code}, {6, normal.reg, normal.code}}));
        EXPECT_EQ(rig->module().outputMode(normal.channel), OutputMode::Normal);
    }
}

TEST_P(TrimRules, ADragSendsNothingUntilReleasedUnderItsOwnPoint)
{
    for (const TrimPoint &point : row.points) {
        SCOPED_TRACE(point.bar);
        rig->press(row.normals.front().selector);
        auto *bar = rig->find<ScrollBar>(point.bar);
        ASSERT_NE(bar, nullptr);
        rig->line().clearLog();
        const std::int64_t before = rig->line().clockMs();
        for (int position = 100; position <= 5000; position += 100)
            bar->setValue(position);
        EXPECT_EQ(rig->line().clockMs(), before);
        emit bar->endScroll();
        rig->settle();
        EXPECT_TRUE(rig->line().log().empty());
        EXPECT_EQ(rig->find<QLineEdit>(point.count)->text(), "5000");

        rig->press(point.selector);
        rig->line().clearLog();
        for (int position : {400, 500, 640})
            bar->setValue(position);
        emit bar->endScroll();
        rig->settle();
        EXPECT_EQ(rig->requests(), (Requests{{5, point.reg, 640}}));
        EXPECT_EQ(rig->module().holding(point.reg), 640);
    }
}

INSTANTIATE_TEST_SUITE_P(Families, TrimRules, ::testing::ValuesIn(TrimRows),
                         [](const auto &info) { return std::string(info.param.window); });
