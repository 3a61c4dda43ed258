#include "app_fixture.h"

#include <QDialog>
#include <QMessageBox>

using Activation = AppFixture;

namespace {
void activate(QWidget *window)
{
    window->show();
    window->activateWindow();
    QApplication::processEvents();
}
} // namespace

TEST_F(Activation, RunsOnceWhenTheScanHandsOver)
{
    attach({2, 32, 9, 1, 1, 2});
    scanNow();
    ASSERT_EQ(shownWindow(), form1.get());
    EXPECT_EQ(QApplication::activeWindow(), form1.get());
    EXPECT_EQ(form1->activations, 1);
    EXPECT_EQ(form2->activations, 0);
}

TEST_F(Activation, ReturningFromAnotherApplicationOrAMessageBoxDoesNotCount)
{
    attach({2, 32, 9, 1, 1, 2});
    scanNow();
    ASSERT_EQ(form1->activations, 1);

    // Another application takes the focus and gives it back.
    ActivationTracker::instance().windowActivated(nullptr);
    ActivationTracker::instance().windowActivated(form1.get());
    EXPECT_EQ(form1->activations, 1);

    // One of the program's own message boxes comes and goes.
    QMessageBox box(QMessageBox::Information, "QuorelWin", "Version is not match");
    activate(&box);
    ASSERT_EQ(QApplication::activeWindow(), &box);
    box.hide();
    activate(form1.get());
    EXPECT_EQ(QApplication::activeWindow(), form1.get());
    EXPECT_EQ(form1->activations, 1);
}

TEST_F(Activation, AnotherWindowOfTheProgramInBetweenCounts)
{
    attach({2, 32, 9, 1, 1, 2});
    scanNow();
    ASSERT_EQ(form1->activations, 1);

    QDialog dialog; // as the zero/span dialog
    ActivationTracker::instance().addProgramWindow(&dialog);
    activate(&dialog);
    dialog.hide();
    activate(form1.get());
    EXPECT_EQ(form1->activations, 2);

    // Back to the scan and the same module again: a new hand-over.
    form1->StartClick();
    scan->Timer1Timer();
    QApplication::processEvents();
    EXPECT_EQ(shownWindow(), form1.get());
    EXPECT_EQ(form1->activations, 3);
}
