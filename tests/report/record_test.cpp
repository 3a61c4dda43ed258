// What every family window keeps beyond its page: the commissioning record,
// written as HTML in the three languages and parsed back (every field the
// page shows of its configuration is there, captioned with texts the page
// shows in that language and valued as the page shows it; the verdicts and
// calibration points since activation), and the live trend and live log,
// which take each poll as the fields show it.
#include "appearance.h"
#include "commissioning.h"
#include "commissioning_record.h"
#include "language_switch.h"
#include "live_trace.h"
#include "register_values.h"
#include "trend_plot.h"
#include "window_rig.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <cmath>
#include <set>

namespace {
struct Family
{
    const char *window;
    ModuleConfig config;
    std::vector<std::pair<int, int>> registers;
    std::size_t fields; // how many the page shows
    const char *liveStart, *liveStop;
    const char *calibrationStart = nullptr, *calibrationDone = nullptr; // a point
};

// Modules that exercise the less common texts: deg F, current ("com -"), the
// square root, a negative offset.
// clang-format off
const Family Families[] = {
    {"TForm1", {2, 32, 9}, {{0, 1}, {1, 1}, {2, -58}, {3, 2498}, {6, -15}, {18, 1}, {23, 3}}, 18, "Btn71", "Btn72", "Btn11", "Btn13"},
    {"TForm2", {1, 1, 9}, {{0, 12}, {1, 1}, {2, 4000}, {3, 20000}, {5, 1}}, 7, "Btn71", "Btn72", "Btn11", "Btn13"},
    {"TForm4", {3, 7, 5}, {{4, -20}, {5, 1}}, 5, "Btn71", "Btn72", "Btn25_1", "Btn25_26"},
    {"TForm10", {3, 6, 3}, {{6, 2}}, 5, "Btn71", "Btn72", "Btn_2", "Btn_7"},
    {"TForm5", {4, 49, 3}, {{0, 10}, {1, 1}, {23, 12}, {24, 1}, {25, 4000}, {26, 20000}, {29, 2}}, 17, "Btn71", "Btn72", "Btn11", "Btn13"},
    {"TForm7", {5, 50, 3}, {{0, 8}, {3, 100}, {17, 1}, {18, 1}, {23, 15}, {26, 1000}, {29, 2}}, 22, "Btn11", "Btn12", "Btn_21", "Btn_27"},
};
// clang-format on

// The cells of each row of the record's table of that class.
std::vector<QStringList> tableRows(const std::string &html, const QString &table)
{
    QXmlStreamReader xml(QString::fromStdString(html));
    std::vector<QStringList> rows;
    bool inside = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"table")
            inside = xml.attributes().value("class") == table;
        else if (inside && xml.isStartElement() && xml.name() == u"tr")
            rows.emplace_back();
        else if (inside && xml.isStartElement() && (xml.name() == u"th" || xml.name() == u"td"))
            rows.back() << xml.readElementText();
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return rows;
}

// What the control (or the checked one of "A|B|C") shows for its value.
QString shown(QWidget &window, const std::string &controls)
{
    for (const QString &name : QString::fromStdString(controls).split('|')) {
        QWidget *control = window.findChild<QWidget *>(name);
        if (auto *group = qobject_cast<RadioGroup *>(control))
            return group->itemText(group->itemIndex());
        if (auto *edit = qobject_cast<QLineEdit *>(control))
            return edit->text();
        if (auto *combo = qobject_cast<QComboBox *>(control))
            return combo->currentText();
        if (auto *box = qobject_cast<QCheckBox *>(control))
            return box->isChecked() ? "\u2611" : "\u2610";
        if (auto *button = qobject_cast<QAbstractButton *>(control); button && button->isChecked())
            return button->text();
    }
    return "?";
}

// Every caption of the page as a record writes captions.
std::set<QString> pageCaptions(QWidget &window)
{
    std::set<QString> captions;
    const auto add = [&](const QString &text) {
        captions.insert(QString::fromStdString(plainCaption(text.toStdString())));
    };
    for (QLabel *label : window.findChildren<QLabel *>())
        add(label->text());
    for (QGroupBox *box : window.findChildren<QGroupBox *>())
        add(box->title());
    return captions;
}
} // namespace

// The rows of the record's module table, by heading.
std::map<QString, QString> moduleRows(const std::string &html)
{
    std::map<QString, QString> rows;
    for (const QStringList &row : tableRows(html, "module"))
        if (row.size() == 2)
            rows[row[0]] = row[1];
    return rows;
}

std::unique_ptr<Rig> readRig(const Family &family)
{
    std::unique_ptr<Rig> rig = makeRig(family.window, family.config);
    for (const auto &[reg, value] : family.registers)
        rig->module().setHolding(reg, value & 0xFFFF);
    rig->handled([&] { rig->window().FormActivate(); });
    rig->settle();
    return rig;
}

TEST(CommissioningRecord, EveryFieldOfThePageIsCaptionedAndValuedAsThePageShowsIt)
{
    for (const Family &family : Families) {
        std::unique_ptr<Rig> rig = readRig(family);
        rig->press("BtnP2");
        for (const auto &[code, language] : Languages) {
            const std::string where = std::string(family.window) + " " + language;
            rig->link().ComBuf[cb::LangCode] = static_cast<std::int16_t>(code);
            i18n::switchLanguage(code, {{family.window, &rig->window()}});
            const CommissioningRecord record = rig->window().commissioning().record();
            const std::string html = recordHtml(record);
            const std::vector<QStringList> rows = tableRows(html, "configuration");
            ASSERT_EQ(rows.size(), record.configuration.size()) << where;
            EXPECT_EQ(rows.size(), family.fields) << where;
            const std::set<QString> captions = pageCaptions(rig->window());
            for (std::size_t i = 0; i < rows.size(); ++i) {
                ASSERT_EQ(rows[i].size(), 2) << where;
                for (const QString &part : rows[i][0].split(" / "))
                    EXPECT_TRUE(captions.contains(part)) << where << ": " << part.toStdString();
                EXPECT_EQ(rows[i][1], shown(rig->window(), record.configuration[i].control))
                    << where << ": " << rows[i][0].toStdString();
            }
            // The verdicts as the status label showed them, in its language at the time.
            const std::map<QString, QString> module = moduleRows(html);
            EXPECT_EQ(module.at(i18n::pickText(code, {"Serial No", "序號", "序号"})), "703070001");
            EXPECT_EQ(
                module.at(i18n::pickText(code, {"Last read", "最近一次讀出", "最近一次读出"})),
                i18n::statusText(i18n::Status::ReadSuccess, code))
                << where;
            EXPECT_EQ(record.lastWrite,
                      i18n::statusText(i18n::Status::WriteSuccess, code).toStdString())
                << where;
        }
        i18n::switchLanguage(lang::English, {{family.window, &rig->window()}});
    }
}

// A calibration point done on the converter is in the record with the counts
// its fields showed at "Done", the code sent and the module's verdict; an
// output trim with the count sent.
TEST(CommissioningRecord, KeepsTheCalibrationPointsSinceActivation)
{
    std::unique_ptr<Rig> rig = readRig(Families[0]);
    rig->window().serviceModeChanged(true);
    rig->press("Btn11");
    rig->ticks(3);
    const QString a0 = rig->find<QLineEdit>("rtd_lo_a0")->text();
    const QString a1 = rig->find<QLineEdit>("rtd_lo_a1")->text();
    rig->press("Btn13");
    rig->press("RadioButton1"); // output 1 held at its low end, then back to normal
    rig->press("RadioButton3");
    const std::vector<CalibrationStep> steps = rig->window().commissioning().record().calibration;
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].point, "RTD calibration / LO");
    EXPECT_EQ(steps[0].reference, "0");
    EXPECT_EQ(QString::fromStdString(steps[0].counts), "A0 " + a0 + ", A1 " + a1);
    EXPECT_EQ(steps[0].code, 2);
    EXPECT_EQ(steps[0].verdict, CalibrationStep::Verdict::Accepted);
    EXPECT_FALSE(a0.isEmpty());
    EXPECT_EQ(steps[1].point, "Output-1 0/4~20 mA Output Signal Adjustment / 0/4 mA");
    EXPECT_EQ(QString::fromStdString(steps[1].counts), rig->find<QLineEdit>("Edit2")->text());
    EXPECT_EQ(steps[1].code, 27);
    EXPECT_EQ(steps[1].verdict, CalibrationStep::Verdict::NotChecked);
    rig->handled([&] { rig->window().FormActivate(); });
    rig->settle();
    EXPECT_TRUE(rig->window().commissioning().record().calibration.empty());

    // A zero/span point of the compact resistance window, its count in a trend.
    rig = readRig(Families[3]);
    rig->press("Btn_2"); // "Set Span" of point 2: its value, then the count poll
    rig->ticks(3);
    const QString count = rig->find<QLineEdit>("Edit5")->text();
    rig->press("Btn_7");
    const std::vector<CalibrationStep> points = rig->window().commissioning().record().calibration;
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].point, "Zero Span Setting / 2");
    EXPECT_EQ(QString::fromStdString(points[0].counts), count);
    EXPECT_EQ(points[0].verdict, CalibrationStep::Verdict::Accepted);
    const TrendPlot *trend =
        rig->window().commissioning().countTrend(rig->find<QWidget>("Configuration"));
    ASSERT_NE(trend, nullptr);
    EXPECT_GE(trend->series().samples().size(), 2u);
}

// The live log and the trend take each poll as the fields show it, from
// "Read" to "Stop"; an activation clears the trend.
TEST(LiveTrace, TheLogAndTheTrendFollowTheFieldsFromReadToStop)
{
    for (const Family &family : Families) {
        SCOPED_TRACE(family.window);
        std::unique_ptr<Rig> rig = readRig(family);
        Commissioning &commissioning = rig->window().commissioning();
        const QTemporaryDir dir;
        const QString path = dir.filePath("live.csv");
        ASSERT_TRUE(commissioning.saveLiveLog(path)); // rows come with the next "Read"
        QGroupBox *group = rig->find<QGroupBox>("Item7");
        if (!group)
            group = rig->find<QGroupBox>("Item_15");
        ASSERT_NE(group, nullptr);
        const TrendPlot *trend = commissioning.liveTrace()->trend();
        EXPECT_FALSE(trend->isVisibleTo(&rig->window()));

        rig->press(family.liveStart);
        std::vector<std::string> shownRows;
        for (int tick = 0; tick < 3; ++tick) {
            rig->ticks(1);
            std::string row;
            for (const char *name : {"PV1_Edit", "PV2_Edit", "PVS_Edit"})
                if (auto *field = group->findChild<QLineEdit *>(name))
                    row += "," + csvField(field->text().toStdString());
            shownRows.push_back(row);
        }
        rig->press(family.liveStop);
        rig->ticks(2);
        EXPECT_FALSE(commissioning.liveTrace()->log().isRunning());
        EXPECT_TRUE(trend->isVisibleTo(&rig->window()));
        EXPECT_EQ(trend->series().samples().size(), 3u);

        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 4);
        EXPECT_TRUE(lines[0].startsWith("time,PV")) << lines[0].toStdString();
        for (int i = 0; i < 3; ++i) {
            const QString &line = lines[i + 1];
            EXPECT_EQ(line.mid(line.indexOf(',')).toStdString(), shownRows[std::size_t(i)]);
            EXPECT_NE(shownRows[std::size_t(i)], std::string(shownRows[0].size(), ','));
        }
        rig->handled([&] { rig->window().FormActivate(); });
        rig->settle();
        EXPECT_TRUE(trend->series().empty());
        EXPECT_FALSE(trend->isVisibleTo(&rig->window()));
    }
}

// Each window's configuration page with the trend after six minutes of a
// settling signal from its simulated module, in every language: nothing
// clipped and the window still fits a 1366x768 screen. With
// QUORELWIN_SCREENSHOTS set the pages and the trends are saved there.
TEST(LiveTrace, TheTrendFitsEveryPageInEveryLanguage)
{
    // The output function's pictures load from the program's folder, as in the program.
    const QString before = QDir::currentPath();
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    for (const Family &family : Families) {
        SCOPED_TRACE(family.window);
        std::unique_ptr<Rig> rig = readRig(family);
        DeviceWindow &window = rig->window();
        const std::int64_t start = 1765000000000; // a fixed day, for the time labels
        window.commissioning().setClock([&] { return start + rig->line().clockMs(); });
        LiveTrace *trace = window.commissioning().liveTrace();
        window.show();
        QApplication::processEvents(); // shown, the window reads its module
        rig->settle();
        const auto signal = [&](int tick) {
            const double settled = 1 - std::exp(-tick / 80.0);
            rig->module().setInput(4096, static_cast<int>(200 + 250 * settled) & 0xFFFF);
            rig->module().setInput(4097, static_cast<int>(-40 + 90 * settled) & 0xFFFF);
            rig->module().setInput(4098, static_cast<int>(80 + 150 * settled) & 0xFFFF);
        };
        signal(0);
        rig->press(family.liveStart);
        for (int tick = 0; tick < 600; ++tick) {
            signal(tick);
            rig->ticks(1);
        }
        rig->press(family.liveStop);
        // The page in each language: whole, on the screen, no wider than maxWidth.
        const auto everyLanguage = [&](const char *what, int maxWidth) {
            for (const auto &[code, language] : Languages) {
                rig->link().ComBuf[cb::LangCode] = static_cast<std::int16_t>(code);
                i18n::switchLanguage(code, {{family.window, &window}});
                window.adjustSize();
                QApplication::processEvents();
                EXPECT_EQ(clippedCaptions(&window), std::vector<std::string>{}) << language;
                EXPECT_LE(window.frameGeometry().width(), maxWidth) << language;
                EXPECT_LE(window.frameGeometry().height(), 768 - 48) << language;
                saveShot(&window, QString("%1-%2-%3").arg(family.window, what, language));
            }
            rig->link().ComBuf[cb::LangCode] = lang::English;
            i18n::switchLanguage(lang::English, {{family.window, &window}});
            QApplication::processEvents();
        };
        everyLanguage("trend", 1366);
        saveShot(trace->trend()->parentWidget(), QString("%1-trend").arg(family.window));

        // A calibration point's counts on its page.
        if (!family.calibrationStart)
            continue;
        window.serviceModeChanged(true);
        window.adjustSize();
        const int widthBefore = window.frameGeometry().width(); // the trend adds none
        rig->press(family.calibrationStart);
        for (int tick = 0; tick < 40; ++tick) {
            for (int reg = 4099; reg <= 4103; ++reg)
                rig->module().setInput(reg, 12000 + reg - 4099 + 3000 * std::exp(-tick / 8.0));
            rig->ticks(1);
        }
        auto *tabs = window.findChild<QTabWidget *>();
        TrendPlot *counts = nullptr;
        for (int page = 0; tabs && page < tabs->count() && !counts; ++page)
            if ((counts = window.commissioning().countTrend(tabs->widget(page))))
                tabs->setCurrentIndex(page);
        ASSERT_NE(counts, nullptr);
        EXPECT_GE(counts->series().samples().size(), 30u);
        everyLanguage("counts", std::max(widthBefore, 1366));
        rig->press(family.calibrationDone);
        window.serviceModeChanged(false);
        window.hide();
    }
    QDir::setCurrent(before);
}
