#pragma once

#include "zero_span_page.h"

#include <QObject>

#include <vector>

class ActivityOwner;
class QTimer;

// The "Set ModeNum" page of a resistance window: a mode button writes its
// table's calibration mode (high byte of register 7936, echo checked on
// function, register and mode) and the commit code on the command cell
// (echo checked on the code). Its result label shows "NG!" in red when the
// window's table refuses the change now or either echo fails, "OK!" in green
// 1.5 s after success, and every label "N/A" again 5 s later (or when the
// page changes).
class ZeroSpanModes : public QObject
{
    Q_OBJECT

public:
    // timer is the window's one-shot timer of the result labels (Timer7).
    ZeroSpanModes(ActivityOwner &owner, const ZeroSpanSet &set,
                  std::vector<ZeroSpanTableControls> &tables, QTimer *timer);

    void setMode(int table);
    void tick();
    void resetLabels();

    // Which result label the next tick marks "OK!"; 10 resets them all.
    int ModeMark = 10;

private:
    bool modeEchoed(int mode) const;
    bool commitEchoed() const;

    ActivityOwner &m_owner;
    const ZeroSpanSet &m_set;
    std::vector<ZeroSpanTableControls> &m_tables;
    QTimer *m_timer;
};
