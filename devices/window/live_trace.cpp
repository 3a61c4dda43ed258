#include "live_trace.h"

#include "live_poll.h"
#include "trend_plot.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>

LiveTrace::LiveTrace(LivePoll &poll, QGroupBox &group, QList<QLineEdit *> fields,
                     std::function<std::vector<LiveValue>()> values)
    : QObject(&poll)
    , m_fields(std::move(fields))
    , m_values(std::move(values))
    , m_trend(new TrendPlot(&group))
{
    m_trend->setObjectName("LiveTrend");
    // As wide as the group is; it never widens the page.
    m_trend->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_trend->hide();
    // Below the fields and buttons, across the group; a group laid out in
    // one row keeps that row above the trend.
    if (auto *grid = qobject_cast<QGridLayout *>(group.layout())) {
        grid->addWidget(m_trend, grid->rowCount(), 0, 1, std::max(grid->columnCount(), 1));
    } else if (auto *box = qobject_cast<QBoxLayout *>(group.layout())) {
        if (box->direction() == QBoxLayout::LeftToRight) {
            auto *row = new QHBoxLayout;
            row->setSpacing(box->spacing());
            while (box->count() > 0)
                row->addItem(box->takeAt(0));
            box->setDirection(QBoxLayout::TopToBottom);
            box->addLayout(row);
        }
        box->addWidget(m_trend);
    }
    connect(&poll, &LivePoll::started, this, &LiveTrace::started);
    connect(&poll, &LivePoll::polled, this, &LiveTrace::polled);
    connect(&poll, &LivePoll::ended, this, [this] { m_log.stop(); });
}

void LiveTrace::clear()
{
    m_log.stop();
    m_trend->clear();
    m_trend->hide();
}

bool LiveTrace::startLog(const std::string &path)
{
    return m_log.start(path, m_values());
}

void LiveTrace::started()
{
    // New names or units (another type read) start the lines anew.
    std::vector<TrendLine> lines;
    for (const LiveValue &value : m_values())
        lines.push_back({value.name, value.unit});
    const std::vector<TrendLine> &shown = m_trend->series().lines();
    const bool same =
        lines.size() == shown.size() && std::equal(lines.begin(), lines.end(), shown.begin(),
                                                   [](const TrendLine &a, const TrendLine &b) {
                                                       return a.name == b.name && a.unit == b.unit;
                                                   });
    if (!same)
        m_trend->setLines(lines);
    // The legend and time lines, and a strip per unit.
    m_trend->setFixedHeight(50 + 26 * static_cast<int>(m_trend->series().unitGroups().size()));
    m_trend->show();
}

void LiveTrace::polled(bool sound)
{
    std::vector<std::string> texts;
    for (const QLineEdit *field : std::as_const(m_fields))
        texts.push_back(sound ? field->text().toStdString() : std::string());
    m_trend->addValues(texts, m_clock ? m_clock() : -1);
    if (m_log.isRunning() && !m_log.append(liveTimeStamp(), texts))
        emit logFailed();
}
