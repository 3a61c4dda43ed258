// The resistance transmitter windows in the three languages, after a read
// and with the service functions shown, with each calibration table and the
// "Set ModeNum" page: nothing clipped, the window fits a 1366×768 laptop
// screen. With QUORELWIN_SCREENSHOTS set to a folder, the pictures are saved
// there to be looked at.
#include "resistance_fixture.h"

#include "appearance.h"

template<class Window>
struct Appearance : ResistanceFixture<Window>
{
    // Checks the window as it is now and saves its picture.
    void look(const char *language, const QString &name)
    {
        this->form->adjustSize();
        QApplication::processEvents();
        EXPECT_EQ(clippedCaptions(this->form.get()), std::vector<std::string>{})
            << name.toStdString();
        EXPECT_LE(this->form->frameGeometry().width(), 1366) << name.toStdString();
        EXPECT_LE(this->form->frameGeometry().height(), 768 - 48)
            << name.toStdString(); // a task bar
        saveShot(this->form.get(),
                 QString("%1-%2-%3").arg(this->form->objectName().toLower(), name, language));
    }

    void setLanguage(int code)
    {
        this->link->ComBuf[cb::LangCode] = static_cast<std::int16_t>(code);
        this->form->applyCurrentLanguage();
    }
};

using Windows = ::testing::Types<TForm4, TForm10>;
TYPED_TEST_SUITE(Appearance, Windows);

TYPED_TEST(Appearance, NothingClippedInAnyLanguage)
{
    this->attachModule();
    this->configure(
        {{2, -1999}, {3, 30000}, {4, -TestFixture::V::bound}, {5, 1}, {6, 0}, {7, 32767}});
    this->form->show();
    QApplication::processEvents(); // the activation starts a read
    for (const bool service : {false, true}) {
        this->form->serviceModeChanged(service);
        for (const auto &[code, name] : Languages) {
            this->link->ComBuf[cb::LangCode] = static_cast<std::int16_t>(code);
            if (!this->form->busy())
                this->form->FormActivate();
            this->runChain();
            EXPECT_EQ(this->status()->text(), i18n::statusText(i18n::Status::ReadSuccess, code));
            this->look(name, service ? "service" : "configuration");
        }
    }
    this->form->serviceModeChanged(false);
    this->form->hide();
}

TYPED_TEST(Appearance, EveryCalibrationTableAndTheModePage)
{
    const int lastMode = TestFixture::V::version >= 5 ? 7 : 6;
    this->form->show();
    QApplication::processEvents();
    for (int mode = 3; mode <= lastMode; ++mode) {
        this->attachModule(TestFixture::V::version, mode);
        this->setLanguage(lang::English);
        this->read();
        EXPECT_EQ(this->status()->text(), "Read Success");
        for (const auto &[code, name] : Languages) {
            this->setLanguage(code);
            this->look(name, QString("table%1").arg(mode));
        }
    }
    this->form->serviceModeChanged(true);
    this->template child<QTabWidget>("PageCont")->setCurrentIndex(1);
    for (const auto &[code, name] : Languages) {
        this->setLanguage(code);
        this->look(name, "modenum");
    }
    this->form->serviceModeChanged(false);
    this->form->hide();
}

TEST(ZeroSpanDialogAppearance, NothingClipped)
{
    TForm6 dialog;
    dialog.show();
    QApplication::processEvents();
    EXPECT_EQ(clippedCaptions(&dialog), std::vector<std::string>{});
    saveShot(&dialog, "tform6");
    dialog.hide();
}
