#pragma once

#include "device_settings.h"
#include "request_chain.h"
#include "status_messages.h"
#include "zero_span_modes.h"
#include "zero_span_page.h"
#include "zero_span_tables.h"

#include <QList>
#include <QObject>

#include <cstdint>
#include <functional>
#include <vector>

class ActivityOwner;
class ExitEdit;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QTimer;
class QWidget;
class StatusLabel;

// What a zero/span run needs of its window besides the activity owner.
class ZeroSpanHost
{
public:
    // Reads the information block, then runs next with it; a missing or
    // damaged block ends the work with `failure`.
    virtual void withInfoBlock(std::function<void(const InfoBlock &)> next,
                               i18n::Status failure) = 0;
    // "Read From Device".
    virtual void readModule() = 0;
    // The module is one of the window's versions; otherwise "Version is not match".
    virtual bool versionAccepted(const InfoBlock &info) = 0;
    // The confirmation of the first point, shown and withdrawn.
    virtual void askConfirmation() = 0;
    virtual void withdrawConfirmation() = 0;

protected:
    ~ZeroSpanHost() = default;
};

// The "Zero Span Setting" tables of a resistance transmitter window and its
// "Set ModeNum" page, built from the window's ZeroSpanSet: one table shown,
// the one of the module's calibration mode.
//
// A run goes point by point. "Set Span" of the first point checks that the
// module is in the table's mode (otherwise the window reads it and shows its
// table) and of the window's versions, writes the point's value (or nothing,
// for a fixed zero) and asks the operator to confirm; "Yes" starts the count
// poll. Later points write their value and start the poll at once. The poll
// reads the count every 500 ms into every count field of the point's slot;
// "Done" stops it, writes the point code and enables the points that may
// follow; the last point's "Done" gives the commands back.
//
// Failures are reported, not passed over: a value refused twice shows "Write
// Fail", starts no poll and leaves only that "Set Span" enabled, so a point is
// never stored against another point's value; a point code refused twice
// shows "Write Fail", and the point goes on with its "Done" enabled. The
// confirmation appears only once the first point's value is written.
//
// The run is the window's activity from the first point it starts (or
// confirms) to its last "Done", "No" in the confirmation, or an event the
// window's table lets stop it; the mode buttons and the output trim may act
// meanwhile.
class ZeroSpanCalibration : public QObject
{
    Q_OBJECT

public:
    // Builds the tables in `area` and the mode buttons on `modePage`; the
    // first and last point's value show in lowerLimit / upperLimit when the
    // rules say so. counts is the poll's repeating timer (Timer1), modes the
    // one-shot timer of the mode result labels (Timer7).
    ZeroSpanCalibration(ActivityOwner &owner, ZeroSpanHost &host, const ZeroSpanSet &set,
                        QWidget *area, QWidget *modePage, QLineEdit *lowerLimit,
                        QLineEdit *upperLimit, QTimer *counts, QTimer *modes);

    // What BtnAllOFF disables and BtnAllON enables of the tables.
    QList<QWidget *> offButtons() const;
    QList<QWidget *> onButtons() const;

    // Shows the table of a calibration mode and hides the others.
    void showTable(int mode);
    // Loads the stored point values of a read block of blockCount registers;
    // value(reg) is a register after the window's sign rule.
    void showStoredPoints(const std::function<int(int reg)> &value, int blockCount);

    // The handlers of the tables' controls (table and point are positions in
    // the window's ZeroSpanSet).
    void fieldExit(int table, int point);
    void setSpan(int table, int point);
    void done(int table, int point);
    // A tick of the count poll (Timer1).
    void countTick();
    // The "Set ModeNum" page: its result labels' timer (Timer7) and a page
    // switch (every label back to "N/A") go there.
    ZeroSpanModes &modes() { return *m_modePage; }

    // The operator answered the confirmation of the first point.
    void answered(bool yes);
    // A run is under way: from a point's start to the last point's "Done".
    bool running() const;

    // What the page shows of a point, for the commissioning record.
    QLineEdit *valueField(int table, int point) const;
    QLineEdit *countField(int table, int point) const;
    int pointCode(int table, int point) const;

    // Count slot of the point being set; the poll shows its count there.
    int CalSlot = 0;
    // Count of the point confirmed last (rising counts only).
    std::uint16_t LastCount = 0;
    // Value of the point field accepted last (first and middle points).
    std::uint16_t LastPointValue = 0;

signals:
    // The count of the point under way was shown in its field.
    void countShown(QLineEdit *field);
    // A point's "Done" wrote its code: accepted (echoed) or not.
    void pointStored(int table, int point, bool accepted);

private:
    using PointControls = ZeroSpanPointControls;
    using TableControls = ZeroSpanTableControls;

    // The point and mode buttons of a table run this run's handlers.
    void connectTable(int table);
    const ZeroSpanPoint &point(int table, int point) const;
    PointControls &controls(int table, int point);
    // A press of a point's button of `table`: false when the window's table
    // refuses a new run; fresh: it started one.
    bool enter(int table, bool &fresh, bool keepControls);
    void startPoint(int table, int point, bool fresh);
    void pointStarted(int table, int point);
    void refuse(int table, int point);
    void startPoll();
    void showCount(bool sound);
    void codeWritten(int table, int point, bool ok, int count, bool polling);
    // The run ends unstored: no poll, no question left open.
    void stopped();

    ActivityOwner &m_owner;
    ZeroSpanHost &m_host;
    const ZeroSpanSet &m_set;
    QLineEdit *m_lowerLimit;
    QLineEdit *m_upperLimit;
    ZeroSpanModes *m_modePage = nullptr;
    Poll m_poll;
    std::vector<TableControls> m_tables;
    int m_table = -1; // the point that runs
    int m_point = -1;
    int m_runTable = -1;     // the table of the run under way
    bool m_awaiting = false; // the first point waits for its confirmation
};
