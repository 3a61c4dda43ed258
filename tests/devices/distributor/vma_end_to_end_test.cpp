// The V/mA range distributor window against quorelsim through the real serial
// port: the live values are polled until "Stop". (Scan, restore, read, write
// and read back: tests/main/window_end_to_end_test.cpp.)
#include "end_to_end_session.h"
#include "vma_distributor_window.h"

#include <QLineEdit>

TEST(VmaDistributorEndToEnd, LiveValuesArriveUntilStop)
{
    QuorelsimSession session({"--family", "5", "--address", "7", "--baud", "9600"});
    ASSERT_TRUE(session.started());
    TForm7 &form = session.add<TForm7>();
    ASSERT_TRUE(session.scanned(form));

    // The module's PV1, PV2 and F arrive, "Stop" ends the poll.
    auto *pvs = form.findChild<QLineEdit *>("PVS_Edit");
    form.Btn11Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !pvs->text().isEmpty(); }, 4000));
    EXPECT_EQ(form.findChild<StatusLabel *>("Lab83")->text(), "Read Success");
    EXPECT_FALSE(form.findChild<QLineEdit *>("PV2_Edit2")->text().isEmpty());
    form.Btn12Click();
    EXPECT_FALSE(form.Timer3->isActive());
}
