#pragma once

#include "trend_series.h"

#include <QWidget>

#include <cstdint>
#include <string>
#include <vector>

// A live trend: the values of the last ten minutes as lines, one per value,
// named with their units; values of one unit share a strip and its axis.
// Drawn with QPainter only when a sample arrives while it is shown, so a
// hidden trend costs nothing but keeping its samples.
class TrendPlot : public QWidget
{
    Q_OBJECT

public:
    explicit TrendPlot(QWidget *parent = nullptr);

    // New lines, and the samples cleared.
    void setLines(std::vector<TrendLine> lines);
    void clear();
    // One poll's values as the fields show them; "OPEN" or an empty field
    // leaves a gap. timeMs: milliseconds since the epoch, -1 for now.
    void addValues(const std::vector<std::string> &texts, std::int64_t timeMs = -1);
    const TrendSeries &series() const { return m_series; }

    QSize sizeHint() const override { return {320, 140}; }
    QSize minimumSizeHint() const override { return {200, 90}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TrendSeries m_series;
};
