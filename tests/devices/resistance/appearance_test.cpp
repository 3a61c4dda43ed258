// The resistance transmitter windows in the three languages, after a read
// and with the service functions shown: nothing clipped, the window fits a
// 1366×768 laptop screen. With QUORELWIN_SCREENSHOTS set to a folder, the
// pictures are saved there to be looked at.
#include "resistance_fixture.h"

#include "appearance.h"

template<class Window>
using Appearance = ResistanceFixture<Window>;
using Windows = ::testing::Types<TForm4, TForm10>;
TYPED_TEST_SUITE(Appearance, Windows);

TYPED_TEST(Appearance, NothingClippedInAnyLanguage)
{
    this->attachModule();
    this->configure(
        {{2, -1999}, {3, 30000}, {4, -TestFixture::V::bound}, {5, 1}, {6, 0}, {7, 32767}});
    const QString window = this->form->objectName().toLower();
    this->form->show();
    QApplication::processEvents(); // the activation starts a read
    for (const bool service : {false, true}) {
        this->form->serviceModeChanged(service);
        for (const auto &[code, name] : Languages) {
            this->link->ComBuf[cb::LangCode] = static_cast<std::int16_t>(code);
            if (!this->form->busy())
                this->form->FormActivate();
            this->runChain();
            this->form->adjustSize();
            QApplication::processEvents();
            EXPECT_EQ(this->status()->text(), i18n::statusText(i18n::Status::ReadSuccess, code));
            EXPECT_EQ(clippedCaptions(this->form.get()), std::vector<std::string>{}) << name;
            EXPECT_LE(this->form->frameGeometry().width(), 1366) << name;
            EXPECT_LE(this->form->frameGeometry().height(), 768 - 48) << name; // a task bar
            saveShot(this->form.get(),
                     QString("%1-%2%3").arg(window, name, service ? "-service" : ""));
        }
    }
    this->form->serviceModeChanged(false);
    this->form->hide();
}
