#include "calibration_runner.h"

#include "activity_owner.h"
#include "link.h"
#include "modbus_functions.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTimer>

#include <stdexcept>

using i18n::Status;

namespace {
template<class T>
T *control(QWidget &page, std::string_view name)
{
    auto *found = page.findChild<T *>(QString::fromUtf8(name.data(), qsizetype(name.size())));
    if (!found)
        throw std::logic_error(page.objectName().toStdString() + " has no calibration control " +
                               std::string(name));
    return found;
}
} // namespace

CalibrationRunner::CalibrationRunner(ActivityOwner &owner, QWidget &page,
                                     const CalibrationRules &rules, const CalibrationTable &table,
                                     const QList<QTimer *> &polls, SelectType selectType,
                                     int (*countSign)(int))
    : QObject(&owner)
    , m_owner(owner)
    , m_rules(rules)
    , m_table(table)
    , m_timers(polls)
    , m_selectType(std::move(selectType))
    , m_countSign(countSign)
{
    for (QTimer *timer : polls)
        m_polls.emplace_back(owner.link(), timer);
    for (std::size_t i = 0; i < table.size(); ++i) {
        const CalibrationPoint &point = table[i];
        m_starts.push_back(control<QAbstractButton>(page, point.start));
        m_dones.push_back(control<QAbstractButton>(page, point.done));
        m_references.push_back(point.reference.empty() ? nullptr
                                                       : control<QLineEdit>(page, point.reference));
        std::vector<QLineEdit *> fields;
        for (const CountField &field : point.counts)
            fields.push_back(control<QLineEdit>(page, field.field));
        m_fields.push_back(fields);
        const int index = static_cast<int>(i);
        connect(m_starts.back(), &QAbstractButton::clicked, this,
                [this, index] { m_owner.caught([&] { start(index); }); });
        connect(m_dones.back(), &QAbstractButton::clicked, this,
                [this, index] { m_owner.caught([&] { done(index); }); });
        m_dones.back()->setEnabled(false);
    }
    m_owner.onStop(Activity::CalibrationPoint, [this] { stopped(); });
}

QList<QWidget *> CalibrationRunner::startButtons() const
{
    return {m_starts.begin(), m_starts.end()};
}

QList<QWidget *> CalibrationRunner::doneButtons() const
{
    return {m_dones.begin(), m_dones.end()};
}

void CalibrationRunner::start(int index)
{
    const CalibrationPoint &point = m_table[static_cast<std::size_t>(index)];
    QLineEdit *referenceField = m_references[static_cast<std::size_t>(index)];
    if (!m_owner.begin(WindowEvent::CalibrationStart, m_timers))
        return;
    m_current = -1;
    // The reference is converted before anything is sent.
    const bool writesReference = referenceField || point.fixedReference;
    const int reference = point.fixedReference ? *point.fixedReference
                          : referenceField ? referenceValue(referenceField->text().toStdString(),
                                                            point.referenceScale)
                                           : 0;
    const bool writesUnit = point.unitFunction != 0;
    const int shownType = point.type >= 0 ? point.type : point.screenType;
    // A type shown on screen only leaves the unit as it is: only a point that
    // writes the unit shows it.
    if (shownType >= 0 && m_selectType)
        m_selectType(point.channel, shownType, point.type >= 0 && writesUnit);

    const bool second = point.channel == 1;
    const int typeRegister = second && m_rules.secondTypeRegister >= 0 ? m_rules.secondTypeRegister
                                                                       : m_rules.typeRegister;
    const int unitRegister = second && m_rules.secondUnitRegister >= 0 ? m_rules.secondUnitRegister
                                                                       : m_rules.unitRegister;
    RequestChain chain;
    if (point.type >= 0) {
        chain.write(point.typeFunction, typeRegister, point.type).drained(true, false).retryOnce();
        if (writesUnit)
            chain.write(point.unitFunction, unitRegister, 0).drained().retryOnce();
    }
    const auto arm = [this, index] {
        // Only this point's Done can be pressed while it runs (the others
        // went off with the start).
        m_dones[static_cast<std::size_t>(index)]->setEnabled(true);
        m_current = index;
    };
    if (!point.armAfterReference)
        chain.action(arm);
    if (writesReference)
        chain.write(point.referenceFunction, m_rules.referenceRegister, reference)
            .drained()
            .retryOnce();
    if (point.classCode >= 0)
        chain.write(point.classFunction, m_rules.commandRegister, point.classCode)
            .drained()
            .retryOnce();
    if (point.armAfterReference)
        chain.action(arm);
    m_owner.runChain(
        std::move(chain),
        [this, index](bool ok) {
            if (ok) {
                startPoll(index);
                return;
            }
            // The point is abandoned: its counts would be taken against the
            // wrong type or reference.
            stopped();
            m_owner.end(Activity::CalibrationPoint, Status::WriteFail);
        },
        Status::WriteFail);
}

void CalibrationRunner::startPoll(int index)
{
    const CalibrationPoint &point = m_table[static_cast<std::size_t>(index)];
    Poll &poll = m_polls[static_cast<std::size_t>(point.poll)];
    // Unless the point asks otherwise, the first tick finds no reply: the
    // first request goes out with it.
    poll.start(
        {Modbus::ReadInput, m_rules.countRegister, point.pollCount, false},
        [this, index](bool sound) {
            if (sound)
                showCounts(index);
        },
        point.pollFromStart);
}

void CalibrationRunner::showCounts(int index)
{
    const CalibrationPoint &point = m_table[static_cast<std::size_t>(index)];
    const std::vector<QLineEdit *> &fields = m_fields[static_cast<std::size_t>(index)];
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const int word = m_owner.link().replyRegister(point.counts[i].count);
        fields[i]->setText(QString::number(m_countSign(word)));
    }
    emit countsShown(index);
}

int CalibrationRunner::storeCode(int point) const
{
    return m_table[static_cast<std::size_t>(point)].code;
}

std::string CalibrationRunner::countName(int point, std::size_t i) const
{
    // Counts are named by their place in the count registers: A0 at the first.
    return "A" + std::to_string(m_table[static_cast<std::size_t>(point)].counts[i].count);
}

void CalibrationRunner::tick(QTimer *timer)
{
    for (Poll &poll : m_polls)
        if (poll.timer() == timer)
            poll.tick();
}

void CalibrationRunner::done(int index)
{
    // "Done" follows the exchanges under way.
    m_owner.awaitLine();
    if (index != m_current || m_owner.current() != Activity::CalibrationPoint)
        return; // no point of this button runs
    const CalibrationPoint &point = m_table[static_cast<std::size_t>(index)];
    for (Poll &poll : m_polls)
        poll.stop();
    m_current = -1;
    m_dones[static_cast<std::size_t>(index)]->setEnabled(false);
    RequestChain chain;
    // A refused store code goes out once more, always with function 5.
    chain.write(point.doneFunction, m_rules.commandRegister, point.code)
        .drained(true, m_rules.storeRetryDrained)
        .retryOnce()
        .retryAs(5);
    m_owner.runChain(
        std::move(chain),
        [this, index](bool ok) {
            m_owner.end(Activity::CalibrationPoint);
            if (!ok)
                m_owner.showStatus(Status::WriteFail);
            emit stored(index, ok);
        },
        Status::WriteFail);
}

void CalibrationRunner::stopped()
{
    for (Poll &poll : m_polls)
        poll.stop();
    if (m_current >= 0)
        m_dones[static_cast<std::size_t>(m_current)]->setEnabled(false);
    m_current = -1;
}
