// The universal distributor window in the three languages, both pages:
// nothing clipped, the window fits a 1366×768 laptop screen. With
// QUORELWIN_SCREENSHOTS set to a folder, the pictures are saved there.
#include "appearance.h"
#include "distributor_fixture.h"

#include <QTabWidget>

using Appearance = DistributorFixture;

TEST_F(Appearance, UniversalDistributorWindowInEveryLanguage)
{
    attach(3);
    configure({{0, 10},
               {1, 1},
               {2, -200},
               {3, 600},
               {6, -15},
               {23, 12},
               {24, 1},
               {25, 4000},
               {26, 20000},
               {7, 123},
               {29, 3}});
    form->show();
    QApplication::processEvents(); // the activation starts a read
    auto *pages = child<QTabWidget>("PageControl1");
    for (const auto &[code, name] : Languages) {
        link->ComBuf[cb::LangCode] = static_cast<std::int16_t>(code);
        if (!form->busy())
            form->FormActivate();
        runChain();
        // Live values and counts at their widest.
        module->setInput(4096, 0x8000);
        module->setInput(4097, 32767);
        form->Btn71Click();
        runChain();
        tick(form->Timer3);
        form->Btn72Click();
        for (QLineEdit *count : child<QWidget>("Calbration1")->findChildren<QLineEdit *>())
            if (count->text().isEmpty())
                count->setText("-32768");
        form->adjustSize();
        QApplication::processEvents();
        EXPECT_EQ(status()->text(), i18n::statusText(i18n::Status::ReadSuccess, code)) << name;
        EXPECT_EQ(clippedCaptions(form.get()), std::vector<std::string>{}) << name;
        EXPECT_LE(form->frameGeometry().width(), 1366) << name;
        EXPECT_LE(form->frameGeometry().height(), 768 - 48) << name; // room for a task bar
        saveShot(form.get(), QString("distributor-%1").arg(name));

        form->serviceModeChanged(true);
        pages->setCurrentIndex(1);
        QApplication::processEvents();
        EXPECT_EQ(clippedCaptions(form.get()), std::vector<std::string>{}) << name;
        saveShot(form.get(), QString("distributor-calibration-%1").arg(name));
        form->serviceModeChanged(false);
    }
}

TEST_F(Appearance, TabOrderFollowsTheChannels)
{
    // The edits of the configuration page, in the order Tab reaches them.
    QStringList edits;
    QWidget *start = child<QWidget>("BtnP2");
    for (QWidget *w = start->nextInFocusChain(); w != start; w = w->nextInFocusChain())
        if (qobject_cast<ExitEdit *>(w) && !edits.contains(w->objectName()))
            edits << w->objectName();
    EXPECT_EQ(edits,
              (QStringList{"Edit1", "Edit2", "Edit5", "Edit8", "Edit9", "Edit12", "ID_Edit"}));
    EXPECT_EQ(child<QWidget>("Item1_0")->nextInFocusChain(), child<QWidget>("Item1_1"));
}
