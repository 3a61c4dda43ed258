#pragma once

#include "live_display.h"

#include <QDateTime>

#include <memory>
#include <string>
#include <vector>

class QFile;

// The live log: the polled values written to a CSV file as they arrive, in
// the columns of `quorelctl live --csv` (liveCsvHeader, liveCsvRow). Each row
// goes to the file as it is written (no buffer of our own), so a program that
// ends leaves every row before it in the file. A file that cannot be written
// stops the log with its reason in error(); nothing throws.
class LiveLog
{
public:
    LiveLog();
    ~LiveLog();

    // Starts a new file (an existing one is replaced) with the header line of
    // `values`. False when the file cannot be created or written.
    bool start(const std::string &path, const std::vector<LiveValue> &values);
    // One poll: its time stamp (liveTimeStamp) and each value's text as the
    // window shows it (empty texts for a poll that got no sound reply). False,
    // and the log stopped, when the row cannot be written; false too when no
    // log runs.
    bool append(const std::string &timeStamp, const std::vector<std::string> &texts);
    void stop();

    bool isRunning() const { return m_file != nullptr; }
    const std::string &path() const { return m_path; }
    int rows() const { return m_rows; }
    // Why the last start or row failed: "<path> cannot be written: <reason>".
    const std::string &error() const { return m_error; }

private:
    bool write(const std::string &line);

    std::unique_ptr<QFile> m_file;
    std::string m_path;
    std::string m_error;
    int m_rows = 0;
};

// A poll's time stamp in the log: ISO 8601 local time with milliseconds and
// the offset from UTC ("Z" for UTC).
std::string liveTimeStamp(const QDateTime &time = QDateTime::currentDateTime());
