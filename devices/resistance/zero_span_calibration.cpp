#include "zero_span_calibration.h"

#include "activity_owner.h"
#include "exit_edit.h"
#include "link.h"
#include "message_sink.h"
#include "modbus_functions.h"
#include "numtext.h"
#include "qt_text.h"
#include "register_values.h"
#include "resistance_registers.h"
#include "status_label.h"
#include "zero_span_modes.h"
#include "zero_span_page.h"

#include <QGroupBox>
#include <QPushButton>
#include <QTimer>

using i18n::Status;

namespace {

std::string wholeNumberMessage(const std::string &text)
{
    return "'" + text + "' is not a whole number: a point value is sent as a whole number.";
}
} // namespace

ZeroSpanCalibration::ZeroSpanCalibration(ActivityOwner &owner, ZeroSpanHost &host,
                                         const ZeroSpanSet &set, QWidget *area, QWidget *modePage,
                                         QLineEdit *lowerLimit, QLineEdit *upperLimit,
                                         QTimer *counts, QTimer *modes)
    : QObject(&owner)
    , m_owner(owner)
    , m_host(host)
    , m_set(set)
    , m_lowerLimit(lowerLimit)
    , m_upperLimit(upperLimit)
    , m_poll(owner.link(), counts)
{
    m_owner.onStop(Activity::ZeroSpanRun, [this] { stopped(); });
    m_tables = buildZeroSpanTables(set, area);
    buildZeroSpanModePage(set, m_tables, modePage);
    m_modePage = new ZeroSpanModes(owner, set, m_tables, modes);
    for (std::size_t t = 0; t < m_tables.size(); ++t)
        connectTable(static_cast<int>(t));

    // No point runs yet: the buttons as BtnAllOFF and BtnAllON leave them.
    const QList<QWidget *> on = onButtons();
    for (QWidget *control : offButtons())
        control->setEnabled(on.contains(control));
}

void ZeroSpanCalibration::connectTable(int t)
{
    TableControls &table = m_tables[static_cast<std::size_t>(t)];
    for (std::size_t i = 0; i < table.points.size(); ++i) {
        const int p = static_cast<int>(i);
        const PointControls &c = table.points[i];
        if (point(t, p).check != ValueCheck::None)
            connect(c.value, &ExitEdit::exited, this,
                    [this, t, p] { m_owner.caught([&] { fieldExit(t, p); }); });
        connect(c.set, &QPushButton::clicked, this,
                [this, t, p] { m_owner.caught([&] { setSpan(t, p); }); });
        connect(c.done, &QPushButton::clicked, this,
                [this, t, p] { m_owner.caught([&] { done(t, p); }); });
    }
    connect(table.modeButton, &QPushButton::clicked, this, [this, t] {
        m_owner.caught([&] {
            LastCount = 0;
            m_modePage->setMode(t);
        });
    });
}

QList<QWidget *> ZeroSpanCalibration::offButtons() const
{
    QList<QWidget *> buttons;
    for (const TableControls &table : m_tables)
        for (const PointControls &c : table.points)
            buttons += {c.set, c.done};
    return buttons;
}

QList<QWidget *> ZeroSpanCalibration::onButtons() const
{
    if (m_set.rules.everyButton)
        return offButtons();
    QList<QWidget *> buttons;
    for (const TableControls &table : m_tables)
        buttons.append(table.points.front().set);
    return buttons;
}

const ZeroSpanPoint &ZeroSpanCalibration::point(int t, int p) const
{
    return m_set.tables[static_cast<std::size_t>(t)].points[static_cast<std::size_t>(p)];
}

ZeroSpanCalibration::PointControls &ZeroSpanCalibration::controls(int t, int p)
{
    return m_tables[static_cast<std::size_t>(t)].points[static_cast<std::size_t>(p)];
}

void ZeroSpanCalibration::showTable(int mode)
{
    for (std::size_t t = 0; t < m_tables.size(); ++t)
        m_tables[t].group->setVisible(m_set.tables[t].mode == mode);
}

void ZeroSpanCalibration::showStoredPoints(const std::function<int(int)> &value, int blockCount)
{
    // Fields keep their colour: a read does not judge the values it shows.
    for (std::size_t t = 0; t < m_tables.size(); ++t) {
        const ZeroSpanTable &table = m_set.tables[t];
        for (std::size_t p = 0; p < table.points.size(); ++p) {
            const int reg = table.points[p].reg;
            if (reg >= FirstStoredPointRegister && reg < blockCount)
                m_tables[t].points[p].value->setText(
                    qs(storedPointText(reg, value, m_set.rules.zeroRepeats)));
        }
    }
}

void ZeroSpanCalibration::fieldExit(int t, int p)
{
    const ZeroSpanPoint &pt = point(t, p);
    ExitEdit *field = controls(t, p).value;
    const FieldVerdict verdict = checkPointField(pt, field->text().toStdString(), LastPointValue);
    if (verdict.text)
        field->setText(qs(*verdict.text));
    if (pt.check != ValueCheck::Replaced) {
        if (verdict.rejected)
            field->setColor(Qt::red);
        else
            field->resetColor();
    }
    if (verdict.lastPointValue)
        LastPointValue = static_cast<std::uint16_t>(*verdict.lastPointValue);
}

bool ZeroSpanCalibration::running() const
{
    return m_owner.current() == Activity::ZeroSpanRun;
}

bool ZeroSpanCalibration::enter(int table, bool &fresh, bool keepControls)
{
    // A point of another table starts a run of its own (which the run under
    // way refuses).
    fresh = !running() || table != m_runTable;
    if (fresh) {
        if (!m_owner.begin(WindowEvent::ZeroSpanStart, {m_poll.timer()}, !keepControls))
            return false;
        m_runTable = table;
        return true;
    }
    // A point of the run: after the exchanges under way.
    m_owner.awaitLine();
    return running();
}

void ZeroSpanCalibration::setSpan(int t, int p)
{
    bool fresh = false;
    if (!enter(t, fresh, point(t, p).loose))
        return;
    if (!point(t, p).confirm) {
        startPoint(t, p, fresh);
        return;
    }
    // The first point: the module must be in this table's mode and one of
    // the window's versions.
    const int mode = m_set.tables[static_cast<std::size_t>(t)].mode;
    m_host.withInfoBlock(
        [this, t, p, mode, fresh](const InfoBlock &info) {
            if (info.model != mode) {
                m_owner.end(Activity::ZeroSpanRun);
                m_host.readModule(); // shows the table of the module's mode
                return;
            }
            if (m_host.versionAccepted(info))
                startPoint(t, p, fresh);
            else
                m_owner.end(Activity::ZeroSpanRun);
        },
        Status::ReadFail);
}

void ZeroSpanCalibration::startPoint(int t, int p, bool fresh)
{
    const ZeroSpanPoint &pt = point(t, p);
    PointControls &c = controls(t, p);
    if (c.value->isRed()) {
        refuse(t, p);
        return;
    }
    const std::string text = c.value->text().toStdString();
    int value = 0;
    if (pt.writes || pt.betweenEnds) {
        try {
            value = textToInt(text);
        } catch (const ConversionError &) {
            if (fresh)
                m_owner.end(Activity::ZeroSpanRun);
            showMessage(wholeNumberMessage(text));
            return;
        }
    }
    if (pt.betweenEnds && (value <= 0 || value >= 1000)) {
        // Only points between the fixed end points are taken.
        if (fresh)
            m_owner.end(Activity::ZeroSpanRun);
        return;
    }
    const int last = static_cast<int>(m_set.tables[static_cast<std::size_t>(t)].points.size()) - 1;
    if (m_set.rules.copyRange && p == 0)
        m_lowerLimit->setText(c.value->text());
    if (m_set.rules.copyRange && p == last)
        m_upperLimit->setText(c.value->text());

    m_poll.stop();
    m_awaiting = false;
    m_table = t;
    m_point = p;
    CalSlot = pt.slot;
    if (pt.loose)
        c.set->setEnabled(false);
    else
        m_owner.commandsOff();
    if (!pt.writes) {
        pointStarted(t, p);
        return;
    }
    RequestChain chain;
    chain.write(Modbus::WriteCoil, PointValueRegister, value).drained().retryOnce();
    m_owner.runChain(
        std::move(chain),
        [this, t, p](bool ok) {
            if (ok) {
                pointStarted(t, p);
                return;
            }
            m_owner.showStatus(Status::WriteFail);
            m_table = m_point = -1;
            refuse(t, p);
        },
        Status::WriteFail);
}

void ZeroSpanCalibration::pointStarted(int t, int p)
{
    // "Done" only once the value is in the module.
    controls(t, p).done->setEnabled(true);
    if (point(t, p).confirm) {
        m_awaiting = true;
        m_host.askConfirmation();
        return;
    }
    startPoll();
}

void ZeroSpanCalibration::refuse(int t, int p)
{
    m_owner.commandsOff();
    controls(t, p).set->setEnabled(true);
}

void ZeroSpanCalibration::answered(bool yes)
{
    if (!m_awaiting)
        return; // the point was confirmed or given up meanwhile
    m_awaiting = false;
    if (yes) {
        startPoll();
        return;
    }
    // The first point is given up; its value stays in register 10.
    m_table = m_point = -1;
    for (TableControls &table : m_tables)
        table.points.front().done->setEnabled(false);
    m_owner.end(Activity::ZeroSpanRun);
}

void ZeroSpanCalibration::startPoll()
{
    // The first tick finds no reply: the first request goes out with it.
    m_poll.start(
        {Modbus::ReadInput, CalibrationCountRegister, 1, false},
        [this](bool sound) { showCount(sound); }, false);
}

void ZeroSpanCalibration::countTick()
{
    m_poll.tick();
}

void ZeroSpanCalibration::showCount(bool sound)
{
    if (!sound)
        return; // the count fields keep their text
    const int word = m_owner.link().replyRegister(0);
    const QString text = QString::number(m_set.rules.signedCounts ? signedAbove32767(word) : word);
    for (std::size_t t = 0; t < m_tables.size(); ++t)
        for (std::size_t p = 0; p < m_tables[t].points.size(); ++p)
            if (m_set.tables[t].points[p].slot == CalSlot)
                m_tables[t].points[p].count->setText(text);
    if (m_table >= 0 && m_point >= 0)
        emit countShown(controls(m_table, m_point).count);
}

QLineEdit *ZeroSpanCalibration::valueField(int table, int point) const
{
    return m_tables[std::size_t(table)].points[std::size_t(point)].value;
}

QLineEdit *ZeroSpanCalibration::countField(int table, int point) const
{
    return m_tables[std::size_t(table)].points[std::size_t(point)].count;
}

int ZeroSpanCalibration::pointCode(int table, int point) const
{
    return this->point(table, point).code;
}

void ZeroSpanCalibration::done(int t, int p)
{
    const ZeroSpanPoint &pt = point(t, p);
    PointControls &c = controls(t, p);
    // A "Done" pressed with no point under way (the compact window leaves
    // them enabled) stores its point all the same: a run of its own.
    bool fresh = false;
    if (!enter(t, fresh, true))
        return;
    int count = 0;
    if (m_set.rules.risingCounts) {
        // A count field without a count is the standard conversion error;
        // the point goes on.
        count = textToInt(c.count->text().toStdString()) & 0xFFFF;
        if (p > 0 && count <= LastCount) {
            if (fresh)
                m_owner.end(Activity::ZeroSpanRun);
            showMessage("Count must more than last one");
            return;
        }
    }
    const bool polling = m_poll.isRunning();
    m_poll.stop();
    m_awaiting = false;
    // Not pressed twice while its code goes out.
    c.done->setEnabled(false);
    RequestChain chain;
    chain.write(Modbus::WriteCoil, ResistanceCommandCell, pt.code).drained().retryOnce();
    m_owner.runChain(
        std::move(chain),
        [this, t, p, count, polling, fresh](bool ok) {
            emit pointStored(t, p, ok);
            codeWritten(t, p, ok, count, polling);
            // A "Done" alone is over with its code.
            if (fresh)
                m_owner.end(Activity::ZeroSpanRun);
        },
        Status::WriteFail);
}

void ZeroSpanCalibration::codeWritten(int t, int p, bool ok, int count, bool polling)
{
    const ZeroSpanTable &table = m_set.tables[static_cast<std::size_t>(t)];
    if (!ok) {
        // Not stored: the point goes on and its "Done" can be pressed again.
        m_owner.showStatus(Status::WriteFail);
        controls(t, p).done->setEnabled(true);
        if (polling)
            startPoll();
        return;
    }
    if (p == static_cast<int>(table.points.size()) - 1) {
        m_table = m_point = -1;
        m_owner.end(Activity::ZeroSpanRun);
        return;
    }
    if (m_set.rules.risingCounts)
        LastCount = static_cast<std::uint16_t>(count);
    for (int later : pointsEnabledBy(table, p))
        controls(t, later).set->setEnabled(true);
}

void ZeroSpanCalibration::stopped()
{
    m_poll.stop();
    m_awaiting = false;
    m_table = m_point = -1;
    m_host.withdrawConfirmation();
}
