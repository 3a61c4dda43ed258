#pragma once

#include "activity_tables.h"
#include "commissioning_record.h"
#include "live_display.h"
#include "live_trace.h"
#include "status_messages.h"
#include "trend_series.h"

#include <QHash>
#include <QObject>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

class CalibrationRunner;
class ConfigurationPage;
class QMainWindow;
class SharedSettings;
class TrimBinding;
class WindowCommands;
class TrendPlot;
class QWidget;

// What a family window keeps for the technician beyond its page: the live
// trend and live log of its "Measuring Value" (File > Save Live Log...), and
// the commissioning record (File > Save Report...): the page's configuration,
// the verdicts of the last read and write and the calibration points done
// since the window's activation. It finds the window's parts (its live
// values, its calibration runners) by themselves, so no window has code of
// its own for it.
class Commissioning : public QObject
{
    Q_OBJECT

public:
    // Adds its entries below "Save Configuration..." in the window's File menu.
    Commissioning(QMainWindow &window, WindowCommands &commands, const ConfigurationPage &page,
                  const SharedSettings &settings);
    // The output trim whose points the record lists.
    void setTrim(TrimBinding *trim) { m_trim = trim; }

    // The window's activation: what was kept of the last module is cleared.
    void activated();
    // Closing: a live log ends.
    void closing();
    // A status the window showed while an activity ran: the verdicts of
    // "Read From Device" and "Write To Device" are kept from it.
    void statusShown(Activity work, i18n::Status status);

    // The record of the module as the window shows it now.
    CommissioningRecord record() const;
    // Writes the record (HTML, or PDF for a name ending in .pdf); false with a
    // message when it cannot be written or the page shows no module yet.
    bool saveReport(const QString &path);
    // Starts the live log; false with a message when the file cannot be written.
    bool saveLiveLog(const QString &path);
    LiveTrace *liveTrace() const { return m_trace; }
    // The trend of the counts of the calibration point polled on each
    // calibration page (nullptr before a page's first point).
    TrendPlot *countTrend(QWidget *page) const { return m_countTrends.value(page); }
    // A part of a window that Commissioning does not find by itself (the
    // zero/span calibration of the resistance windows) reports here: a point
    // stored, and the counts of the point under way, shown on `anchor`'s page
    // in a trend of the point `key`.
    void addStep(CalibrationStep step) { m_calibration.push_back(std::move(step)); }
    void showCounts(QWidget *anchor, const QObject *key, const std::vector<TrendLine> &lines,
                    const std::vector<std::string> &texts);

    // The clock the trends time their samples by, in milliseconds since the
    // epoch (the system's; a test may give a simulated line's).
    void setClock(std::function<std::int64_t()> clock);

    // File > Save Live Log... and File > Save Report...: a file name, then the above.
    void SaveLiveLogClick();
    void SaveReportClick();

private:
    void findParts();
    void countsShown(CalibrationRunner *runner, int point);
    std::map<int, int> pageValues() const;
    std::vector<LiveValue> liveValues() const;

    QMainWindow &m_window;
    WindowCommands &m_commands;
    const ConfigurationPage &m_page;
    const SharedSettings &m_settings;
    TrimBinding *m_trim = nullptr;
    QPointer<LiveTrace> m_trace;
    QHash<QWidget *, TrendPlot *> m_countTrends;      // by calibration page
    QHash<TrendPlot *, const QObject *> m_trendPoint; // the point whose counts it shows
    bool m_partsFound = false;
    std::function<std::int64_t()> m_clock;
    std::optional<i18n::Status> m_lastRead;
    std::optional<i18n::Status> m_lastWrite;
    std::vector<CalibrationStep> m_calibration;
};
