#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

// What a live trend holds and how it is scaled, without a widget: the values
// of the last ten minutes, one line per value, each with its unit. Lines of
// the same unit share one strip and its value axis; every strip shares the
// time axis, whose right end is the newest sample.

// One value of the trend, named as the "Measuring Value" group names it.
struct TrendLine
{
    std::string name; // "PV1"
    std::string unit; // "deg C"; empty when the value has none
};

// A value axis: from low to high in steps of step, labelled with decimals.
struct TrendAxis
{
    double low = 0;
    double high = 1;
    double step = 1;
    int decimals = 0;
};

// An axis with round steps (1, 2 or 5 times a power of ten) covering low..high
// in at most maxSteps steps; a single value gets a band around it.
TrendAxis trendAxis(double low, double high, int maxSteps = 4);

// The value of a text as a field shows it; NaN (a gap in the line) for "OPEN",
// an empty field or anything that is not a number.
double trendValue(const std::string &text);

// A point of a drawn line: x from 0 (the left end, ten minutes before the
// newest sample) to 1 (the newest sample), and its value.
struct TrendPoint
{
    double x;
    double value;
};

class TrendSeries
{
public:
    // The time the trend spans.
    static constexpr std::int64_t SpanMs = 10 * 60 * 1000;
    // Two samples further apart than this are not joined (the values were
    // stopped in between).
    static constexpr std::int64_t GapMs = 5000;

    struct Sample
    {
        std::int64_t timeMs;
        std::vector<double> values; // one per line; NaN: no value
    };

    // New lines; the samples are cleared.
    void setLines(std::vector<TrendLine> lines);
    const std::vector<TrendLine> &lines() const { return m_lines; }
    void clear() { m_samples.clear(); }

    // A sample at timeMs (not before the newest); samples that fall out of the
    // span are dropped. Missing values are gaps.
    void append(std::int64_t timeMs, std::vector<double> values);
    const std::deque<Sample> &samples() const { return m_samples; }
    bool empty() const { return m_samples.empty(); }
    std::int64_t newestMs() const { return m_samples.empty() ? 0 : m_samples.back().timeMs; }

    // The lines grouped by unit, in the order the units first appear: one
    // strip of the plot each.
    std::vector<std::vector<int>> unitGroups() const;
    // The value axis of a group of lines over the samples in the span.
    TrendAxis axis(const std::vector<int> &lines) const;
    // The runs of one line (split at gaps), reduced for a plot `columns`
    // wide to the first, lowest, highest and last point of each column, so
    // drawing costs the same however many samples the span holds.
    std::vector<std::vector<TrendPoint>> runs(int line, int columns) const;
    // The time ticks in the span, every stepMs on the clock.
    std::vector<std::int64_t> timeTicks(std::int64_t stepMs) const;

private:
    std::vector<TrendLine> m_lines;
    std::deque<Sample> m_samples;
};
