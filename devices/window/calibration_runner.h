#pragma once

#include "calibration_points.h"
#include "request_chain.h"

#include <QList>
#include <QObject>

#include <functional>
#include <string>
#include <vector>

class ActivityOwner;
class QAbstractButton;
class QLineEdit;
class QTimer;

// Runs the input calibration points of a window, each described by a
// CalibrationPoint: "Start" writes the point's input type and unit (when it
// has them), leaves only the point's "Done" enabled, writes the reference
// and the class command, and starts the count poll; each poll tick shows the
// counts of a sound reply in the point's fields. "Done" stops the poll,
// writes the store code and gives every command control back.
//
// Failures are reported, not passed over: a type, unit, reference or class
// write refused twice abandons the point ("Write Fail", no poll, controls
// back), so a point is never taken against the wrong reference; a store code
// refused twice shows "Write Fail". A "Done" is enabled only while its own
// point runs, and pressed at any other time it does nothing. A point is the
// window's activity from its "Start" to its "Done": what else may happen
// meanwhile is the window's table's to say, and a point stopped by it ends
// unstored (no poll, its "Done" off, nothing sent).
class CalibrationRunner : public QObject
{
    Q_OBJECT

public:
    // Shows an input type on a channel's type selector (and unit 0 on its
    // unit selector when `unit` is set: the point writes type and unit),
    // running their click handlers.
    using SelectType = std::function<void(int channel, int type, bool unit)>;

    // The points' controls are found on `page`. countSign turns a count word
    // into its signed value. polls are the repeating timers of the table's polls.
    CalibrationRunner(ActivityOwner &owner, QWidget &page, const CalibrationRules &rules,
                      const CalibrationTable &table, const QList<QTimer *> &polls,
                      SelectType selectType, int (*countSign)(int));

    // The Start and Done buttons of the table, for the window's command sets.
    QList<QWidget *> startButtons() const;
    QList<QWidget *> doneButtons() const;

    void start(int point);
    void done(int point);
    // A tick of a count poll's timer.
    void tick(QTimer *timer);
    // The point that runs, -1 for none.
    int current() const { return m_current; }

    // What the page shows of a point: its Done button, its reference field
    // (nullptr for none) and its count fields.
    QAbstractButton *doneButton(int point) const { return m_dones[std::size_t(point)]; }
    QLineEdit *referenceField(int point) const { return m_references[std::size_t(point)]; }
    const std::vector<QLineEdit *> &countFields(int point) const
    {
        return m_fields[std::size_t(point)];
    }
    // The code its Done stores, and the name of its i-th count ("A0").
    int storeCode(int point) const;
    std::string countName(int point, std::size_t i) const;

signals:
    // A point's counts were shown.
    void countsShown(int point);
    // A point's Done sent its store code: accepted (echoed) or not.
    void stored(int point, bool accepted);

private:
    void startPoll(int point);
    void showCounts(int point);
    // The running point ends unstored: polls off, its "Done" off.
    void stopped();

    ActivityOwner &m_owner;
    CalibrationRules m_rules;
    const CalibrationTable &m_table;
    QList<QTimer *> m_timers;
    std::vector<Poll> m_polls;
    SelectType m_selectType;
    int (*m_countSign)(int);
    std::vector<QAbstractButton *> m_starts;
    std::vector<QAbstractButton *> m_dones;
    std::vector<QLineEdit *> m_references;
    std::vector<std::vector<QLineEdit *>> m_fields;
    int m_current = -1;
};
