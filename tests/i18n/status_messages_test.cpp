#include "print_qstring.h"
#include "status_label.h"
#include "status_messages.h"

#include <gtest/gtest.h>

using namespace i18n;

TEST(LangText, PickTextTreatsEveryOtherCodeAsEnglish)
{
    const Texts texts{"Read", "讀取", "读取"};
    EXPECT_EQ(pickText(50, texts), QString::fromUtf8("Read"));
    EXPECT_EQ(pickText(1028, texts), QString::fromUtf8("讀取"));
    EXPECT_EQ(pickText(2052, texts), QString::fromUtf8("读取"));
    EXPECT_EQ(pickText(0, texts), QString::fromUtf8("Read"));
    EXPECT_EQ(pickText(12345, texts), QString::fromUtf8("Read"));
    EXPECT_EQ(pickText(-1028, texts), QString::fromUtf8("Read"));
}

// Every status message in the three languages with its colour, shown on a
// status label the way the windows show it.
TEST(StatusMessages, TextsAndColoursOfEveryMessage)
{
    const QColor blue(0, 0, 255), green(0, 128, 0), red(255, 0, 0);
    struct Expected
    {
        Status status;
        const char *english, *traditional, *simplified;
        QColor colour;
    };
    const Expected table[] = {
        {Status::Transmission, "Transmission...", "傳輸中...", "传输中...", blue},
        {Status::ReadFail, "Read Fail", "讀出失敗", "读出失败", red},
        {Status::ReadSuccess, "Read Success", "讀出成功", "读出成功", green},
        {Status::WriteFail, "Write Fail", "寫入失敗", "写入失败", red},
        {Status::WriteSuccess, "Write Success", "寫入成功", "写入成功", green},
        {Status::WriteMemoryFail, "Write Memory Fail", "寫入Memory失敗", "写入Memory失败", red},
        {Status::CommunicationError, "Communication Error", "通訊錯誤", "通讯错误", red},
        {Status::Scan, "Scan...", "掃描...", "扫描...", blue},
        {Status::DeviceNotFound, "Device Not Found", "找不到裝置", "找不到装置", red},
    };
    StatusLabel label;
    for (const Expected &e : table) {
        SCOPED_TRACE(e.english);
        EXPECT_EQ(statusColor(e.status), e.colour);
        const std::pair<int, const char *> languages[] = {
            {50, e.english}, {1028, e.traditional}, {2052, e.simplified}, {7, e.english}};
        for (const auto &[code, text] : languages) {
            label.setStatus(Qt::black, QString());
            showStatus(label, e.status, code);
            EXPECT_EQ(label.text(), QString::fromUtf8(text)) << "language " << code;
            EXPECT_EQ(label.fontColor(), e.colour);
        }
    }
}
