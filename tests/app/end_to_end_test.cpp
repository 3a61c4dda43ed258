// The scan against quorelsim on a pseudo-terminal through the real serial
// port class: enumeration from QUORELWIN_EXTRA_PORTS, the probe, the hand-over.
#include "app_fixture.h"

#include "qt_serial_line.h"
#include "quorelsim_process.h"

#include <QListWidget>
#include <QTest>

TEST(EndToEnd, ScanFindsTheSimulatedConverterAndOpensItsWindow)
{
    QuorelsimProcess sim;
    ASSERT_TRUE(sim.start({"--family", "2", "--address", "5", "--baud", "9600"}));
    qputenv("QUORELWIN_EXTRA_PORTS", QByteArray::fromStdString(sim.slavePath()));
    setMessageSink([](const std::string &) {});

    Link link(std::make_unique<QtSerialLine>());
    TForm3 scan(link, makeSystemEnumerator());
    StubWindow converter("TForm1", link, scan), other("TForm5", link, scan);
    scan.setFamilyWindows({&other, &converter, &other, &other, &other, &other});
    scan.show();

    scan.Button1Click();
    const QString adapter = scan.ListBox1->currentItem()->text();
    EXPECT_TRUE(adapter.contains("USB-to-Serial")) << adapter.toStdString();
    EXPECT_TRUE(adapter.contains(QString::fromStdString(sim.slavePath()))) << adapter.toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return converter.isVisible(); }, 6000));
    EXPECT_FALSE(scan.isVisible());
    EXPECT_FALSE(other.isVisible());
    EXPECT_EQ(link.ComBuf[cb::DevFamily], 2);
    EXPECT_EQ(link.SerialNo, 703070001u);
    EXPECT_EQ(scan.ListBox2->currentRow(), 1); // found after the broadcast at 9600
    EXPECT_TRUE(QTest::qWaitFor([&] { return converter.activations == 1; }, 1000));

    qunsetenv("QUORELWIN_EXTRA_PORTS");
    setMessageSink(nullptr);
    link.CloseCom();
    EXPECT_EQ(sim.stop(SIGTERM), 0);
    EXPECT_EQ(sim.collisions(), 0) << sim.output();
}
