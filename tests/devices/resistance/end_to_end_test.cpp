// The resistance transmitter windows against quorelsim through the real
// serial port: a calibration run stores a point and a mode button changes the
// table. (Scan, read, write and read back: tests/main/window_end_to_end_test.cpp.)
#include "end_to_end_session.h"
#include "resistance_fixture.h"

#include <QGroupBox>
#include <QTest>

class ResistanceEndToEnd : public ::testing::TestWithParam<int>
{};

TEST_P(ResistanceEndToEnd, CalibrationRunAndModeChange)
{
    const int version = GetParam();
    TForm6 dialog; // outlives the windows that ask it
    QuorelsimSession session(
        {"--family", "3", "--model", "4", "--baud", "4800", "--version", std::to_string(version)});
    ASSERT_TRUE(session.started());
    TForm4 &form4 = session.add<TForm4>();
    TForm10 &form10 = session.add<TForm10>();
    form4.setConfirmation(&dialog);
    form10.setConfirmation(&dialog);
    ResistanceBase &form = version >= 5 ? static_cast<ResistanceBase &>(form4) : form10;
    const auto button = [&form](const char *name) { return form.findChild<QPushButton *>(name); };
    const auto field = [&form](const char *name) { return form.findChild<QLineEdit *>(name); };
    const auto counted = [&field](const char *name) {
        return QTest::qWaitFor([&] { return !field(name)->text().isEmpty(); }, 4000);
    };
    const auto enabledSoon = [&button](const char *name) {
        return QTest::qWaitFor([&] { return button(name)->isEnabled(); }, 4000);
    };

    ASSERT_TRUE(session.scanned(form, 8000));
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
    ASSERT_TRUE(session.statusBecomes(form, "Read Success", 4000));
    EXPECT_EQ(field("Edit10")->text(), "300");

    // The 20-point mode (21 points on a compact module).
    button("Button9")->click();
    auto *label = form.findChild<QLabel *>("Label25");
    ASSERT_TRUE(QTest::qWaitFor([&] { return label->text() == "OK!"; }, 4000));
    form.BtnP1Click();
    ASSERT_TRUE(session.statusBecomes(form, "Read Success", 4000));
    EXPECT_TRUE(form.findChild<QGroupBox *>("GroupBox8")->isVisible());
    EXPECT_FALSE(form.findChild<QGroupBox *>("GroupBox1")->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Versions, ResistanceEndToEnd, ::testing::Values(5, 4),
                         [](const auto &info) { return "Version" + std::to_string(info.param); });
