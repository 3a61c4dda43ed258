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
}
