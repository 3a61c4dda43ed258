// The V/mA range distributor window against quorelsim through the real serial
// port: the scan finds the module at its own address and rate, the activation
// puts it back there and reads it, a changed field is written and read back,
// and the live values are polled.
#include "vma_fixture.h"

#include "qt_serial_line.h"
#include "quorelsim_process.h"

#include <QTest>

TEST(VmaDistributorEndToEnd, ScanRestoreReadWriteAndReadBack)
{
    QuorelsimProcess sim;
    ASSERT_TRUE(sim.start({"--family", "5", "--address", "7", "--baud", "9600", "--hold", "0=1",
                           "--hold", "3=20000"}));
    qputenv("QUORELWIN_EXTRA_PORTS", QByteArray::fromStdString(sim.slavePath()));
    setMessageSink([](const std::string &) {});

    Link link(std::make_unique<QtSerialLine>());
    TForm3 scan(link, makeSystemEnumerator());
    TForm7 form(link, scan);
    scan.setFamilyWindows({nullptr, nullptr, nullptr, nullptr, nullptr, &form});
    scan.show();
    auto *status = form.findChild<StatusLabel *>("Lab83");
    auto *upper = form.findChild<QLineEdit *>("Edit2");

    scan.Button1Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->text() == "Read Success"; }, 10000))
        << status->text().toStdString();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.findChild<QLabel *>("Label33")->text(), "RX220");
    EXPECT_EQ(form.findChild<QLineEdit *>("ID_Edit")->text(), "7");
    EXPECT_EQ(link.ComBuf[cb::DevAddr], 7);
    EXPECT_EQ(link.currentBaud(), 1);
    EXPECT_EQ(upper->text(), "200.00");

    upper->setText("123.45");
    form.BtnP2Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->text() == "Write Success"; }, 10000))
        << status->text().toStdString();

    upper->setText("0");
    form.BtnP1Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->text() == "Read Success"; }, 4000));
    EXPECT_EQ(upper->text(), "123.45");

    // Live values: the module's PV1, PV2 and F arrive, "Stop" ends the poll.
    auto *pvs = form.findChild<QLineEdit *>("PVS_Edit");
    form.Btn11Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !pvs->text().isEmpty(); }, 4000));
    EXPECT_EQ(status->text(), "Read Success");
    EXPECT_FALSE(form.findChild<QLineEdit *>("PV2_Edit2")->text().isEmpty());
    form.Btn12Click();
    EXPECT_FALSE(form.Timer3->isActive());

    qunsetenv("QUORELWIN_EXTRA_PORTS");
    setMessageSink(nullptr);
    link.CloseCom();
    sim.stop(SIGTERM);
    EXPECT_EQ(sim.collisions(), 0) << sim.output();
}
