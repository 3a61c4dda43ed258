// The transmitter window against quorelsim through the real serial port: scan,
// activation read, a changed field written, and the module reporting that it
// could not store it.
#include "transmitter_fixture.h"

#include "qt_serial_line.h"
#include "quorelsim_process.h"

#include <QTest>

TEST(TransmitterEndToEnd, ScanReadWriteAndAFailedStore)
{
    QuorelsimProcess sim;
    ASSERT_TRUE(sim.start({"--family", "1", "--store-fails"}));
    qputenv("QUORELWIN_EXTRA_PORTS", QByteArray::fromStdString(sim.slavePath()));
    setMessageSink([](const std::string &) {});

    Link link(std::make_unique<QtSerialLine>());
    TForm3 scan(link, makeSystemEnumerator());
    TForm2 form(link, scan);
    scan.setFamilyWindows({&form, nullptr, nullptr, nullptr, nullptr, nullptr});
    scan.show();
    auto *status = form.findChild<StatusLabel *>("Lab83");
    auto *upper = form.findChild<QLineEdit *>("Edi4");

    scan.Button1Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->text() == "Read Success"; }, 8000))
        << status->text().toStdString();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.findChild<QLabel *>("Label18")->text(), "RX110");
    EXPECT_EQ(upper->text(), "1000");

    upper->setText("800");
    form.BtnP2Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->text() == "Write Memory Fail"; }, 8000))
        << status->text().toStdString();
    EXPECT_EQ(status->fontColor(), QColor(255, 0, 0));

    // The module kept what was written; only storing it failed.
    upper->setText("0");
    form.BtnP1Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->text() == "Read Success"; }, 4000));
    EXPECT_EQ(upper->text(), "800");

    qunsetenv("QUORELWIN_EXTRA_PORTS");
    setMessageSink(nullptr);
    link.CloseCom();
    sim.stop(SIGTERM);
    EXPECT_EQ(sim.collisions(), 0) << sim.output();
}
