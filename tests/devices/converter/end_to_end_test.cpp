// The converter window against quorelsim through the real serial port: a
// write the module refuses, and one calibration point from Start to Done.
// (Scan, read, write and read back: tests/main/window_end_to_end_test.cpp.)
#include "converter_window.h"
#include "end_to_end_session.h"

#include <QLineEdit>
#include <QPushButton>

TEST(ConverterEndToEnd, ARefusedWriteStagedInQuorelsimEndsInWriteFail)
{
    // The module refuses both attempts at register 3: the chain stops there.
    QuorelsimSession session({"--hold", "3=1000", "--fault", "refuse:5:3x2"});
    ASSERT_TRUE(session.started());
    TForm1 &form = session.add<TForm1>();
    auto *upper = form.findChild<QLineEdit *>("Edi4");

    ASSERT_TRUE(session.scanned(form));
    EXPECT_EQ(upper->text(), "1000");
    upper->setText("900");
    form.BtnP2Click();
    ASSERT_TRUE(session.statusBecomes(form, "Write Fail"));
    EXPECT_TRUE(form.findChild<QPushButton *>("BtnP1")->isEnabled());

    form.BtnP1Click();
    ASSERT_TRUE(session.statusBecomes(form, "Read Success", 4000));
    EXPECT_EQ(upper->text(), "1000");
    EXPECT_NE(session.sim.output().find("refuse"), std::string::npos);
}

TEST(ConverterEndToEnd, OneCalibrationPointFromStartToDone)
{
    QuorelsimSession session({"--input", "4099=1234", "--input", "4100=0x8001"});
    ASSERT_TRUE(session.started());
    TForm1 &form = session.add<TForm1>();
    ASSERT_TRUE(session.scanned(form, 8000));

    form.serviceModeChanged(true);
    form.findChild<QPushButton *>("Btn12")->click(); // CH-1 RTD high: reference 500
    auto *a0 = form.findChild<QLineEdit *>("rtd_hi_a0");
    auto *a1 = form.findChild<QLineEdit *>("rtd_hi_a1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return a0->text() == "1234"; }, 4000));
    EXPECT_EQ(a1->text(), "-32767");
    form.findChild<QPushButton *>("Btn14")->click();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return form.findChild<QPushButton *>("BtnP1")->isEnabled(); }, 4000));
    ASSERT_TRUE(session.sim.waitForOutput("store CH-1 RTD high point", 2000))
        << session.sim.output();
    EXPECT_NE(session.sim.output().find("write 22 = 500"), std::string::npos);
}
