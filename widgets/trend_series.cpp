#include "trend_series.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {
constexpr double Missing = std::numeric_limits<double>::quiet_NaN();
} // namespace

TrendAxis trendAxis(double low, double high, int maxSteps)
{
    if (!std::isfinite(low) || !std::isfinite(high)) {
        low = 0;
        high = 1;
    }
    if (low > high)
        std::swap(low, high);
    if (high - low < 1e-9) {
        // A steady value: a band of about a tenth of it (at least 1) around it.
        const double band = std::max(std::abs(low) * 0.1, 1.0);
        low -= band / 2;
        high += band / 2;
    }
    const double raw = (high - low) / std::max(maxSteps, 1);
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    double step = magnitude * 10;
    for (const double factor : {1.0, 2.0, 5.0})
        if (magnitude * factor >= raw * (1 - 1e-9)) {
            step = magnitude * factor;
            break;
        }
    TrendAxis axis;
    axis.step = step;
    axis.low = std::floor(low / step + 1e-9) * step;
    axis.high = std::ceil(high / step - 1e-9) * step;
    axis.decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
    return axis;
}

double trendValue(const std::string &text)
{
    if (text.empty())
        return Missing;
    char *end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    while (end && *end == ' ')
        ++end;
    return end && *end == '\0' && std::isfinite(value) ? value : Missing;
}

void TrendSeries::setLines(std::vector<TrendLine> lines)
{
    m_lines = std::move(lines);
    m_samples.clear();
}

void TrendSeries::append(std::int64_t timeMs, std::vector<double> values)
{
    timeMs = std::max(timeMs, newestMs());
    values.resize(m_lines.size(), Missing);
    m_samples.push_back({timeMs, std::move(values)});
    while (!m_samples.empty() && m_samples.front().timeMs < timeMs - SpanMs)
        m_samples.pop_front();
}

std::vector<std::vector<int>> TrendSeries::unitGroups() const
{
    std::vector<std::vector<int>> groups;
    std::vector<std::string> units;
    for (int i = 0; i < static_cast<int>(m_lines.size()); ++i) {
        const auto unit = std::find(units.begin(), units.end(), m_lines[i].unit);
        if (unit == units.end()) {
            units.push_back(m_lines[i].unit);
            groups.push_back({i});
        } else {
            groups[static_cast<std::size_t>(unit - units.begin())].push_back(i);
        }
    }
    return groups;
}

TrendAxis TrendSeries::axis(const std::vector<int> &lines) const
{
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (const Sample &sample : m_samples)
        for (const int line : lines) {
            const double value = sample.values[static_cast<std::size_t>(line)];
            if (std::isfinite(value)) {
                low = std::min(low, value);
                high = std::max(high, value);
            }
        }
    return trendAxis(low, high);
}

std::vector<std::vector<TrendPoint>> TrendSeries::runs(int line, int columns) const
{
    std::vector<std::vector<TrendPoint>> runs;
    if (m_samples.empty() || line < 0 || line >= static_cast<int>(m_lines.size()))
        return runs;
    columns = std::max(columns, 1);
    const std::int64_t start = newestMs() - SpanMs;
    const auto xOf = [start](std::int64_t t) { return static_cast<double>(t - start) / SpanMs; };

    // The points of the current column: first, lowest, highest, last.
    struct Column
    {
        int index = -1;
        std::vector<std::pair<std::int64_t, double>> points;
    } column;
    bool open = false; // the last run goes on
    std::int64_t previous = 0;
    const auto flush = [&] {
        if (column.points.empty())
            return;
        auto &run = runs.back();
        auto &points = column.points;
        if (points.size() > 4) {
            const auto [low, high] = std::minmax_element(
                points.begin() + 1, points.end() - 1,
                [](const auto &a, const auto &b) { return a.second < b.second; });
            std::vector<std::pair<std::int64_t, double>> kept{points.front()};
            if (low < high) {
                kept.push_back(*low);
                kept.push_back(*high);
            } else {
                kept.push_back(*high);
                kept.push_back(*low);
            }
            kept.push_back(points.back());
            points = std::move(kept);
        }
        for (const auto &[t, value] : points)
            run.push_back({xOf(t), value});
        points.clear();
    };
    for (const Sample &sample : m_samples) {
        const double value = sample.values[static_cast<std::size_t>(line)];
        const bool joined = open && sample.timeMs - previous <= GapMs;
        previous = sample.timeMs;
        if (!std::isfinite(value)) {
            flush();
            open = false;
            continue;
        }
        if (!joined) {
            flush();
            runs.emplace_back();
            column.index = -1;
        }
        const int index = std::min(columns - 1, static_cast<int>(xOf(sample.timeMs) * columns));
        if (index != column.index) {
            flush();
            column.index = index;
        }
        column.points.emplace_back(sample.timeMs, value);
        open = true;
    }
    flush();
    return runs;
}

std::vector<std::int64_t> TrendSeries::timeTicks(std::int64_t stepMs) const
{
    std::vector<std::int64_t> ticks;
    if (m_samples.empty() || stepMs <= 0)
        return ticks;
    const std::int64_t start = newestMs() - SpanMs;
    // The first multiple of stepMs at or after start (start may be negative).
    std::int64_t first = start / stepMs * stepMs;
    if (first < start)
        first += stepMs;
    for (std::int64_t t = first; t <= newestMs(); t += stepMs)
        ticks.push_back(t);
    return ticks;
}
