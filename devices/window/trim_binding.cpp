#include "trim_binding.h"

#include "activity_owner.h"
#include "modbus_functions.h"
#include "scroll_bar.h"
#include "trim_step.h"

#include <QAbstractButton>
#include <QLineEdit>

namespace {
void setCountText(QLineEdit *field, int value)
{
    if (field)
        field->setText(QString::number(value));
}

void check(QAbstractButton *button)
{
    if (button && !button->isChecked())
        button->setChecked(true);
}

StepDirection stepDirection(UpDown::Direction direction)
{
    switch (direction) {
    case UpDown::Up: return StepDirection::Up;
    case UpDown::Down: return StepDirection::Down;
    case UpDown::None: break;
    }
    return StepDirection::None;
}
} // namespace

TrimBinding::TrimBinding(ActivityOwner &owner, const TrimRules &rules)
    : QObject(&owner)
    , m_owner(owner)
    , m_rules(rules)
{}

void TrimBinding::addPoint(const TrimPoint &point)
{
    const int index = static_cast<int>(m_points.size());
    m_points.push_back(point);
    for (ScrollBar *bar : {point.bar, point.mirrorBar}) {
        if (!bar)
            continue;
        bar->setRange(0, TrimCountMax);
        bar->setSingleStep(16);
        bar->setPageStep(50);
        connect(bar, &ScrollBar::valueChanged, this,
                [this, index](int position) { scrollChange(index, position); });
        connect(bar, &ScrollBar::endScroll, this, [this, index, mirror = bar == point.mirrorBar] {
            m_owner.caught([&] { scrollEnd(index, mirror); });
        });
    }
    for (UpDown *upDown : {point.upDown, point.mirrorUpDown}) {
        if (!upDown)
            continue;
        connect(upDown, &UpDown::changingEx, this,
                [this, index, mirror = upDown == point.mirrorUpDown](UpDown::Direction direction) {
                    m_owner.caught([&] { upDownChangingEx(index, mirror, direction); });
                });
    }
    for (QAbstractButton *selector : {point.selector, point.mirrorSelector})
        if (selector)
            connect(selector, &QAbstractButton::clicked, this,
                    [this, index] { m_owner.caught([&] { pointClick(index); }); });
    // The count fields show what a read brought (the register binding shows
    // a count even when the bar is already there); until then they may be
    // empty, and nothing is written from them.
    for (QLineEdit *field : {point.count, point.mirrorCount})
        if (field)
            field->setReadOnly(true);
    setEnabled(m_enabled);
}

void TrimBinding::addNormal(const TrimNormal &normal)
{
    const int index = static_cast<int>(m_normals.size());
    m_normals.push_back(normal);
    for (QAbstractButton *selector : {normal.selector, normal.mirror})
        if (selector)
            connect(selector, &QAbstractButton::clicked, this,
                    [this, index] { m_owner.caught([&] { normalClick(index); }); });
    check(normal.selector);
    check(normal.mirror);
}

void TrimBinding::showCount(int reg, int value)
{
    for (const TrimPoint &point : m_points) {
        if (point.reg != reg)
            continue;
        // The bar's change handler shows the count in both fields and moves
        // the other bar; a count equal to the bar's position still shows.
        setCountText(point.count, value);
        setCountText(point.mirrorCount, value);
        if (point.bar)
            point.bar->setValue(value);
        if (point.mirrorBar)
            point.mirrorBar->setValue(value);
    }
}

void TrimBinding::setArmed(bool armed)
{
    m_armed = armed;
    setEnabled(m_enabled);
}

void TrimBinding::setEnabled(bool enabled)
{
    m_enabled = enabled;
    for (const TrimPoint &point : m_points) {
        for (QWidget *control : std::initializer_list<QWidget *>{point.bar, point.mirrorBar,
                                                                 point.upDown, point.mirrorUpDown})
            if (control)
                control->setEnabled(enabled);
        for (QAbstractButton *selector : {point.selector, point.mirrorSelector})
            if (selector)
                selector->setEnabled(enabled && m_armed);
    }
    for (const TrimNormal &normal : m_normals)
        for (QAbstractButton *selector : {normal.selector, normal.mirror})
            if (selector)
                selector->setEnabled(enabled);
}

void TrimBinding::setAdjustable(bool adjustable)
{
    for (const TrimPoint &point : m_points)
        for (QWidget *control : std::initializer_list<QWidget *>{point.bar, point.mirrorBar,
                                                                 point.upDown, point.mirrorUpDown})
            if (control)
                control->setEnabled(adjustable);
    for (const TrimNormal &normal : m_normals)
        for (QAbstractButton *selector : {normal.selector, normal.mirror})
            if (selector)
                selector->setEnabled(adjustable);
}

bool TrimBinding::selected(const TrimPoint &point, bool mirror) const
{
    const QAbstractButton *selector = mirror ? point.mirrorSelector : point.selector;
    return selector && selector->isChecked();
}

RequestChain TrimBinding::countWrite(const TrimPoint &point, bool drain) const
{
    RequestChain chain;
    chain.exchange(Modbus::WriteCoil, point.reg, point.bar ? point.bar->value() : 0)
        .drained(drain, false);
    return chain;
}

void TrimBinding::run(RequestChain chain)
{
    // No status and no other control is touched: the work ends with its writes.
    if (chain.empty()) {
        m_owner.end(Activity::TrimPoint);
        return;
    }
    m_owner.runChain(
        std::move(chain), [this](bool) { m_owner.end(Activity::TrimPoint); },
        i18n::Status::WriteFail);
}

void TrimBinding::pointClick(int index)
{
    if (!m_owner.begin(WindowEvent::Trim))
        return;
    const TrimPoint &point = m_points[static_cast<std::size_t>(index)];
    check(point.selector);
    check(point.mirrorSelector);
    RequestChain chain;
    if (m_armed && !(point.count && point.count->text().isEmpty())) {
        // The output jumps to the shown trim count, then is held at the point.
        const int count = point.count ? point.count->text().toInt() : point.bar->value();
        chain.exchange(Modbus::WriteCoil, point.reg, count).drained(m_rules.drainOnSelect, false);
        chain.exchange(Modbus::WriteCoil, m_rules.commandRegister, point.code);
        emit countSent(index, count);
    }
    run(std::move(chain));
}

void TrimBinding::normalClick(int index)
{
    if (!m_owner.begin(WindowEvent::Trim))
        return;
    const TrimNormal &normal = m_normals[static_cast<std::size_t>(index)];
    check(normal.selector);
    check(normal.mirror);
    RequestChain chain;
    chain.write(Modbus::WriteRegister, m_rules.commandRegister, normal.code)
        .drained(m_rules.drainOnSelect, m_rules.drainOnSelect)
        .retryUnchecked();
    run(std::move(chain));
}

void TrimBinding::scrollChange(int index, int position)
{
    const TrimPoint &point = m_points[static_cast<std::size_t>(index)];
    setCountText(point.count, position);
    setCountText(point.mirrorCount, position);
    for (ScrollBar *bar : {point.bar, point.mirrorBar})
        if (bar && bar->value() != position)
            bar->setValue(position);
}

void TrimBinding::scrollEnd(int index, bool mirror)
{
    const TrimPoint &point = m_points[static_cast<std::size_t>(index)];
    if (!selected(point, mirror) || !m_owner.begin(WindowEvent::Trim))
        return;
    emit countSent(index, point.bar ? point.bar->value() : 0);
    run(countWrite(point, m_rules.drainOnScroll));
}

void TrimBinding::upDownChangingEx(int index, bool mirror, UpDown::Direction direction)
{
    const TrimPoint &point = m_points[static_cast<std::size_t>(index)];
    QLineEdit *field = mirror ? point.mirrorCount : point.count;
    if (!field || field->text().trimmed().isEmpty())
        return; // no count to step from yet
    bool number = false;
    const int count = field->text().toInt(&number);
    if (!number || !m_owner.begin(WindowEvent::Trim))
        return;
    const int stepped = trimStep(count, stepDirection(direction));
    setCountText(field, stepped);
    ScrollBar *bar = mirror ? point.mirrorBar : point.bar;
    if (bar)
        bar->setValue(stepped); // shows the count in the other field and bar
    const bool drain = mirror ? point.drainOnMirrorStep : point.drainOnStep;
    if (!selected(point, mirror)) {
        run({});
        return;
    }
    emit countSent(index, point.bar ? point.bar->value() : 0);
    run(countWrite(point, drain));
}
