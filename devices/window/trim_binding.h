#pragma once

#include "request_chain.h"
#include "trim_step.h"
#include "up_down.h"

#include <QList>
#include <QObject>

#include <array>
#include <vector>

class ActivityOwner;
class QAbstractButton;
class QLineEdit;
class ScrollBar;

// One end point of a 0/4..20 mA output: its trim count register, the command
// code that holds the output there, and its controls. The mirror controls
// (a second set on a factory page) show and do the same.
struct TrimPoint
{
    int reg = 0;
    int code = 0;
    QLineEdit *count = nullptr; // read-only count field
    ScrollBar *bar = nullptr;
    UpDown *upDown = nullptr;
    QAbstractButton *selector = nullptr;
    QLineEdit *mirrorCount = nullptr;
    ScrollBar *mirrorBar = nullptr;
    UpDown *mirrorUpDown = nullptr;
    QAbstractButton *mirrorSelector = nullptr;
    bool drainOnStep = false;       // a ReadReply before the up-down's write
    bool drainOnMirrorStep = false; // the same for the mirror up-down
};

// The 4 mA and 20 mA points of the first output, with the mirrors on the
// calibration page, as the converter and transmitter pages name them; the
// count registers are the family's.
template<class Page>
std::array<TrimPoint, 2> firstOutputTrim(Page &ui, int lowRegister, int highRegister)
{
    return {{{.reg = lowRegister,
              .code = TrimHoldCodes[0],
              .count = ui.Edit2,
              .bar = ui.ScrollBar3,
              .upDown = ui.UpDown3,
              .selector = ui.RadioButton1,
              .mirrorCount = ui.Edi41,
              .mirrorBar = ui.ScrollBar1,
              .mirrorUpDown = ui.UpDown1,
              .mirrorSelector = ui.Rad1},
             {.reg = highRegister,
              .code = TrimHoldCodes[1],
              .count = ui.Edit3,
              .bar = ui.ScrollBar4,
              .upDown = ui.UpDown4,
              .selector = ui.RadioButton2,
              .mirrorCount = ui.Edi42,
              .mirrorBar = ui.ScrollBar2,
              .mirrorUpDown = ui.UpDown2,
              .mirrorSelector = ui.Rad2}}};
}

// The "Normal" choice of an output: command code (function 6) and selectors.
struct TrimNormal
{
    int code = 31;
    QAbstractButton *selector = nullptr;
    QAbstractButton *mirror = nullptr;
};

// What differs between the windows' trim groups.
struct TrimRules
{
    int commandRegister = 21;
    bool drainOnSelect = false; // a ReadReply before a point's or Normal's first write
    bool drainOnScroll = false; // a ReadReply before a released scroll bar's write
};

// The output trim of a window: the operator holds an output at an end point,
// adjusts the trim count with a scroll bar or up-down until a meter reads the
// exact current, and lets the output follow the input again with "Normal".
//
// - Selecting a point writes its count field to its register, then its code
//   to the command register (function 5, no echo check).
// - "Normal" writes its code with function 6, echo checked, sent once more on
//   a mismatch.
// - Moving a scroll bar shows the count in both count fields and moves the
//   other bar; nothing is sent. Releasing it writes the count when its point
//   is selected.
// - An up-down press steps the process-wide StepValue (trim_step.h), shows it
//   and writes it when its point is selected. On an empty count field it does
//   nothing.
//
// The controls take part in BtnAllOFF/BtnAllON (so they cannot send while a
// read, write or live poll runs; an activity that lets the output be trimmed
// meanwhile keeps the controls that adjust it, setAdjustable), and the point
// selectors stay disabled until a configuration read has filled the counts
// since the window was activated (setArmed), so a stale or empty count is
// never written. Each write is a piece of work of the window's activity
// owner: refused while other work runs, unless that work lets it in.
class TrimBinding : public QObject
{
    Q_OBJECT

public:
    TrimBinding(ActivityOwner &owner, const TrimRules &rules);

    void addPoint(const TrimPoint &point);
    void addNormal(const TrimNormal &normal);

    // A count from a configuration read: both count fields and both bars.
    void showCount(int reg, int value);
    // True once the counts shown come from a read since activation.
    void setArmed(bool armed);
    bool isArmed() const { return m_armed; }
    // BtnAllOFF (false) and BtnAllON (true).
    void setEnabled(bool enabled);
    // After BtnAllOFF: "Normal", the scroll bars and the up-downs enabled
    // again (their point selectors stay off).
    void setAdjustable(bool adjustable);

    // The handlers of the trim controls; index is the point's or Normal's
    // position in the order added.
    void pointClick(int index);
    void normalClick(int index);
    void scrollChange(int index, int position);
    void scrollEnd(int index, bool mirror);
    void upDownChangingEx(int index, bool mirror, UpDown::Direction direction);

    const std::vector<TrimPoint> &points() const { return m_points; }

signals:
    // A point's trim count goes out to the module (selecting it, or adjusting
    // it while it is selected).
    void countSent(int index, int count);

private:
    bool selected(const TrimPoint &point, bool mirror) const;
    RequestChain countWrite(const TrimPoint &point, bool drain) const;
    // The trim's work: the writes of the chain, when it has any.
    void run(RequestChain chain);

    ActivityOwner &m_owner;
    TrimRules m_rules;
    std::vector<TrimPoint> m_points;
    std::vector<TrimNormal> m_normals;
    bool m_armed = false;
    bool m_enabled = true;
};
