#include "app_fixture.h"

#include "status_label.h"

#include <QAction>
#include <QMenu>

using Language = AppFixture;

namespace {
QAction *entry(QWidget *window, const char *name)
{
    auto *action = window->findChild<QAction *>(name);
    EXPECT_NE(action, nullptr) << window->objectName().toStdString() << " " << name;
    return action;
}
} // namespace

TEST_F(Language, SwitchInAFamilyWindowSwitchesEveryWindow)
{
    std::vector<QWidget *> windows = {scan.get(),   form1.get(), form2.get(), form4.get(),
                                      form10.get(), form5.get(), form7.get()};
    // At start only the scan window's English entry is checked.
    EXPECT_TRUE(entry(scan.get(), "English")->isChecked());
    EXPECT_FALSE(entry(form1.get(), "English")->isChecked());

    form5->TraditionalClick(); // from a window that is not even shown
    EXPECT_EQ(link->ComBuf[cb::LangCode], 1028);
    for (QWidget *window : windows) {
        EXPECT_TRUE(entry(window, "Traditional")->isChecked())
            << window->objectName().toStdString();
        EXPECT_FALSE(entry(window, "English")->isChecked());
        EXPECT_FALSE(entry(window, "Simplified")->isChecked());
    }
    EXPECT_EQ(form1->findChild<QMenu *>("File1")->title(), QString::fromUtf8("檔案&"));
    EXPECT_EQ(scan->windowTitle(), QString::fromUtf8("掃描"));
    EXPECT_EQ(scan->Button1->text(), QString::fromUtf8("開始"));
    EXPECT_EQ(form1->windowTitle(), "QuorelWin"); // family captions stay

    form2->SimplifiedClick();
    EXPECT_EQ(link->ComBuf[cb::LangCode], 2052);
    EXPECT_EQ(form7->findChild<QMenu *>("Scan")->title(), QString::fromUtf8("扫描&"));
    form2->EnglishClick();
    EXPECT_EQ(link->ComBuf[cb::LangCode], 50);
    EXPECT_EQ(form1->findChild<QMenu *>("File1")->title(), "File");
    EXPECT_TRUE(entry(form10.get(), "English")->isChecked());
}

TEST_F(Language, AnySwitchResetsTheScanStatusToPressStart)
{
    scanNow(); // no module: "Device Not Found"
    ASSERT_EQ(scan->Label5->text(), "Device Not Found");
    scan->SimplifiedClick();
    EXPECT_EQ(scan->Label5->text(), QString::fromUtf8("请按开始"));

    scan->Button1Click();
    EXPECT_EQ(scan->Label5->text(), QString::fromUtf8("扫描...")); // picked at display time
    scan->TraditionalClick();
    EXPECT_EQ(scan->Label5->text(), QString::fromUtf8("請按開始"));
}

TEST_F(Language, ActivationLanguageFollowsTheCode)
{
    for (int code : {1028, 2052, 50, 0, 12345}) {
        link->ComBuf[cb::LangCode] = static_cast<std::int16_t>(code);
        form4->applyCurrentLanguage();
        const char *expected = code == 1028   ? "Traditional"
                               : code == 2052 ? "Simplified"
                                              : "English";
        EXPECT_TRUE(entry(form4.get(), expected)->isChecked()) << code;
        EXPECT_EQ(link->ComBuf[cb::LangCode], code == 1028 || code == 2052 ? code : 50);
    }
}
