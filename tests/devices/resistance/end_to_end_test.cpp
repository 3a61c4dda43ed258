// The resistance transmitter windows against quorelsim through the real
// serial port: the scan finds the module at 4800 baud and hands over to the
// window of its version, whose activation reads it; a changed offset is
// written, stored and read back.
#include "resistance_fixture.h"

#include "qt_serial_line.h"
#include "quorelsim_process.h"

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
}

INSTANTIATE_TEST_SUITE_P(Versions, ResistanceEndToEnd, ::testing::Values(5, 4),
                         [](const auto &info) { return "Version" + std::to_string(info.param); });
