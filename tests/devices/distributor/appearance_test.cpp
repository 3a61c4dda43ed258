// The universal distributor window's tab order. (Its appearance in the three
// languages: tests/main/window_appearance_test.cpp.)
#include "appearance.h"
#include "distributor_fixture.h"

#include <QTabWidget>

using Appearance = DistributorFixture;

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
