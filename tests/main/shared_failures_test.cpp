// Failures every family window meets alike, one window after another.
#include "window_rig.h"

#include "fault_plan.h"

#include <QComboBox>
#include <QRadioButton>
#include <QTabWidget>

namespace {
// A window on its module, as the scan leaves them.
std::unique_ptr<Rig> rigOf(const QString &window)
{
    return makeRig(window, familyWindow(window).module);
}

QString status(Rig &r)
{
    return r.window().statusLabel()->text();
}
} // namespace

// A module whose own address and rate (9, 38400 baud) activation cannot read
// after the scan forced 1 and 19200: the window says so, and "Write To Device"
// leaves them out until the operator sets both fields or a read gets them.
TEST(SharedFailures, TheModulesOwnAddressAndRateAreNeverGuessed)
{
    for (const auto &[window, own] : {std::pair{"TForm1", 24}, {"TForm5", 30}, {"TForm7", 30}}) {
        SCOPED_TRACE(window);
        std::unique_ptr<Rig> rig = rigOf(window);
        Rig &r = *rig;
        const auto sent = [&r](int function, int reg) {
            return std::ranges::count(r.line().log(), std::pair{function, reg}, [](auto &q) {
                return std::pair{q.function, q.reg};
            });
        };
        r.module().setHolding(own, 9);
        r.module().setHolding(own + 1, 3);
        r.line().injectFault({LineFault::NoReply, 3, own, 1, 2});
        r.handled([&] { r.window().FormActivate(); });
        r.settle();
        EXPECT_EQ(status(r), "Read Fail");
        r.line().clearLog();
        r.press("BtnP2");
        EXPECT_EQ(status(r), "Write Success");
        EXPECT_TRUE(sent(5, 3) && !sent(5, 19) && !sent(6, 20));
        ASSERT_EQ(r.messages().size(), 2u); // the own settings unread, then left out
        EXPECT_NE(r.messages()[0].find("address 1, 19200 baud"), std::string::npos);

        emit r.find<QLineEdit>("ID_Edit")->textEdited("1");
        r.press("BtnP2");
        EXPECT_FALSE(sent(5, 19)); // the rate is still the scan's
        emit r.find<QComboBox>("ComboBox1")->activated(2);
        r.press("BtnP2");
        EXPECT_TRUE(sent(5, 19) && sent(6, 20));
        r.press("BtnP1"); // tries the restore again
        EXPECT_TRUE(sent(3, own));
        EXPECT_EQ(status(r), "Read Success");
    }
}

// An adapter pulled out and plugged back: the command after the one that
// found it gone opens the same port at the same rate; while it is still out,
// that command fails at once, sends nothing and says a new scan is needed.
TEST(SharedFailures, ALostAdapterIsOpenedAgainOrReported)
{
    for (const char *window : {"TForm1", "TForm2", "TForm4", "TForm10", "TForm5", "TForm7"}) {
        SCOPED_TRACE(window);
        std::unique_ptr<Rig> rig = rigOf(window);
        Rig &r = *rig;
        r.line().setPulled(true);
        r.press("BtnP1");
        EXPECT_EQ(status(r), "Read Fail");
        r.line().clearLog();
        r.press("BtnP1");
        EXPECT_EQ(status(r), "Read Fail");
        EXPECT_TRUE(r.line().log().empty());
        ASSERT_EQ(r.messages().size(), 1u);
        EXPECT_NE(r.messages()[0].find("new scan"), std::string::npos);
        EXPECT_TRUE(r.find<QWidget>("BtnP2")->isEnabled());
        r.line().setPulled(false);
        r.press("BtnP1");
        EXPECT_EQ(status(r), "Read Success");
    }
}

// A calibration Start whose type write is refused twice shows "Write Fail" on
// the page where it was pressed, in the status label's colour.
TEST(SharedFailures, ACalibrationFailureShowsOnItsOwnPage)
{
    for (const auto &[window, start, page] : {std::tuple{"TForm1", "Btn11", "TabSheet1"},
                                              {"TForm1", "Btn21", "TabSheet2"},
                                              {"TForm2", "Btn11", "TabSheet1"},
                                              {"TForm5", "Btn11", "Calbration1"},
                                              {"TForm7", "Btn_21", "Calbration1"}}) {
        SCOPED_TRACE(start);
        std::unique_ptr<Rig> rig = rigOf(window);
        Rig &r = *rig;
        r.window().serviceModeChanged(true);
        r.line().injectFault({LineFault::Exception, -1, 0, 1, 2});
        r.press(start);
        auto *mirror = r.find<QWidget>(page)->findChild<StatusLabel *>(QString(page) + "Status");
        ASSERT_NE(mirror, nullptr);
        EXPECT_EQ(mirror->text(), "Write Fail");
        EXPECT_EQ(mirror->fontColor(), r.window().statusLabel()->fontColor());
    }
}

// A module holding a code a written choice has no item for: the read clears
// the choice and marks it red; "Write To Device" sends nothing, fails and
// names the choice and the code; once chosen, it is written.
TEST(SharedFailures, AChoiceClearedByAnUnknownCodeIsMarkedAndNamed)
{
    for (const auto &[window, reg, code, control, meaning] :
         {std::tuple{"TForm7", 17, 7, "RadioButton4", "output-1 source"},
          {"TForm1", 9, 3, "Item5", "signal on sensor break"},
          {"TForm2", 6, 3, "Item5", "signal on sensor break"},
          {"TForm4", 5, 2, "Item3", "output direction"},
          {"TForm10", 6, 3, "Item4", "signal on sensor break"},
          {"TForm5", 8, 2, "Item4", "CH-1 output direction"}}) {
        SCOPED_TRACE(window);
        std::unique_ptr<Rig> rig = rigOf(window);
        Rig &r = *rig;
        r.module().setHolding(reg, code);
        r.press("BtnP1");
        auto *choice = r.find<QWidget>(control);
        EXPECT_EQ(choice->palette().color(QPalette::WindowText), QColor(Qt::red));
        r.line().clearLog();
        r.press("BtnP2");
        EXPECT_EQ(status(r), "Write Fail");
        EXPECT_TRUE(r.line().log().empty());
        ASSERT_EQ(r.messages().size(), 1u);
        EXPECT_NE(r.messages()[0].find(std::string(meaning) + " ("), std::string::npos);
        EXPECT_NE(r.messages()[0].find("code " + std::to_string(code)), std::string::npos);
        if (auto *group = qobject_cast<RadioGroup *>(choice))
            group->setItemIndex(1);
        else
            r.find<QRadioButton>("RadioButton5")->setChecked(true);
        r.press("BtnP2");
        EXPECT_EQ(r.module().holding(reg), 1);
        EXPECT_NE(choice->palette().color(QPalette::WindowText), QColor(Qt::red));
    }
}
