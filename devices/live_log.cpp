#include "live_log.h"

#include <QFile>

LiveLog::LiveLog() = default;
LiveLog::~LiveLog() = default;

bool LiveLog::start(const std::string &path, const std::vector<LiveValue> &values)
{
    stop();
    m_path = path;
    m_error.clear();
    m_rows = 0;
    auto file = std::make_unique<QFile>(QString::fromStdString(path));
    // Unbuffered: each row reaches the system when it is written.
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        m_error = path + " cannot be written: " + file->errorString().toStdString();
        return false;
    }
    m_file = std::move(file);
    return write(liveCsvHeader(values));
}

bool LiveLog::append(const std::string &timeStamp, const std::vector<std::string> &texts)
{
    if (!m_file)
        return false;
    if (!write(liveCsvRow(timeStamp, texts)))
        return false;
    ++m_rows;
    return true;
}

void LiveLog::stop()
{
    if (m_file)
        m_file->close();
    m_file.reset();
}

bool LiveLog::write(const std::string &line)
{
    const auto size = static_cast<qint64>(line.size());
    if (m_file->write(line.data(), size) == size)
        return true;
    m_error = m_path + " cannot be written: " + m_file->errorString().toStdString();
    stop();
    return false;
}

std::string liveTimeStamp(const QDateTime &time)
{
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODateWithMs).toStdString();
}
