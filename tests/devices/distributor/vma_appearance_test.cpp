// The V/mA range distributor window in the three languages, both pages:
// nothing clipped, the window fits a 1366×768 laptop screen. With
// QUORELWIN_SCREENSHOTS set to a folder, the pictures are saved there.
#include "appearance.h"
#include "vma_fixture.h"

#include <QTabWidget>

using VmaAppearance = VmaFixture;

TEST_F(VmaAppearance, BothPagesInEveryLanguage)
{
    const QString before = QDir::currentPath();
    QDir::setCurrent(QCoreApplication::applicationDirPath()); // where the pictures are
    attach(3);
    configure({{0, 0}, {2, -4800}, {3, 4800}, {18, 1}, {23, 12}, {26, 17700}, {29, 3}});
    form->serviceModeChanged(true);
    form->show();
    QApplication::processEvents(); // the activation starts a read
    auto *pages = form->findChild<QTabWidget *>("PageControl1");
    for (const auto &[code, name] : Languages) {
        link->ComBuf[cb::LangCode] = static_cast<std::int16_t>(code);
        if (!form->busy())
            form->FormActivate();
        runChain();
        EXPECT_EQ(status()->text(), i18n::statusText(i18n::Status::ReadSuccess, code)) << name;
        // The widest live values in their fields.
        for (const auto &[reg, value] : {std::pair{4096, 32767}, {4097, 0x8000}, {4098, -30000}})
            module->setInput(reg, value & 0xFFFF);
        form->Btn11Click();
        runChain();
        tick(form->Timer3);
        form->Btn12Click();
        for (int page = 0; page < 2; ++page) {
            pages->setCurrentIndex(page);
            form->adjustSize();
            QApplication::processEvents();
            EXPECT_EQ(clippedCaptions(form.get()), std::vector<std::string>{}) << name << page;
            EXPECT_LE(form->frameGeometry().width(), 1366) << name << page;
            EXPECT_LE(form->frameGeometry().height(), 768 - 48) << name << page; // task bar
            saveShot(form.get(), QString("vma-distributor-%1-%2")
                                     .arg(page == 0 ? "configuration" : "calibration", name));
        }
    }
    form->serviceModeChanged(false);
    QDir::setCurrent(before);
}
