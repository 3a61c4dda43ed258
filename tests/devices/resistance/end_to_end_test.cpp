// The resistance transmitter windows against quorelsim through the real
// serial port: the scan finds the module at 4800 baud and hands over to the
// window of its version, whose activation reads it; a changed offset is
// written, stored and read back; a calibration run stores a point and a mode
// button changes the table.
#include "resistance_fixture.h"

#include "qt_serial_line.h"
#include "quorelsim_process.h"

#include <QGroupBox>
#include <QTest>

class ResistanceEndToEnd : public ::testing::TestWithParam<int>
{};

TEST_P(ResistanceEndToEnd, ScanReadWriteAndReadBack)
{
    const int version = GetParam();
    QuorelsimProcess sim;
    ASSERT_TRUE(
        sim.start({"--family", "3", "--baud", "4800", "--version", std::to_string(version)}));
    qputenv("QUORELWIN_EXTRA_PORTS", QByteArray::fromStdString(sim.slavePath()));
    setMessageSink([](const std::string &) {});

    Link link(std::make_unique<QtSerialLine>());
    TForm3 scan(link, makeSystemEnumerator());
    TForm4 form4(link, scan);
    TForm10 form10(link, scan);
    scan.setFamilyWindows({nullptr, nullptr, &form4, &form10, nullptr, nullptr});
    ResistanceBase &form = version >= 5 ? static_cast<ResistanceBase &>(form4) : form10;
    scan.show();
    auto *status = form.findChild<StatusLabel *>("Lab83");
    auto *offset = form.findChild<QLineEdit *>("Edi61");

    scan.Button1Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->text() == "Read Success"; }, 8000))
        << status->text().toStdString();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(link.currentBaud(), 0);
    EXPECT_EQ(form.findChild<QLabel *>("Label18")->text(), "RY440");

    const QString changed = offset->text() == "-7" ? "8" : "-7";
    offset->setText(changed);
    form.BtnP2Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->text() == "Write Success"; }, 8000))
        << status->text().toStdString();

    offset->setText("0");
    form.BtnP1Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->text() == "Read Success"; }, 4000));
    EXPECT_EQ(offset->text(), changed);

    form.stopWork();
    qunsetenv("QUORELWIN_EXTRA_PORTS");
    setMessageSink(nullptr);
    link.CloseCom();
    sim.stop(SIGTERM);
    EXPECT_EQ(sim.collisions(), 0) << sim.output();
}

TEST_P(ResistanceEndToEnd, CalibrationRunAndModeChange)
{
    const int version = GetParam();
    QuorelsimProcess sim;
    ASSERT_TRUE(sim.start(
        {"--family", "3", "--model", "4", "--baud", "4800", "--version", std::to_string(version)}));
    qputenv("QUORELWIN_EXTRA_PORTS", QByteArray::fromStdString(sim.slavePath()));
    setMessageSink([](const std::string &) {});

    Link link(std::make_unique<QtSerialLine>());
    TForm3 scan(link, makeSystemEnumerator());
    TForm4 form4(link, scan);
    TForm10 form10(link, scan);
    TForm6 dialog;
    form4.setConfirmation(&dialog);
    form10.setConfirmation(&dialog);
    scan.setFamilyWindows({nullptr, nullptr, &form4, &form10, nullptr, nullptr});
    ResistanceBase &form = version >= 5 ? static_cast<ResistanceBase &>(form4) : form10;
    scan.show();
    auto *status = form.findChild<StatusLabel *>("Lab83");
    const auto button = [&form](const char *name) { return form.findChild<QPushButton *>(name); };
    const auto field = [&form](const char *name) { return form.findChild<QLineEdit *>(name); };
    const auto counted = [&field](const char *name) {
        return QTest::qWaitFor([&] { return !field(name)->text().isEmpty(); }, 4000);
    };
    const auto enabledSoon = [&button](const char *name) {
        return QTest::qWaitFor([&] { return button(name)->isEnabled(); }, 4000);
    };

    scan.Button1Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->text() == "Read Success"; }, 8000));
    ASSERT_TRUE(form.findChild<QGroupBox *>("GroupBox1")->isVisible());

    // Points 1, 2 and 5 of the 5-point table.
    button("Btn_1")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.isVisible(); }, 4000));
    dialog.Button1Click();
    ASSERT_TRUE(counted("Edit4"));
    button("Btn_6")->click();
    ASSERT_TRUE(enabledSoon("Btn_2"));
    field("Edit10")->setText("300");
    button("Btn_2")->click();
    ASSERT_TRUE(counted("Edit5"));
    button("Btn_7")->click();
    ASSERT_TRUE(enabledSoon("Btn_5"));
    button("Btn_5")->click();
    ASSERT_TRUE(counted("Edit8"));
    button("Btn_a")->click();
    ASSERT_TRUE(enabledSoon("BtnP1"));
    EXPECT_FALSE(form.zeroSpan().running());

    field("Edit10")->setText("");
    form.BtnP1Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->text() == "Read Success"; }, 4000));
    EXPECT_EQ(field("Edit10")->text(), "300");

    // The 20-point mode (21 points on a compact module).
    button("Button9")->click();
    auto *label = form.findChild<QLabel *>("Label25");
    ASSERT_TRUE(QTest::qWaitFor([&] { return label->text() == "OK!"; }, 4000));
    form.BtnP1Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->text() == "Read Success"; }, 4000));
    EXPECT_TRUE(form.findChild<QGroupBox *>("GroupBox8")->isVisible());
    EXPECT_FALSE(form.findChild<QGroupBox *>("GroupBox1")->isVisible());

    form.stopWork();
    qunsetenv("QUORELWIN_EXTRA_PORTS");
    setMessageSink(nullptr);
    link.CloseCom();
    sim.stop(SIGTERM);
    EXPECT_EQ(sim.collisions(), 0) << sim.output();
}

INSTANTIATE_TEST_SUITE_P(Versions, ResistanceEndToEnd, ::testing::Values(5, 4),
                         [](const auto &info) { return "Version" + std::to_string(info.param); });
