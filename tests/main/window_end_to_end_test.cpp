// Every family window against quorelsim through the real serial port: the
// scan finds the module (at its own address and rate where the family keeps
// them) and hands over to the module's window, whose activation puts the
// module back to its address and rate and reads it; a changed field is
// written and read back.
#include "compact_window.h"
#include "converter_window.h"
#include "end_to_end_session.h"
#include "family_windows.h"
#include "print_qstring.h"
#include "resistance_window.h"
#include "transmitter_window.h"
#include "universal_distributor_window.h"
#include "vma_distributor_window.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace {
struct EndToEndRow
{
    const char *window;
    std::vector<std::string> args; // quorelsim's module
    const char *modelName;         // what the model label shows
    const char *field;             // a configuration field written and read back
    const char *shown;             // what the first read shows in it (nullptr: any)
    const char *typed;             // written, or `other` when the field shows it already
    const char *other;
    const char *writeStatus;
    int address;          // the module's own address, put back on activation (0: none)
    int baudCode;         // the rate the line ends at (-1: the scan's, not checked)
    const char *baudText; // the rate the page shows (nullptr: not checked)
};

// clang-format off
const EndToEndRow EndToEndRows[] = {
    {"TForm1", {}, "RX220", "Edi4", nullptr, "800", "900", "Write Success", 0, -1, nullptr},
    // The module cannot store what it was written, but keeps it.
    {"TForm2", {"--family", "1", "--store-fails"}, "RX110", "Edi4", "1000", "800", "900",
     "Write Memory Fail", 0, -1, nullptr},
    {"TForm4", {"--family", "3", "--baud", "4800", "--version", "5"}, "RY440", "Edi61", nullptr,
     "-7", "8", "Write Success", 0, 0, nullptr},
    {"TForm10", {"--family", "3", "--baud", "4800", "--version", "4"}, "RY440", "Edi61", nullptr,
     "-7", "8", "Write Success", 0, 0, nullptr},
    {"TForm5", {"--family", "4", "--version", "3", "--address", "7", "--baud", "9600"}, "RX220",
     "Edit9", nullptr, "300", "350", "Write Success", 7, 1, "9600"},
    {"TForm7", {"--family", "5", "--address", "7", "--baud", "9600", "--hold", "0=1", "--hold",
     "3=20000"}, "RX220", "Edit2", "200.00", "123.45", "234.56", "Write Success", 7, 1, nullptr},
};
// clang-format on

void PrintTo(const EndToEndRow &row, std::ostream *out)
{
    *out << row.window;
}
} // namespace

class WindowEndToEnd : public ::testing::TestWithParam<EndToEndRow>
{};

TEST_P(WindowEndToEnd, ScanReadWriteAndReadBack)
{
    const EndToEndRow &row = GetParam();
    QuorelsimSession session(row.args);
    ASSERT_TRUE(session.started());
    const std::vector<DeviceWindow *> windows = {&session.add<TForm1>(), &session.add<TForm2>(),
                                                 &session.add<TForm4>(), &session.add<TForm10>(),
                                                 &session.add<TForm5>(), &session.add<TForm7>()};
    DeviceWindow &form = **std::ranges::find_if(
        windows, [&](DeviceWindow *window) { return window->objectName() == row.window; });
    auto *field = form.findChild<QLineEdit *>(row.field);
    ASSERT_NE(field, nullptr);

    ASSERT_TRUE(session.scanned(form));
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.findChild<QLabel *>(familyWindow(row.window).modelLabel)->text(), row.modelName);
    if (row.address) {
        EXPECT_EQ(form.findChild<QLineEdit *>("ID_Edit")->text(), QString::number(row.address));
        EXPECT_EQ(session.link.ComBuf[cb::DevAddr], row.address);
    }
    if (row.baudCode >= 0) {
        EXPECT_EQ(session.link.currentBaud(), row.baudCode);
    }
    if (row.baudText) {
        EXPECT_EQ(form.findChild<QComboBox *>("ComboBox1")->currentText(), row.baudText);
    }
    if (row.shown) {
        EXPECT_EQ(field->text(), row.shown);
    }

    const QString written = field->text() == row.typed ? row.other : row.typed;
    field->setText(written);
    form.findChild<QPushButton *>("BtnP2")->click();
    ASSERT_TRUE(session.statusBecomes(form, row.writeStatus, 10000));
    const bool success = QString(row.writeStatus) == "Write Success";
    EXPECT_EQ(form.findChild<StatusLabel *>("Lab83")->fontColor(),
              success ? QColor(0, 128, 0) : QColor(255, 0, 0));

    field->setText("0");
    form.findChild<QPushButton *>("BtnP1")->click();
    ASSERT_TRUE(session.statusBecomes(form, "Read Success", 4000));
    EXPECT_EQ(field->text(), written);
}

INSTANTIATE_TEST_SUITE_P(Families, WindowEndToEnd, ::testing::ValuesIn(EndToEndRows),
                         [](const auto &info) { return std::string(info.param.window); });
