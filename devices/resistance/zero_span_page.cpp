#include "zero_span_page.h"

#include "exit_edit.h"
#include "status_label.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QPushButton>

namespace {
// Tables of more points than this are laid out in two columns.
constexpr int OneColumnPoints = 13;
constexpr int FieldWidth = 64;

QPushButton *pageButton(const std::string &name, const std::string &caption, QWidget *parent)
{
    auto *b = new QPushButton(QString::fromStdString(caption), parent);
    b->setObjectName(QString::fromStdString(name));
    b->setAccessibleName(b->objectName());
    b->setAutoDefault(false);
    return b;
}

ZeroSpanTableControls buildTable(const ZeroSpanTable &table, QWidget *area)
{
    ZeroSpanTableControls controls;
    // The outer group is the one shown for the mode; the inner one carries
    // the caption.
    auto *group = new QGroupBox(area);
    group->setObjectName(QString::fromStdString(table.group));
    group->setFlat(true);
    group->setStyleSheet(QStringLiteral("QGroupBox#%1 { border: 0; margin: 0; padding: 0; }")
                             .arg(group->objectName()));
    auto *outer = new QVBoxLayout(group);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *inner = new QGroupBox(QStringLiteral("Zero Span Setting"), group);
    inner->setObjectName(QString::fromStdString(table.inner));
    outer->addWidget(inner);
    area->layout()->addWidget(group);
    area->layout()->setAlignment(group, Qt::AlignLeft | Qt::AlignTop);
    group->hide();
    controls.group = group;

    auto *grid = new QGridLayout(inner);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    const int n = static_cast<int>(table.points.size());
    const int rows = n > OneColumnPoints ? (n + 1) / 2 : n;
    constexpr int Columns = 6; // number, value, Set Span, Done, count, gap
    QWidget *previous = nullptr;
    for (int p = 0; p < n; ++p) {
        const ZeroSpanPoint &point = table.points[static_cast<std::size_t>(p)];
        ZeroSpanPointControls c;
        auto *number = new QLabel(QString::number(p + 1), inner);
        number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        c.value = new ExitEdit(inner);
        c.value->setObjectName(QString::fromStdString(point.value));
        c.value->setFixedWidth(FieldWidth);
        if (!point.fixed.empty()) {
            c.value->setText(QString::fromStdString(point.fixed));
            c.value->setReadOnly(true);
            c.value->setFocusPolicy(Qt::ClickFocus);
        }
        c.set = pageButton(point.set, point.caption, inner);
        c.done = pageButton(point.done, "Done", inner);
        c.count = new QLineEdit(inner);
        c.count->setObjectName(QString::fromStdString(point.count));
        c.count->setFixedWidth(FieldWidth);
        c.count->setReadOnly(true);
        c.count->setFocusPolicy(Qt::ClickFocus);

        const int row = p % rows;
        const int column = p / rows * Columns;
        grid->addWidget(number, row, column);
        grid->addWidget(c.value, row, column + 1);
        grid->addWidget(c.set, row, column + 2);
        grid->addWidget(c.done, row, column + 3);
        grid->addWidget(c.count, row, column + 4);
        if (column == 0 && n > rows)
            grid->setColumnMinimumWidth(Columns - 1, 12);

        // Tab order: value, Set Span, Done, point after point.
        for (QWidget *w : std::initializer_list<QWidget *>{c.value, c.set, c.done}) {
            if (previous)
                QWidget::setTabOrder(previous, w);
            previous = w;
        }
        controls.points.push_back(c);
    }
    return controls;
}
} // namespace

std::vector<ZeroSpanTableControls> buildZeroSpanTables(const ZeroSpanSet &set, QWidget *area)
{
    std::vector<ZeroSpanTableControls> tables;
    for (const ZeroSpanTable &table : set.tables)
        tables.push_back(buildTable(table, area));
    area->layout()->addItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding));
    QSize largest;
    for (const ZeroSpanTableControls &table : tables)
        largest = largest.expandedTo(table.group->sizeHint());
    area->setMinimumSize(largest);
    return tables;
}

void buildZeroSpanModePage(const ZeroSpanSet &set, std::vector<ZeroSpanTableControls> &tables,
                           QWidget *page)
{
    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(16, 16, 16, 16);
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(10);
    for (std::size_t t = 0; t < set.tables.size(); ++t) {
        const ZeroSpanTable &table = set.tables[t];
        ZeroSpanTableControls &controls = tables[t];
        controls.modeButton = pageButton(table.modeButton, table.modeCaption, page);
        controls.modeButton->setMinimumWidth(160);
        controls.modeLabel = new StatusLabel(page);
        controls.modeLabel->setObjectName(QString::fromStdString(table.modeLabel));
        controls.modeLabel->setMinimumWidth(48);
        controls.modeLabel->setStatus(QColor(0, 0, 0), QStringLiteral("N/A"));
        const int row = static_cast<int>(t);
        grid->addWidget(controls.modeButton, row, 0);
        grid->addWidget(controls.modeLabel, row, 1);
    }
    grid->setRowStretch(static_cast<int>(set.tables.size()), 1);
    grid->setColumnStretch(2, 1);
}
