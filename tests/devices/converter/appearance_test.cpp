// The converter and scan windows in the three languages: nothing clipped, the
// window fits a 1366×768 laptop screen. With QUORELWIN_SCREENSHOTS set to a
// folder, the pictures are saved there to be looked at.
#include "appearance.h"
#include "converter_fixture.h"

#include <QListWidget>
#include <QPushButton>
#include <QScreen>

using Appearance = ConverterFixture;

TEST_F(Appearance, ConverterWindowInEveryLanguage)
{
    // The pictures are loaded from the working directory, as the program does
    // from its own folder.
    const QString before = QDir::currentPath();
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    attach(9);
    configure({{0, 1}, {1, 0}, {2, -50}, {3, 1370}, {18, 1}, {19, 1}, {20, 2}, {23, 3}});
    form->show();
    QApplication::processEvents(); // the activation starts a read
    for (const auto &[code, name] : Languages) {
        link->ComBuf[cb::LangCode] = static_cast<std::int16_t>(code);
        if (!form->busy())
            form->FormActivate();
        runChain();
        form->adjustSize();
        QApplication::processEvents();
        EXPECT_EQ(status()->text(), i18n::statusText(i18n::Status::ReadSuccess, code)) << name;
        EXPECT_EQ(clippedCaptions(form.get()), std::vector<std::string>{}) << name;
        EXPECT_LE(form->frameGeometry().width(), 1366) << name;
        EXPECT_LE(form->frameGeometry().height(), 768 - 48) << name; // room for a task bar
        saveShot(form.get(), QString("converter-%1").arg(name));
    }
    form->serviceModeChanged(true);
    form->findChild<QTabWidget *>("PageControl1")->setCurrentIndex(2);
    QApplication::processEvents();
    saveShot(form.get(), "converter-service-page");
    form->serviceModeChanged(false);
    QDir::setCurrent(before);
}

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
