#pragma once

#include <QList>

class ExitEdit;
class QLabel;
class QLineEdit;
class RadioGroup;

// One input channel of the V/mA distributor's page: its range selector, the
// measuring range and offset fields, the maximal range and offset bounds the
// range shows. CH-2 is the same code on its own controls.
struct VmaChannel
{
    RadioGroup *range = nullptr;
    ExitEdit *lower = nullptr;
    ExitEdit *upper = nullptr;
    ExitEdit *offset = nullptr;
    QLineEdit *maxLower = nullptr;
    QLineEdit *maxUpper = nullptr;
    QList<QLabel *> units; // range, live value, offset
    QLabel *boundLow = nullptr;
    QLabel *boundHigh = nullptr;

    // The range display: unit captions, maximal range, offset bounds. A
    // register value the selector has no item for shows nothing.
    void showRange(int range) const;
    // Exit rules: limits are held to the maximal range, the offset to the
    // bounds shown; the field's colour comes back first.
    void lowerExit() const;
    void upperExit() const;
    void offsetExit() const;
    // The input check: limits and offset outside their bounds turn red (a
    // passing field gets its normal colour back) and set CheckFailed, as
    // does a range nobody chose.
    void check() const;
};
