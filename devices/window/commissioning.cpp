#include "commissioning.h"

#include "activity_owner.h"
#include "calibration_runner.h"
#include "configuration_page.h"
#include "link.h"
#include "live_poll.h"
#include "live_trace.h"
#include "port_tables.h"
#include "shared_settings.h"
#include "trend_plot.h"
#include "trim_binding.h"
#include "window_commands.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStackedWidget>

using i18n::Status;

namespace {

QString familyName(ModuleFamily family)
{
    const std::string_view name = familyRegisters(family).name;
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

// The text of a control, as a record names things.
QString captionOf(const QString &text)
{
    return QString::fromStdString(plainCaption(text.toStdString()));
}

// Where a control sits in its group's grid: the group and its row and column.
struct GridPlace
{
    QGroupBox *group = nullptr;
    QGridLayout *grid = nullptr;
    int row = -1;
    int column = -1;
};

GridPlace placeOf(QWidget *widget)
{
    GridPlace place;
    place.group = widget ? qobject_cast<QGroupBox *>(widget->parentWidget()) : nullptr;
    place.grid = place.group ? qobject_cast<QGridLayout *>(place.group->layout()) : nullptr;
    if (!place.grid)
        return place;
    int span = 0;
    const int index = place.grid->indexOf(widget);
    if (index >= 0)
        place.grid->getItemPosition(index, &place.row, &place.column, &span, &span);
    return place;
}

// The label of a grid cell, or nullptr.
QLabel *labelAt(const GridPlace &place, int row, int column)
{
    QLayoutItem *item = place.grid ? place.grid->itemAtPosition(row, column) : nullptr;
    return item ? qobject_cast<QLabel *>(item->widget()) : nullptr;
}

// A calibration point as its page names it: the group, the channel heading
// over its column (where a group has both channels) and the label of its row.
std::string pointName(QWidget *done)
{
    const GridPlace place = placeOf(done);
    if (!place.group)
        return done ? done->objectName().toStdString() : std::string();
    QStringList parts{captionOf(place.group->title())};
    for (int column = place.column; column >= 0; --column)
        if (QLabel *heading = labelAt(place, 0, column);
            heading && heading->text().startsWith("CH")) {
            parts << heading->text();
            break;
        }
    if (QLabel *label = labelAt(place, place.row, 0))
        parts << captionOf(label->text());
    parts.removeAll(QString());
    return parts.join(" / ").toStdString();
}

// The counts of a point with their names: "A0 123, A1 456".
std::string countsText(const CalibrationRunner &runner, int point)
{
    QStringList counts;
    const std::vector<QLineEdit *> &fields = runner.countFields(point);
    for (std::size_t i = 0; i < fields.size(); ++i)
        counts << QString::fromStdString(runner.countName(point, i)) + " " + fields[i]->text();
    return counts.join(", ").toStdString();
}

// Where a trend goes on a page laid out in a grid: the free cells at the end
// of its last rows (two rows where both are free), else a new row.
void placeOnPage(QGridLayout &grid, QWidget *trend)
{
    const int columns = std::max(grid.columnCount(), 1);
    const auto freeFrom = [&](int row) {
        int column = columns;
        while (column > 0 && !grid.itemAtPosition(row, column - 1))
            --column;
        return column;
    };
    for (int row = grid.rowCount() - 1; row >= 0; --row) {
        const int column = freeFrom(row);
        if (column >= columns || column == 0)
            continue;
        if (row > 0 && freeFrom(row - 1) <= column) {
            grid.addWidget(trend, row - 1, column, 2, columns - column);
            return;
        }
        grid.addWidget(trend, row, column, 1, columns - column);
        return;
    }
    grid.addWidget(trend, grid.rowCount(), 0, 1, columns);
}
} // namespace

Commissioning::Commissioning(QMainWindow &window, WindowCommands &commands,
                             const ConfigurationPage &page, const SharedSettings &settings)
    : QObject(&window)
    , m_window(window)
    , m_commands(commands)
    , m_page(page)
    , m_settings(settings)
{
    // Below "Save Configuration..." in the File menu.
    auto *file = window.menuBar()->findChild<QMenu *>("File1");
    auto *save = window.findChild<QAction *>("SaveConfiguration");
    if (!file || !save)
        return;
    const QList<QAction *> actions = file->actions();
    QAction *before = actions.value(actions.indexOf(save) + 1);
    commands.addMenuEntry(file, before, "SaveLiveLog", "Save Live Log...",
                          [this] { SaveLiveLogClick(); });
    commands.addMenuEntry(file, before, "SaveReport", "Save Report...",
                          [this] { SaveReportClick(); });
}

void Commissioning::findParts()
{
    if (m_partsFound)
        return;
    m_partsFound = true;
    // The "Measuring Value" group of the configuration page and its fields.
    auto *poll = m_window.findChild<LivePoll *>();
    auto *group = m_window.findChild<QGroupBox *>("Item7");
    if (!group)
        group = m_window.findChild<QGroupBox *>("Item_15");
    if (poll && group) {
        QList<QLineEdit *> fields;
        for (const char *name : {"PV1_Edit", "PV2_Edit", "PVS_Edit"})
            if (auto *field = group->findChild<QLineEdit *>(name))
                fields << field;
        m_trace = new LiveTrace(*poll, *group, fields, [this] { return liveValues(); });
        connect(m_trace, &LiveTrace::logFailed, this, [this] {
            m_commands.tell(i18n::Advice::LogNotWritten,
                            QString::fromStdString(m_trace->log().error()));
        });
    }
    // Output trims: one line per point trimmed in turn, with the last count sent.
    if (TrimBinding *trim = m_trim) {
        connect(trim, &TrimBinding::countSent, this, [this, trim](int index, int count) {
            const TrimPoint &point = trim->points()[static_cast<std::size_t>(index)];
            if (!point.selector)
                return;
            const GridPlace place = placeOf(point.selector);
            QStringList parts;
            if (place.group)
                parts << captionOf(place.group->title());
            parts << captionOf(point.selector->text());
            parts.removeAll(QString());
            const std::string name = parts.join(" / ").toStdString();
            if (m_calibration.empty() || m_calibration.back().point != name ||
                m_calibration.back().code != point.code)
                m_calibration.push_back(
                    {name, {}, {}, point.code, CalibrationStep::Verdict::NotChecked});
            m_calibration.back().counts = std::to_string(count);
        });
    }
    for (CalibrationRunner *runner : m_window.findChildren<CalibrationRunner *>()) {
        connect(runner, &CalibrationRunner::countsShown, this,
                [this, runner](int point) { countsShown(runner, point); });
        connect(runner, &CalibrationRunner::stored, this, [this, runner](int point, bool ok) {
            const QLineEdit *reference = runner->referenceField(point);
            m_calibration.push_back(
                {pointName(runner->doneButton(point)),
                 reference ? reference->text().toStdString() : std::string(),
                 countsText(*runner, point), runner->storeCode(point),
                 ok ? CalibrationStep::Verdict::Accepted : CalibrationStep::Verdict::Refused});
        });
    }
}

void Commissioning::countsShown(CalibrationRunner *runner, int point)
{
    const std::vector<QLineEdit *> &fields = runner->countFields(point);
    std::vector<TrendLine> lines;
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        lines.push_back({runner->countName(point, i), ""});
        texts.push_back(fields[i]->text().toStdString());
    }
    showCounts(runner->doneButton(point), runner->doneButton(point), lines, texts);
}

void Commissioning::showCounts(QWidget *anchor, const QObject *key,
                               const std::vector<TrendLine> &lines,
                               const std::vector<std::string> &texts)
{
    // The page of the window's tabs the point is on.
    QWidget *page = anchor;
    while (page && page->parentWidget() && !qobject_cast<QStackedWidget *>(page->parentWidget()))
        page = page->parentWidget();
    auto *grid = page ? qobject_cast<QGridLayout *>(page->layout()) : nullptr;
    if (!grid)
        return;
    TrendPlot *trend = m_countTrends.value(page);
    if (!trend) {
        trend = new TrendPlot(page);
        trend->setObjectName("CountTrend");
        // As tall as the rows beside it allow; as wide as the room it is given.
        trend->setFixedHeight(66);
        trend->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        placeOnPage(*grid, trend);
        m_countTrends.insert(page, trend);
    }
    // Another point: its counts from the start.
    if (m_trendPoint.value(trend) != key) {
        trend->setLines(lines);
        m_trendPoint.insert(trend, key);
    }
    trend->addValues(texts, m_clock ? m_clock() : -1);
    trend->show();
}

void Commissioning::setClock(std::function<std::int64_t()> clock)
{
    findParts();
    m_clock = clock;
    if (m_trace)
        m_trace->setClock(std::move(clock));
}

void Commissioning::activated()
{
    findParts();
    m_lastRead.reset();
    m_lastWrite.reset();
    m_calibration.clear();
    if (m_trace)
        m_trace->clear();
    for (TrendPlot *trend : std::as_const(m_countTrends)) {
        trend->clear();
        trend->hide();
    }
    m_trendPoint.clear();
}

void Commissioning::closing()
{
    if (m_trace)
        m_trace->stopLog();
}

void Commissioning::statusShown(Activity work, Status status)
{
    const bool read = status == Status::ReadSuccess || status == Status::ReadFail;
    const bool written = status == Status::WriteSuccess || status == Status::WriteFail ||
                         status == Status::WriteMemoryFail;
    if (read && (work == Activity::Read || work == Activity::Activation))
        m_lastRead = status;
    else if (written && work == Activity::Write)
        m_lastWrite = status;
}

std::map<int, int> Commissioning::pageValues() const
{
    std::map<int, int> values;
    for (const auto &[binding, context] : m_page.description().parts) {
        const FieldContext fieldContext = context();
        for (const RegisterField *field : binding->fields()) {
            if (field->kind == FieldKind::Count || !present(*field, m_commands.devVer()))
                continue;
            try {
                values[field->reg] = binding->value(field->reg, fieldContext);
            } catch (const std::exception &) {
                // a field holding no number is left out of the record
            }
        }
    }
    return values;
}

std::vector<LiveValue> Commissioning::liveValues() const
{
    if (!m_page.described())
        return {};
    return LiveDisplay(m_page.family(), pageValues()).values();
}

CommissioningRecord Commissioning::record() const
{
    const Link &link = m_commands.link();
    CommissioningRecord record;
    record.langCode = link.ComBuf[cb::LangCode];
    record.date = recordDate();
    record.program = programVersion();
    record.family = m_page.family();
    record.model = std::max(m_settings.shownModel(), 0);
    record.versionIndex = m_commands.devVer();
    record.serial = m_settings.shownSerial();
    record.address = link.ComBuf[cb::DevAddr];
    const int baud = link.currentBaud();
    record.baud = baud >= 0 && baud < static_cast<int>(BaudRates.size())
                      ? BaudRates[static_cast<std::size_t>(baud)]
                      : 0;
    record.configuration =
        recordFields(record.family, record.versionIndex, pageValues(), record.langCode);
    // The verdicts in the record's language.
    const auto text = [&](const std::optional<Status> &status) {
        return status ? i18n::statusText(*status, record.langCode).toStdString() : std::string();
    };
    record.lastRead = text(m_lastRead);
    record.lastWrite = text(m_lastWrite);
    record.calibration = m_calibration;
    return record;
}

bool Commissioning::saveReport(const QString &path)
{
    if (!m_page.described() || !m_page.shown()) {
        m_commands.tell(i18n::Advice::ReportNotRead);
        return false;
    }
    const std::string error = saveRecord(record(), path.toStdString());
    if (error.empty())
        return true;
    m_commands.tell(i18n::Advice::ReportNotSaved, QString::fromStdString(error));
    return false;
}

bool Commissioning::saveLiveLog(const QString &path)
{
    findParts();
    if (!m_trace)
        return false;
    if (m_trace->startLog(path.toStdString()))
        return true;
    m_commands.tell(i18n::Advice::LogNotWritten, QString::fromStdString(m_trace->log().error()));
    return false;
}

void Commissioning::SaveLiveLogClick()
{
    const QString name =
        QString("%1-%2-live.csv").arg(familyName(m_page.family())).arg(m_settings.shownSerial());
    const QString caption = m_window.findChild<QAction *>("SaveLiveLog")->text().remove("...");
    QString path = QFileDialog::getSaveFileName(
        &m_window, caption, QDir(QDir::homePath()).filePath(name), "CSV (*.csv);;All files (*)");
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += ".csv";
    saveLiveLog(path);
}

void Commissioning::SaveReportClick()
{
    const QString name =
        QString("%1-%2-record.pdf").arg(familyName(m_page.family())).arg(m_settings.shownSerial());
    const QString caption = m_window.findChild<QAction *>("SaveReport")->text().remove("...");
    QString path =
        QFileDialog::getSaveFileName(&m_window, caption, QDir(QDir::homePath()).filePath(name),
                                     "PDF (*.pdf);;HTML (*.html);;All files (*)");
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += ".pdf";
    saveReport(path);
}
