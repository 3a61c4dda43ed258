// The converter, transmitter and distributor windows in the three languages,
// their configuration at its widest: activation reads with the language's
// status text, and every page (the factory pages of service mode too) shows
// nothing clipped in a window that fits a 1366×768 laptop screen. With
// QUORELWIN_SCREENSHOTS set to a folder, the pictures are saved there. (The
// resistance windows, with their calibration tables: tests/devices/resistance.)
#include "appearance.h"
#include "status_messages.h"
#include "window_rig.h"

#include <QTabWidget>

namespace {
struct AppearanceRow
{
    const char *window;
    int model;
    std::vector<std::pair<int, int>> registers; // a configuration at its widest
    std::vector<std::pair<int, int>> inputs;    // live values at their widest
    const char *liveStart, *liveStop, *poll;    // nullptr: no live values shown
    const char *countsPage; // its empty count fields show -32768 (nullptr: none)
    const char *shot;
    // A page that in service mode is known to be wider than the screen (its
    // width then not checked), -1: none.
    int wideServicePage = -1;
};

// clang-format off
const AppearanceRow AppearanceRows[] = {
    {"TForm1", 32, {{0, 1}, {1, 0}, {2, -50}, {3, 1370}, {18, 1}, {19, 1}, {20, 2}, {23, 3}}, {},
     nullptr, nullptr, nullptr, nullptr, "converter",
     0}, // the address "Set" button makes the English page 1374 px wide
    // With the panel over the voltage and current choices.
    {"TForm2", 17, {{0, 1}, {1, 0}, {2, -50}, {3, 1370}, {4, -12}, {7, 5461}, {8, 27306}}, {},
     nullptr, nullptr, nullptr, nullptr, "transmitter"},
    {"TForm5", 49, {{0, 10}, {1, 1}, {2, -200}, {3, 600}, {6, -15}, {23, 12}, {24, 1}, {25, 4000},
                    {26, 20000}, {7, 123}, {29, 3}},
     {{4096, 0x8000}, {4097, 32767}}, "Btn71", "Btn72", "Timer3", "Calbration1", "distributor"},
    {"TForm7", 50, {{0, 0}, {2, -4800}, {3, 4800}, {18, 1}, {23, 12}, {26, 17700}, {29, 3}},
     {{4096, 32767}, {4097, 0x8000}, {4098, -30000}}, "Btn11", "Btn12", "Timer3", nullptr,
     "vma-distributor"},
};
// clang-format on

void PrintTo(const AppearanceRow &row, std::ostream *out)
{
    *out << row.window;
}
} // namespace

class WindowAppearance : public ::testing::TestWithParam<AppearanceRow>
{};

TEST_P(WindowAppearance, EveryPageInEveryLanguage)
{
    const AppearanceRow &row = GetParam();
    // The pictures are loaded from the working directory, as the program does
    // from its own folder.
    const QString before = QDir::currentPath();
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    ModuleConfig module = familyWindow(row.window).module;
    module.model = row.model;
    std::unique_ptr<Rig> rig = makeRig(row.window, module);
    for (const auto &[reg, value] : row.registers)
        rig->module().setHolding(reg, value & 0xFFFF);
    DeviceWindow &window = rig->window();
    auto *pages = rig->find<QTabWidget>(familyWindow(row.window).pages);
    ASSERT_NE(pages, nullptr);
    window.show();
    QApplication::processEvents(); // the activation starts a read

    const auto check = [&](int page, const QString &language, bool widthKnown = true) {
        pages->setCurrentIndex(page);
        window.adjustSize();
        QApplication::processEvents();
        EXPECT_EQ(clippedCaptions(&window), std::vector<std::string>{})
            << language.toStdString() << page;
        if (widthKnown) {
            EXPECT_LE(window.frameGeometry().width(), 1366) << language.toStdString() << page;
        }
        EXPECT_LE(window.frameGeometry().height(), 768 - 48)
            << language.toStdString() << page; // a task bar
        saveShot(&window, QString("%1-%2-%3").arg(row.shot).arg(page).arg(language));
    };
    for (const auto &[code, language] : Languages) {
        SCOPED_TRACE(language);
        rig->link().ComBuf[cb::LangCode] = static_cast<std::int16_t>(code);
        if (!window.chain().isRunning())
            rig->handled([&] { window.FormActivate(); });
        rig->settle();
        EXPECT_EQ(window.statusLabel()->text(), i18n::statusText(i18n::Status::ReadSuccess, code));
        if (row.liveStart) {
            for (const auto &[reg, value] : row.inputs)
                rig->module().setInput(reg, value & 0xFFFF);
            rig->press(row.liveStart);
            rig->fire(rig->timer(row.poll));
            rig->press(row.liveStop);
        }
        if (row.countsPage)
            for (QLineEdit *count : rig->find<QWidget>(row.countsPage)->findChildren<QLineEdit *>())
                if (count->text().isEmpty())
                    count->setText("-32768");
        check(0, language);
    }
    // Every page of service mode; a page known to be too wide last, since the
    // window then keeps its width.
    window.serviceModeChanged(true);
    for (const auto &[code, language] : Languages) {
        rig->scan().applyLanguage(code);
        for (int page = 0; page < pages->count(); ++page)
            if (page != row.wideServicePage)
                check(page, QString("service-%1").arg(language));
    }
    if (row.wideServicePage >= 0)
        for (const auto &[code, language] : Languages) {
            rig->scan().applyLanguage(code);
            check(row.wideServicePage, QString("service-%1").arg(language), false);
        }
    window.serviceModeChanged(false);
    window.hide();
    QDir::setCurrent(before);
}

INSTANTIATE_TEST_SUITE_P(Families, WindowAppearance, ::testing::ValuesIn(AppearanceRows),
                         [](const auto &info) { return std::string(info.param.window); });
