// The universal distributor window against quorelsim through the real serial
// port: a module at its own address and baud rate is found by the scan, put
// back to them on activation, read, changed, written and read back.
#include "distributor_fixture.h"

#include "qt_serial_line.h"
#include "quorelsim_process.h"

#include <QTest>

TEST(DistributorEndToEnd, ScanRestoreReadWriteAndReadBack)
{
    QuorelsimProcess sim;
    ASSERT_TRUE(sim.start({"--family", "4", "--version", "3", "--address", "7", "--baud", "9600"}));
    qputenv("QUORELWIN_EXTRA_PORTS", QByteArray::fromStdString(sim.slavePath()));
    setMessageSink([](const std::string &) {});

    Link link(std::make_unique<QtSerialLine>());
    TForm3 scan(link, makeSystemEnumerator());
    TForm5 form(link, scan);
    scan.setFamilyWindows({nullptr, nullptr, nullptr, nullptr, &form, nullptr});
    scan.show();
    auto *status = form.findChild<StatusLabel *>("Lab83");
    auto *upper = form.findChild<QLineEdit *>("Edit9");

    scan.Button1Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->text() == "Read Success"; }, 10000))
        << status->text().toStdString();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.findChild<QLabel *>("Label27")->text(), "RX220");
    EXPECT_EQ(form.findChild<QLineEdit *>("ID_Edit")->text(), "7");
    EXPECT_EQ(form.findChild<QComboBox *>("ComboBox1")->currentText(), "9600");
    EXPECT_EQ(link.ComBuf[cb::DevAddr], 7);
    EXPECT_EQ(link.currentBaud(), 1);

    const QString changed = upper->text() == "300" ? "350" : "300";
    upper->setText(changed);
    form.BtnP2Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->text() == "Write Success"; }, 8000))
        << status->text().toStdString();

    upper->setText("0");
    form.BtnP1Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->text() == "Read Success"; }, 4000));
    EXPECT_EQ(upper->text(), changed);

    qunsetenv("QUORELWIN_EXTRA_PORTS");
    setMessageSink(nullptr);
    link.CloseCom();
    sim.stop(SIGTERM);
    EXPECT_EQ(sim.collisions(), 0) << sim.output();
}
