// The scan window in the three languages and its three states: nothing
// clipped. With QUORELWIN_SCREENSHOTS set to a folder, the pictures are saved
// there to be looked at. (The family windows: tests/main/window_appearance_test.cpp.)
#include "appearance.h"
#include "converter_fixture.h"

#include <QListWidget>
#include <QPushButton>
#include <QScreen>

using Appearance = ConverterFixture;

TEST_F(Appearance, ScanWindowInItsThreeStates)
{
    for (const auto &[code, name] : Languages) {
        scan->applyLanguage(code);
        scan->show();
        scan->adjustSize();
        QApplication::processEvents();
        EXPECT_EQ(clippedCaptions(scan.get()), std::vector<std::string>{}) << name;
        saveShot(scan.get(), QString("scan-press-start-%1").arg(name));
    }
    scan->EnglishClick();
    scan->ListBox1->addItems({"Communications Port - /dev/ttyS0 (COM1)",
                              "USB-to-Serial FT232R USB UART - /dev/ttyUSB0 (COM2)"});
    scan->ListBox1->setCurrentRow(1);
    i18n::showStatus(*scan->Label5, i18n::Status::Scan, 50);
    scan->ListBox2->setCurrentRow(2);
    QApplication::processEvents();
    EXPECT_EQ(clippedCaptions(scan.get()), std::vector<std::string>{});
    saveShot(scan.get(), "scan-scanning");
    i18n::showStatus(*scan->Label5, i18n::Status::DeviceNotFound, 50);
    scan->ListBox2->setCurrentRow(3);
    QApplication::processEvents();
    EXPECT_EQ(clippedCaptions(scan.get()), std::vector<std::string>{});
    saveShot(scan.get(), "scan-device-not-found");
}
