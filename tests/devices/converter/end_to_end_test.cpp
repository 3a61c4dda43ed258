// The converter window against quorelsim through the real serial port: scan,
// activation read, a changed field written and read back.
#include "converter_fixture.h"

#include "qt_serial_line.h"
#include "quorelsim_process.h"

#include <QTest>

TEST(ConverterEndToEnd, ReadChangeWriteAndReadBack)
{
    QuorelsimProcess sim;
    ASSERT_TRUE(sim.start({}));
    qputenv("QUORELWIN_EXTRA_PORTS", QByteArray::fromStdString(sim.slavePath()));
    setMessageSink([](const std::string &) {});

    Link link(std::make_unique<QtSerialLine>());
    TForm3 scan(link, makeSystemEnumerator());
    TForm1 form(link, scan);
    scan.setFamilyWindows({nullptr, &form, nullptr, nullptr, nullptr, nullptr});
    scan.show();
    auto *status = form.findChild<StatusLabel *>("Lab83");
    auto *upper = form.findChild<QLineEdit *>("Edi4");

    scan.Button1Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->text() == "Read Success"; }, 8000))
        << status->text().toStdString();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.findChild<QLabel *>("Label60")->text(), "RX220");

    const QString changed = upper->text() == "800" ? "900" : "800";
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

TEST(ConverterEndToEnd, ARefusedWriteStagedInQuorelsimEndsInWriteFail)
{
    // The module refuses both attempts at register 3: the chain stops there.
    QuorelsimProcess sim;
    ASSERT_TRUE(sim.start({"--hold", "3=1000", "--fault", "refuse:5:3x2"}));
    qputenv("QUORELWIN_EXTRA_PORTS", QByteArray::fromStdString(sim.slavePath()));
    setMessageSink([](const std::string &) {});

    Link link(std::make_unique<QtSerialLine>());
    TForm3 scan(link, makeSystemEnumerator());
    TForm1 form(link, scan);
    scan.setFamilyWindows({nullptr, &form, nullptr, nullptr, nullptr, nullptr});
    scan.show();
    auto *status = form.findChild<StatusLabel *>("Lab83");
    auto *upper = form.findChild<QLineEdit *>("Edi4");

    scan.Button1Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->text() == "Read Success"; }, 8000))
        << status->text().toStdString();
    EXPECT_EQ(upper->text(), "1000");
    upper->setText("900");
    form.BtnP2Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->text() == "Write Fail"; }, 8000))
        << status->text().toStdString();
    EXPECT_TRUE(form.findChild<QPushButton *>("BtnP1")->isEnabled());

    form.BtnP1Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->text() == "Read Success"; }, 4000));
    EXPECT_EQ(upper->text(), "1000");
    EXPECT_NE(sim.output().find("refuse"), std::string::npos);

    qunsetenv("QUORELWIN_EXTRA_PORTS");
    setMessageSink(nullptr);
    link.CloseCom();
    sim.stop(SIGTERM);
    EXPECT_EQ(sim.collisions(), 0) << sim.output();
}

TEST(ConverterEndToEnd, OneCalibrationPointFromStartToDone)
{
    QuorelsimProcess sim;
    ASSERT_TRUE(sim.start({"--input", "4099=1234", "--input", "4100=0x8001"}));
    qputenv("QUORELWIN_EXTRA_PORTS", QByteArray::fromStdString(sim.slavePath()));
    setMessageSink([](const std::string &) {});

    Link link(std::make_unique<QtSerialLine>());
    TForm3 scan(link, makeSystemEnumerator());
    TForm1 form(link, scan);
    scan.setFamilyWindows({nullptr, &form, nullptr, nullptr, nullptr, nullptr});
    scan.show();
    auto *status = form.findChild<StatusLabel *>("Lab83");
    scan.Button1Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->text() == "Read Success"; }, 8000))
        << status->text().toStdString();

    form.serviceModeChanged(true);
    form.findChild<QPushButton *>("Btn12")->click(); // CH-1 RTD high: reference 500
    auto *a0 = form.findChild<QLineEdit *>("rtd_hi_a0");
    auto *a1 = form.findChild<QLineEdit *>("rtd_hi_a1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return a0->text() == "1234"; }, 4000));
    EXPECT_EQ(a1->text(), "-32767");
    form.findChild<QPushButton *>("Btn14")->click();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return form.findChild<QPushButton *>("BtnP1")->isEnabled(); }, 4000));
    ASSERT_TRUE(sim.waitForOutput("store CH-1 RTD high point", 2000)) << sim.output();
    EXPECT_NE(sim.output().find("write 22 = 500"), std::string::npos);

    qunsetenv("QUORELWIN_EXTRA_PORTS");
    setMessageSink(nullptr);
    link.CloseCom();
    sim.stop(SIGTERM);
    EXPECT_EQ(sim.collisions(), 0) << sim.output();
}
