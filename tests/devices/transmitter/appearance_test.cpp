// The transmitter window's two pages in the three languages: nothing clipped,
// the window fits a 1366×768 laptop screen. With QUORELWIN_SCREENSHOTS set to
// a folder, the pictures are saved there to be looked at.
#include "transmitter_fixture.h"

#include "appearance.h"

#include <QTabWidget>

TEST_F(TransmitterFixture, BothPagesInEveryLanguage)
{
    attach(9, 17); // with the panel over the voltage and current choices
    configure({{0, 1}, {1, 0}, {2, -50}, {3, 1370}, {4, -12}, {7, 5461}, {8, 27306}});
    form->show();
    QApplication::processEvents(); // the activation starts a read
    auto *pages = form->findChild<QTabWidget *>("PageControl1");
    for (const auto &[code, name] : Languages) {
        link->ComBuf[cb::LangCode] = static_cast<std::int16_t>(code);
        if (!form->busy())
            form->FormActivate();
        runChain();
        form->serviceModeChanged(true);
        form->adjustSize();
        QApplication::processEvents();
        EXPECT_EQ(status()->text(), i18n::statusText(i18n::Status::ReadSuccess, code)) << name;
        for (int page : {0, 1}) {
            pages->setCurrentIndex(page);
            QApplication::processEvents();
            EXPECT_EQ(clippedCaptions(form.get()), std::vector<std::string>{}) << name << page;
            EXPECT_LE(form->frameGeometry().width(), 1366) << name;
            EXPECT_LE(form->frameGeometry().height(), 768 - 48) << name; // room for a task bar
            saveShot(form.get(), QString("transmitter-%1-%2").arg(page).arg(name));
        }
        form->serviceModeChanged(false);
    }
    form->hide();
}
