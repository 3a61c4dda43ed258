#pragma once

#include "zero_span_tables.h"

#include <vector>

class ExitEdit;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QWidget;
class StatusLabel;

// The controls of the zero/span tables of a resistance window, made from
// the tables (zero_span_tables.h): per point its value field, "Set Span"
// (or the point's own caption), "Done" and count field; per table the group
// shown for its mode and, on the "Set ModeNum" page, its mode button and
// result label.
struct ZeroSpanPointControls
{
    ExitEdit *value = nullptr;
    QPushButton *set = nullptr;
    QPushButton *done = nullptr;
    QLineEdit *count = nullptr;
};
struct ZeroSpanTableControls
{
    QGroupBox *group = nullptr;
    std::vector<ZeroSpanPointControls> points;
    QPushButton *modeButton = nullptr;
    StatusLabel *modeLabel = nullptr;
};

// Every table of the set in `area`, hidden; the area keeps the size of the
// largest, so the page does not jump when the module's mode changes the
// table shown.
std::vector<ZeroSpanTableControls> buildZeroSpanTables(const ZeroSpanSet &set, QWidget *area);
// The mode buttons and result labels ("N/A") of the "Set ModeNum" page.
void buildZeroSpanModePage(const ZeroSpanSet &set, std::vector<ZeroSpanTableControls> &tables,
                           QWidget *page);
