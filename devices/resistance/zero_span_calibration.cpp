#include "zero_span_calibration.h"

#include "activity_owner.h"
#include "exit_edit.h"
#include "link.h"
#include "message_sink.h"
#include "numtext.h"
#include "register_values.h"
#include "resistance_registers.h"
#include "status_label.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QTimer>

using i18n::Status;

namespace {
const QColor Black(0, 0, 0);
const QColor Green(0, 128, 0);
const QColor Red(255, 0, 0);

// Tables of more points than this are laid out in two columns.
constexpr int OneColumnPoints = 13;
constexpr int FieldWidth = 64;
// Interval of the mode result labels: "OK!" after 1.5 s, "N/A" 5 s later.
constexpr int OkDelayMs = 1500;
constexpr int ResetDelayMs = 5000;

QString qs(const std::string &text)
{
    return QString::fromStdString(text);
}

QPushButton *button(const std::string &name, const std::string &caption, QWidget *parent)
{
    auto *b = new QPushButton(qs(caption), parent);
    b->setObjectName(qs(name));
    b->setAccessibleName(b->objectName());
    b->setAutoDefault(false);
    return b;
}

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
    , m_modes(modes)
    , m_poll(owner.link(), counts)
{
    m_owner.onStop(Activity::ZeroSpanRun, [this] { stopped(); });
    m_tables.resize(set.tables.size());
    for (std::size_t t = 0; t < set.tables.size(); ++t)
        buildTable(static_cast<int>(t), area);
    area->layout()->addItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding));
    // The area keeps the size of the largest table, so the page does not
    // jump when the module's mode changes the table shown.
    QSize largest;
    for (const TableControls &table : m_tables)
        largest = largest.expandedTo(table.group->sizeHint());
    area->setMinimumSize(largest);
    buildModePage(modePage);

    // No point runs yet: the buttons as BtnAllOFF and BtnAllON leave them.
    const QList<QWidget *> on = onButtons();
    for (QWidget *control : offButtons())
        control->setEnabled(on.contains(control));
}

void ZeroSpanCalibration::buildTable(int t, QWidget *area)
{
    const ZeroSpanTable &table = m_set.tables[static_cast<std::size_t>(t)];
    TableControls &controls = m_tables[static_cast<std::size_t>(t)];

    // The outer group is the one shown for the mode; the inner one carries
    // the caption.
    auto *group = new QGroupBox(area);
    group->setObjectName(qs(table.group));
    group->setFlat(true);
    group->setStyleSheet(QStringLiteral("QGroupBox#%1 { border: 0; margin: 0; padding: 0; }")
                             .arg(group->objectName()));
    auto *outer = new QVBoxLayout(group);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *inner = new QGroupBox(QStringLiteral("Zero Span Setting"), group);
    inner->setObjectName(qs(table.inner));
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
        PointControls c;
        auto *number = new QLabel(QString::number(p + 1), inner);
        number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        c.value = new ExitEdit(inner);
        c.value->setObjectName(qs(point.value));
        c.value->setFixedWidth(FieldWidth);
        if (!point.fixed.empty()) {
            c.value->setText(qs(point.fixed));
            c.value->setReadOnly(true);
            c.value->setFocusPolicy(Qt::ClickFocus);
        }
        c.set = button(point.set, point.caption, inner);
        c.done = button(point.done, "Done", inner);
        c.count = new QLineEdit(inner);
        c.count->setObjectName(qs(point.count));
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

        if (point.check != ValueCheck::None)
            connect(c.value, &ExitEdit::exited, this,
                    [this, t, p] { m_owner.caught([&] { fieldExit(t, p); }); });
        connect(c.set, &QPushButton::clicked, this,
                [this, t, p] { m_owner.caught([&] { setSpan(t, p); }); });
        connect(c.done, &QPushButton::clicked, this,
                [this, t, p] { m_owner.caught([&] { done(t, p); }); });
        controls.points.push_back(c);
    }
}

void ZeroSpanCalibration::buildModePage(QWidget *page)
{
    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(16, 16, 16, 16);
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(10);
    for (std::size_t t = 0; t < m_set.tables.size(); ++t) {
        const ZeroSpanTable &table = m_set.tables[t];
        TableControls &controls = m_tables[t];
        controls.modeButton = button(table.modeButton, table.modeCaption, page);
        controls.modeButton->setMinimumWidth(160);
        controls.modeLabel = new StatusLabel(page);
        controls.modeLabel->setObjectName(qs(table.modeLabel));
        controls.modeLabel->setMinimumWidth(48);
        controls.modeLabel->setStatus(Black, QStringLiteral("N/A"));
        const int row = static_cast<int>(t);
        grid->addWidget(controls.modeButton, row, 0);
        grid->addWidget(controls.modeLabel, row, 1);
        connect(controls.modeButton, &QPushButton::clicked, this,
                [this, row] { m_owner.caught([&] { setMode(row); }); });
    }
    grid->setRowStretch(static_cast<int>(m_set.tables.size()), 1);
    grid->setColumnStretch(2, 1);
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
    chain.write(5, PointValueRegister, value).drained().retryOnce();
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
        {4, CalibrationCountRegister, 1, false}, [this](bool sound) { showCount(sound); }, false);
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
    chain.write(5, ResistanceCommandCell, pt.code).drained().retryOnce();
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

void ZeroSpanCalibration::setMode(int t)
{
    const ZeroSpanTable &table = m_set.tables[static_cast<std::size_t>(t)];
    StatusLabel *label = m_tables[static_cast<std::size_t>(t)].modeLabel;
    LastCount = 0;
    if (!m_owner.begin(WindowEvent::ModeChange)) {
        // Another command's exchanges are under way: the mode is not sent.
        label->setStatus(Red, QStringLiteral("NG!"));
        return;
    }
    const int mode = table.mode;
    RequestChain chain;
    chain.exchange(5, ModeRegister, mode * 256).drained().andThen([this, mode] {
        return modeEchoed(mode);
    });
    chain.exchange(5, ResistanceCommandCell, ModeCommitCode).andThen([this] {
        return commitEchoed();
    });
    m_owner.runChain(
        std::move(chain),
        [this, t, label](bool ok) {
            m_owner.end(Activity::ModeChange);
            if (!ok) {
                label->setStatus(Red, QStringLiteral("NG!"));
                return;
            }
            ModeMark = t;
            m_modes->setInterval(OkDelayMs);
            m_modes->start();
        },
        Status::WriteFail);
}

bool ZeroSpanCalibration::modeEchoed(int mode) const
{
    // The reply's function, the register's high byte and the mode byte;
    // only a reply that arrived whole with its CRC counts.
    const Link &link = m_owner.link();
    const auto byte = [&link](int k) { return link.ComBuf[cb::Reply + k] & 0xFF; };
    return link.CrcCheck(6) && byte(1) == 5 && byte(2) == (ModeRegister >> 8) && byte(4) == mode;
}

bool ZeroSpanCalibration::commitEchoed() const
{
    const Link &link = m_owner.link();
    const auto byte = [&link](int k) { return link.ComBuf[cb::Reply + k] & 0xFF; };
    return link.CrcCheck(6) && byte(1) == 5 && byte(5) == ModeCommitCode;
}

void ZeroSpanCalibration::modeTick()
{
    m_modes->stop();
    if (ModeMark >= 0 && ModeMark < static_cast<int>(m_tables.size())) {
        m_tables[static_cast<std::size_t>(ModeMark)].modeLabel->setStatus(Green,
                                                                          QStringLiteral("OK!"));
        ModeMark = 10;
        m_modes->setInterval(ResetDelayMs);
        m_modes->start();
        return;
    }
    resetModeLabels();
}

void ZeroSpanCalibration::resetModeLabels()
{
    for (TableControls &table : m_tables)
        table.modeLabel->setStatus(Black, QStringLiteral("N/A"));
}
