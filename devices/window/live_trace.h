#pragma once

#include "live_display.h"
#include "live_log.h"

#include <QList>
#include <QObject>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class LivePoll;
class QGroupBox;
class QLineEdit;
class TrendPlot;

// What follows a window's live values besides its fields: the trend under
// the "Measuring Value" group and the live log. Both take each poll as the
// group's fields show it (empty for a poll without a sound reply). The trend
// appears with the first "Read" after an activation, which clears it; the
// log (File > Save Live Log...) runs until the live values end or the window
// closes.
class LiveTrace : public QObject
{
    Q_OBJECT

public:
    // values: the names and units of the live values as the page shows them now.
    LiveTrace(LivePoll &poll, QGroupBox &group, QList<QLineEdit *> fields,
              std::function<std::vector<LiveValue>()> values);

    // Activation: the trend cleared and put away, a log ended.
    void clear();
    // Starts the live log into path: now when the values are polled, else
    // with the next "Read". False (error() says why) when it cannot be written.
    bool startLog(const std::string &path);
    void stopLog() { m_log.stop(); }
    const LiveLog &log() const { return m_log; }
    TrendPlot *trend() const { return m_trend; }
    // The clock the trend's samples are timed by, in milliseconds since the
    // epoch (the system's; a test may give a simulated line's).
    void setClock(std::function<std::int64_t()> clock) { m_clock = std::move(clock); }

signals:
    // The log stopped because a row could not be written (log().error()).
    void logFailed();

private:
    void started();
    void polled(bool sound);

    QList<QLineEdit *> m_fields;
    std::function<std::vector<LiveValue>()> m_values;
    TrendPlot *m_trend;
    LiveLog m_log;
    std::function<std::int64_t()> m_clock;
};
