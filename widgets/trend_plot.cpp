#include "trend_plot.h"

#include <QDateTime>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>

namespace {
// Colours of the lines in their order: the status label's blue, a red and a
// green that print well, then two more.
const QColor LineColors[] = {QColor(0, 0, 255), QColor(200, 0, 0), QColor(0, 128, 0),
                             QColor(160, 0, 160), QColor(0, 128, 128)};

QColor lineColor(int line)
{
    return LineColors[line % static_cast<int>(std::size(LineColors))];
}

QString legendText(const TrendLine &line)
{
    const QString name = QString::fromStdString(line.name);
    return line.unit.empty() ? name : name + " [" + QString::fromStdString(line.unit) + "]";
}

// Labels of an axis from its low to its high end.
QStringList axisLabels(const TrendAxis &axis)
{
    QStringList labels;
    const int steps = static_cast<int>((axis.high - axis.low) / axis.step + 0.5);
    for (int i = 0; i <= steps; ++i)
        labels << QString::number(axis.low + i * axis.step, 'f', axis.decimals);
    return labels;
}

constexpr std::int64_t TickMs = 2 * 60 * 1000; // a time label every two minutes
} // namespace

TrendPlot::TrendPlot(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A little smaller than the page's texts: a plot's labels, not captions.
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    setFont(small);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void TrendPlot::setLines(std::vector<TrendLine> lines)
{
    m_series.setLines(std::move(lines));
    update();
}

void TrendPlot::clear()
{
    m_series.clear();
    update();
}

void TrendPlot::addValues(const std::vector<std::string> &texts, std::int64_t timeMs)
{
    std::vector<double> values;
    values.reserve(texts.size());
    for (const std::string &text : texts)
        values.push_back(trendValue(text));
    m_series.append(timeMs < 0 ? QDateTime::currentMSecsSinceEpoch() : timeMs, std::move(values));
    if (isVisible())
        update();
}

void TrendPlot::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    const std::vector<std::vector<int>> groups = m_series.unitGroups();
    if (groups.empty())
        return;
    const QFontMetrics metrics = fontMetrics();
    const int lineHeight = metrics.height();

    std::vector<TrendAxis> axes;
    std::vector<QStringList> labels;
    int labelWidth = 0;
    for (const std::vector<int> &group : groups) {
        axes.push_back(m_series.axis(group));
        labels.push_back(axisLabels(axes.back()));
        for (const QString &label : labels.back())
            labelWidth = std::max(labelWidth, metrics.horizontalAdvance(label));
    }
    const int left = labelWidth + 6;
    const int right = width() - 6;
    const int bottom = height() - lineHeight - 2; // the time labels below
    // One legend line over the strips, cut short with "..." where it does not fit.
    int x = left;
    for (int line = 0; line < static_cast<int>(m_series.lines().size()); ++line) {
        const int room = right - x - 16;
        if (room < metrics.horizontalAdvance("..."))
            break;
        const QString text = metrics.elidedText(
            legendText(m_series.lines()[static_cast<std::size_t>(line)]), Qt::ElideRight, room);
        painter.setPen(QPen(lineColor(line), 2));
        painter.drawLine(x, lineHeight / 2 + 1, x + 12, lineHeight / 2 + 1);
        painter.setPen(palette().text().color());
        painter.drawText(QRect(x + 16, 0, room, lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         text);
        x += 16 + metrics.horizontalAdvance(text) + 12;
    }
    const int top = lineHeight + 2;
    const int stripHeight = std::max((bottom - top) / static_cast<int>(groups.size()), 1);
    const std::vector<std::int64_t> ticks = m_series.timeTicks(TickMs);
    const std::int64_t start = m_series.newestMs() - TrendSeries::SpanMs;
    const auto xOf = [&](double fraction) { return left + fraction * (right - left); };

    for (std::size_t g = 0; g < groups.size(); ++g) {
        const QRectF plot(left, top + static_cast<int>(g) * stripHeight + 3, right - left,
                          std::max(stripHeight - 6, 4));
        const TrendAxis &axis = axes[g];
        const auto yOf = [&](double value) {
            return plot.bottom() - (value - axis.low) / (axis.high - axis.low) * plot.height();
        };

        painter.setPen(QColor(225, 225, 225));
        for (const std::int64_t tick : ticks) {
            const double tx = xOf(static_cast<double>(tick - start) / TrendSeries::SpanMs);
            painter.drawLine(QPointF(tx, plot.top()), QPointF(tx, plot.bottom()));
        }
        const QStringList &axisText = labels[g];
        for (int i = 0; i < axisText.size(); ++i) {
            const double y = yOf(axis.low + i * axis.step);
            painter.setPen(QColor(225, 225, 225));
            painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
            // All labels where they fit apart, else the two ends inside the strip.
            const bool all = axisText.size() * (lineHeight + 4) <= plot.height();
            const bool last = i == axisText.size() - 1;
            if (all || i == 0 || last) {
                // The ends stay inside their strip, clear of the next one.
                QRectF box(0, y - lineHeight / 2.0, left - 4, lineHeight);
                if (last)
                    box.moveTop(plot.top());
                else if (i == 0)
                    box.moveTop(plot.bottom() - lineHeight);
                painter.setPen(palette().text().color());
                painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter, axisText[i]);
            }
        }
        painter.setPen(palette().mid().color());
        painter.drawRect(plot);

        painter.save();
        painter.setClipRect(plot.adjusted(-1, -1, 1, 1));
        painter.setRenderHint(QPainter::Antialiasing);
        for (const int line : groups[g]) {
            painter.setPen(QPen(lineColor(line), 1.5));
            for (const std::vector<TrendPoint> &run :
                 m_series.runs(line, static_cast<int>(plot.width()))) {
                QPolygonF polyline;
                polyline.reserve(static_cast<qsizetype>(run.size()));
                for (const TrendPoint &point : run)
                    polyline << QPointF(xOf(point.x), yOf(point.value));
                if (polyline.size() == 1)
                    painter.drawEllipse(polyline.front(), 1.5, 1.5);
                else
                    painter.drawPolyline(polyline);
            }
        }
        painter.restore();
    }

    painter.setPen(palette().text().color());
    for (const std::int64_t tick : ticks) {
        const QString text = QDateTime::fromMSecsSinceEpoch(tick).toString("hh:mm");
        const int w = metrics.horizontalAdvance(text);
        const double tx = xOf(static_cast<double>(tick - start) / TrendSeries::SpanMs);
        const double lx = std::clamp(tx - w / 2.0, 0.0, static_cast<double>(width() - w));
        painter.drawText(QRectF(lx, bottom + 2, w, lineHeight), Qt::AlignCenter, text);
    }
}
