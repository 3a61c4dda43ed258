#pragma once

#include "traffic_record.h"

#include <QAbstractTableModel>
#include <QFont>

#include <cstdint>
#include <functional>
#include <vector>

// The lines the traffic window shows: a copy of the link's record taken
// between exchanges, so that the view can be paused while the record goes on.
// Holds at most as many lines as the record and formats a line only when the
// view asks for it.
class TrafficModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Time, Direction, Baud, Bytes, Verdict, Decoded, ColumnCount };

    explicit TrafficModel(const TrafficRecord &record, QObject *parent = nullptr);

    // Takes the entries the record gained since the last update (those it
    // still holds), dropping the oldest lines beyond the bound. Lines added.
    int update();
    // Empties the view; entries recorded before now are not taken again.
    void clear();

    std::size_t capacity() const { return m_capacity; }
    const TrafficEntry &entry(int row) const;
    // The text of one cell, as the view shows it.
    QString cellText(int row, int column) const;

    // Lines as text: one line per row, columns aligned, under a heading line.
    QString toText(const std::vector<int> &rows) const;
    // Lines as CSV (RFC 4180): a heading row, then one record per row.
    QString toCsv(const std::vector<int> &rows) const;
    // Every row, 0..rowCount()-1.
    std::vector<int> allRows() const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    // A heading line, then one line per row, each made of its cells by line.
    QString lines(const std::vector<int> &rows,
                  const std::function<QString(const QStringList &)> &line) const;

    // One line: the entry and its verdict, decided once when it is taken.
    struct Line
    {
        TrafficEntry entry;
        TrafficVerdict verdict;
    };

    const TrafficRecord &m_record;
    std::size_t m_capacity;
    std::vector<Line> m_lines; // a ring: grows up to m_capacity, then wraps
    std::size_t m_head = 0;    // slot of row 0
    std::size_t m_count = 0;
    std::uint64_t m_nextSerial = 0; // first serial not taken yet
    QFont m_fixedFont;
};
