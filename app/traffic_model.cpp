#include "traffic_model.h"

#include <QBrush>
#include <QFontDatabase>

#include <algorithm>

namespace {

const char *const Headings[TrafficModel::ColumnCount] = {"Time (s)",    "Dir",     "Baud",
                                                         "Bytes (hex)", "Verdict", "Decoded"};

// Widest bytes column of the text form: a short reply (13 bytes). Longer
// frames push the decoded text further out.
constexpr int MaxHexWidth = 13 * 3 - 1;

QColor verdictColour(TrafficVerdict verdict)
{
    switch (verdict) {
    case TrafficVerdict::Ok: return {};
    case TrafficVerdict::Stale: return QColor(176, 96, 0);
    default: return QColor(200, 0, 0);
    }
}

// Times line up on their decimal point, the direction stands apart from
// them, the rest reads from the left.
Qt::Alignment columnAlignment(int column)
{
    switch (column) {
    case TrafficModel::Time: return Qt::AlignRight | Qt::AlignVCenter;
    case TrafficModel::Direction: return Qt::AlignCenter;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

TrafficModel::TrafficModel(const TrafficRecord &record, QObject *parent)
    : QAbstractTableModel(parent)
    , m_record(record)
    , m_capacity(record.capacity())
    , m_nextSerial(record.firstSerial())
    , m_fixedFont(QFontDatabase::systemFont(QFontDatabase::FixedFont))
{
    // Hex, digits and times need no shaping: painting them is cheaper without.
    m_fixedFont.setStyleStrategy(QFont::PreferNoShaping);
}

int TrafficModel::update()
{
    const std::uint64_t first = std::max(m_nextSerial, m_record.firstSerial());
    const std::uint64_t end = m_record.endSerial();
    m_nextSerial = end;
    if (first >= end)
        return 0;
    const auto added = static_cast<std::size_t>(std::min<std::uint64_t>(end - first, m_capacity));
    const std::uint64_t from = end - added;

    if (m_count + added > m_capacity) {
        const std::size_t dropped = m_count + added - m_capacity;
        beginRemoveRows({}, 0, static_cast<int>(dropped) - 1);
        m_head = (m_head + dropped) % m_capacity;
        m_count -= dropped;
        endRemoveRows();
    }
    if (m_lines.capacity() < m_capacity)
        m_lines.reserve(m_capacity);
    beginInsertRows({}, static_cast<int>(m_count), static_cast<int>(m_count + added) - 1);
    for (std::uint64_t serial = from; serial < end; ++serial) {
        const TrafficEntry &entry = *m_record.find(serial);
        Line line{entry, describeTraffic(entry).verdict};
        // A reply the program refused reads as a failure, however it decodes.
        if (entry.judged && entry.verdict.failed() && line.verdict == TrafficVerdict::Ok)
            line.verdict = TrafficVerdict::Mismatch;
        const std::size_t slot = (m_head + m_count) % m_capacity;
        if (slot == m_lines.size())
            m_lines.push_back(line);
        else
            m_lines[slot] = line;
        ++m_count;
    }
    endInsertRows();
    return static_cast<int>(added);
}

void TrafficModel::clear()
{
    beginResetModel();
    m_lines.clear();
    m_head = 0;
    m_count = 0;
    m_nextSerial = m_record.endSerial();
    endResetModel();
}

const TrafficEntry &TrafficModel::entry(int row) const
{
    return m_lines[(m_head + static_cast<std::size_t>(row)) % m_capacity].entry;
}

QString TrafficModel::cellText(int row, int column) const
{
    const TrafficEntry &line = entry(row);
    switch (column) {
    case Time: return QString::fromStdString(trafficTime(line.timeMs));
    case Direction: return QString::fromLatin1(trafficDirection(line));
    case Baud: return line.baudRate > 0 ? QString::number(line.baudRate) : QString();
    case Bytes: return QString::fromStdString(trafficHex(line));
    case Verdict: return QString::fromStdString(trafficVerdict(line));
    case Decoded: return QString::fromStdString(describeTraffic(line).text);
    default: return {};
    }
}

std::vector<int> TrafficModel::allRows() const
{
    std::vector<int> rows(m_count);
    for (std::size_t i = 0; i < m_count; ++i)
        rows[i] = static_cast<int>(i);
    return rows;
}

QString TrafficModel::toText(const std::vector<int> &rows) const
{
    int timeWidth = static_cast<int>(qstrlen(Headings[Time]));
    int hexWidth = static_cast<int>(qstrlen(Headings[Bytes]));
    int verdictWidth = static_cast<int>(qstrlen(Headings[Verdict]));
    for (int row : rows) {
        timeWidth = std::max(timeWidth, static_cast<int>(cellText(row, Time).size()));
        hexWidth = std::max(hexWidth, static_cast<int>(entry(row).keptSize()) * 3 - 1);
        verdictWidth = std::max(verdictWidth, static_cast<int>(cellText(row, Verdict).size()));
    }
    hexWidth = std::min(hexWidth, MaxHexWidth);
    const auto line = [timeWidth, hexWidth, verdictWidth](const QStringList &cells) {
        return cells[Time].rightJustified(timeWidth) + QLatin1String("  ") +
               cells[Direction].leftJustified(3) + QLatin1String("  ") +
               cells[Baud].rightJustified(5) + QLatin1String("  ") +
               cells[Bytes].leftJustified(hexWidth) + QLatin1String("  ") +
               cells[Verdict].leftJustified(verdictWidth) + QLatin1String("  ") + cells[Decoded] +
               QLatin1Char('\n');
    };
    return lines(rows, line);
}

QString TrafficModel::lines(const std::vector<int> &rows,
                            const std::function<QString(const QStringList &)> &line) const
{
    QStringList headings;
    for (const char *heading : Headings)
        headings << QString::fromLatin1(heading);
    QString text = line(headings);
    for (int row : rows) {
        QStringList cells;
        for (int column = 0; column < ColumnCount; ++column)
            cells << cellText(row, column);
        text += line(cells);
    }
    return text;
}

QString TrafficModel::toCsv(const std::vector<int> &rows) const
{
    const auto record = [](const QStringList &fields) {
        QStringList quoted;
        for (const QString &field : fields)
            quoted << csvField(field);
        return quoted.join(QLatin1Char(',')) + QLatin1String("\r\n");
    };
    return lines(rows, record);
}

int TrafficModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_count);
}

int TrafficModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TrafficModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= static_cast<int>(m_count))
        return {};
    switch (role) {
    case Qt::DisplayRole: return cellText(index.row(), index.column());
    case Qt::ToolTipRole:
        if (index.column() == Bytes || index.column() == Decoded)
            return cellText(index.row(), index.column());
        return {};
    case Qt::ForegroundRole: {
        const Line &line = m_lines[(m_head + static_cast<std::size_t>(index.row())) % m_capacity];
        if (index.column() == Direction)
            return QBrush(line.entry.isReceived() ? QColor(0, 110, 40) : QColor(0, 60, 170));
        const QColor colour = verdictColour(line.verdict);
        return colour.isValid() ? QVariant(QBrush(colour)) : QVariant();
    }
    case Qt::FontRole:
        if (index.column() == Bytes || index.column() == Time)
            return m_fixedFont;
        return {};
    case Qt::TextAlignmentRole: return QVariant(columnAlignment(index.column()));
    default: return {};
    }
}

QVariant TrafficModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant(columnAlignment(section));
    return role == Qt::DisplayRole ? QVariant(QString::fromLatin1(Headings[section])) : QVariant();
}
