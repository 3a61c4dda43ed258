#include "caption_table.h"
#include "language_switch.h"
#include "print_qstring.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace i18n;

namespace {

const CaptionRow *rowOf(const QString &window, const QString &control)
{
    for (const CaptionRow &row : captionTable()) {
        for (const CaptionTarget &target : row.targets) {
            if (target.window == window && target.control == control)
                return &row;
        }
    }
    return nullptr;
}

} // namespace

TEST(CaptionTable, RowAndCaptionCountsPerWindow)
{
    EXPECT_EQ(captionTable().size(), 94u);
    std::map<QString, int> perWindow;
    std::set<std::pair<QString, QString>> seen;
    for (const CaptionRow &row : captionTable()) {
        EXPECT_FALSE(row.targets.empty()) << row.texts.english;
        for (const CaptionTarget &target : row.targets) {
            ++perWindow[target.window];
            EXPECT_TRUE(languageWindowNames().contains(target.window))
                << target.window.toStdString();
            EXPECT_FALSE(target.control.isEmpty()) << row.texts.english;
            // A control listed twice would get whichever text came last.
            EXPECT_TRUE(seen.insert({target.window, target.control}).second)
                << target.window.toStdString() << " " << target.control.toStdString();
        }
    }
    const std::map<QString, int> expected{{"TForm3", 9},  {"TForm1", 110}, {"TForm2", 69},
                                          {"TForm4", 44}, {"TForm10", 44}, {"TForm5", 109},
                                          {"TForm7", 79}};
    EXPECT_EQ(perWindow, expected);
    EXPECT_EQ(seen.size(), 464u);
}

// Rows whose spacing, "&" or spelling is easy to get wrong, as the windows
// must show them.
TEST(CaptionTable, TextsAreKeptExactly)
{
    struct Expected
    {
        const char *window, *control, *english, *traditional, *simplified;
    };
    const Expected table[] = {
        {"TForm3", WindowCaption, "Scan", "掃描", "扫描"},
        {"TForm3", "About", "Help", "說明&", "帮助&"},
        {"TForm3", "Conents", "Conents", "軟體說明&", "软件说明"},
        {"TForm1", "Conents", "Conents", "軟體說明&", "软件说明&"},
        {"TForm5", "Scan", "Scan&", "掃描&", "扫描&"},
        {"TForm1", "TabSheet1", "Cablibration(1)", "校正(1)", "校正(1)"},
        {"TForm1", "GroupBox7", "Output-1                   0/4~20 mA Output Signal Adjustment",
         "第一組                     0/4~20mA輸出訊號調整",
         "第一组                     0/4~20mA输出讯号调整"},
        {"TForm2", "GroupBox7", " 4~20mA Output Signal Adjustment", "4~20mA輸出訊號調整",
         "4~20mA输出讯号调整"},
        {"TForm2", "GroupBox4", " 4~20mA Output Signal Adjustment", " 4~20mA 輸出訊號調整",
         " 4~20mA 输出讯号调整"},
        {"TForm4", "Item5", "Zero Span Setting", " Span 設定", "Zero Span 设定"},
        {"TForm4", "Button4", "Set Span", "設定 SPan", "设定Zero"},
        {"TForm10", "Button4", "Set Zero", "設定 Zero", "设定Zero"},
        {"TForm5", "GroupBox26", "           0/4~20 mA Output Signal Adjustment",
         "                     0/4~20mA輸出訊號調整", "          0/4~20mA输出讯号调整"},
        {"TForm7", "Item_12", "           0/4~20 mA Output Signal Adjustment",
         "                     0/4~20mA輸出訊號調整", "                   0/4~20mA输出讯号调整"},
        {"TForm7", "Item_1", "Input Signal Type", "輸入訊號種類", "输入讯号"},
    };
    for (const Expected &e : table) {
        SCOPED_TRACE(std::string(e.window) + " " + e.control);
        const CaptionRow *row =
            rowOf(QString::fromLatin1(e.window), QString::fromLatin1(e.control));
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(QString::fromUtf8(row->texts.english), QString::fromUtf8(e.english));
        EXPECT_EQ(QString::fromUtf8(row->texts.traditional), QString::fromUtf8(e.traditional));
        EXPECT_EQ(QString::fromUtf8(row->texts.simplified), QString::fromUtf8(e.simplified));
    }
}
