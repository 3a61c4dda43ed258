#include "register_binding.h"

#include "numtext.h"
#include "qt_text.h"
#include "radio_group.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QLineEdit>

#include <algorithm>
#include <stdexcept>

namespace {

// Radio buttons that make one choice: unchecking the checked one needs the
// group's exclusivity lifted for a moment.
void clearButtons(const QList<QWidget *> &controls)
{
    for (QWidget *control : controls) {
        auto *button = static_cast<QAbstractButton *>(control);
        if (!button->isChecked())
            continue;
        const bool exclusive = button->autoExclusive();
        button->setAutoExclusive(false);
        button->setChecked(false);
        button->setAutoExclusive(exclusive);
    }
}
} // namespace

RegisterBinding::RegisterBinding(const RegisterTable &table, QWidget &window)
{
    for (const RegisterField &field : table) {
        Bound bound{&field, {}};
        for (const QString &name : qs(field.control).split('|')) {
            QWidget *control = window.findChild<QWidget *>(name);
            if (!control)
                throw std::logic_error(window.objectName().toStdString() + " has no control " +
                                       name.toStdString() + " for register " +
                                       std::to_string(field.reg));
            bound.controls.append(control);
        }
        m_bound.push_back(bound);
    }
    m_order = writeOrder(table);
}

const RegisterBinding::Bound *RegisterBinding::find(int reg) const
{
    for (const Bound &bound : m_bound)
        if (bound.field->reg == reg)
            return &bound;
    return nullptr;
}

QWidget *RegisterBinding::control(int reg) const
{
    const Bound *bound = find(reg);
    return bound ? bound->controls.front() : nullptr;
}

int RegisterBinding::read(const Bound &bound) const
{
    QWidget *control = bound.controls.front();
    if (bound.controls.size() > 1) {
        for (int i = 0; i < bound.controls.size(); ++i)
            if (static_cast<QAbstractButton *>(bound.controls[i])->isChecked())
                return i;
        return -1;
    }
    if (auto *group = qobject_cast<RadioGroup *>(control))
        return group->itemIndex();
    if (auto *combo = qobject_cast<QComboBox *>(control))
        return combo->currentIndex();
    if (auto *slider = qobject_cast<QAbstractSlider *>(control))
        return slider->value();
    if (auto *button = qobject_cast<QAbstractButton *>(control))
        return button->isChecked() ? 1 : 0;
    return -1;
}

int RegisterBinding::choice(int reg) const
{
    const Bound *bound = find(reg);
    return bound ? read(*bound) : -1;
}

void RegisterBinding::setChoice(int reg, int value) const
{
    if (const Bound *bound = find(reg))
        write(*bound, value, {});
}

void RegisterBinding::write(const Bound &bound, int value, const FieldContext &context) const
{
    const RegisterField &field = *bound.field;
    QWidget *control = bound.controls.front();
    switch (field.kind) {
    case FieldKind::Choice:
        if (bound.controls.size() > 1) {
            if (value >= 0 && value < bound.controls.size())
                static_cast<QAbstractButton *>(bound.controls[value])->setChecked(true);
            else
                clearButtons(bound.controls);
        } else if (auto *group = qobject_cast<RadioGroup *>(control)) {
            group->setItemIndex(value >= 0 && value < group->count() ? value : -1);
        } else if (auto *combo = qobject_cast<QComboBox *>(control)) {
            combo->setCurrentIndex(value >= 0 && value < combo->count() ? value : -1);
        }
        // A module's code without an item leaves the choice to the operator:
        // a written selector shows that it waits for one.
        if (field.writeOrder >= 0 && !field.optional)
            mark(bound, read(bound) < 0 ? std::optional<int>(value) : std::nullopt);
        break;
    case FieldKind::Flag: static_cast<QAbstractButton *>(control)->setChecked(value != 0); break;
    case FieldKind::Count: {
        auto *slider = static_cast<QAbstractSlider *>(control);
        // What follows the position (a count field beside a scroll bar) shows
        // a value equal to the position too; a value beyond the range shows
        // the end it is held to.
        const int position = std::clamp(value, slider->minimum(), slider->maximum());
        if (slider->value() == position)
            emit slider->valueChanged(position);
        else
            slider->setValue(position);
        break;
    }
    case FieldKind::Whole:
        static_cast<QLineEdit *>(control)->setText(QString::number(value));
        break;
    case FieldKind::Text:
        static_cast<QLineEdit *>(control)->setText(
            QString::fromStdString(field.conversion.show(context, value)));
        break;
    }
}

void RegisterBinding::show(const RegisterWords &words, int (*sign)(int),
                           const FieldContext &context, const std::function<void(int)> &shown) const
{
    for (const Bound &bound : m_bound) {
        const RegisterField &field = *bound.field;
        if (!words.has(field.reg) || !present(field, context.devVer))
            continue;
        write(bound, sign(words.word(field.reg)), context);
        if (shown)
            shown(field.reg);
    }
}

int RegisterBinding::convert(const Bound &bound, const FieldContext &context) const
{
    const RegisterField &field = *bound.field;
    switch (field.kind) {
    case FieldKind::Whole:
        return textToInt(static_cast<QLineEdit *>(bound.controls.front())->text().toStdString());
    case FieldKind::Text:
        return field.conversion.store(
            context, static_cast<QLineEdit *>(bound.controls.front())->text().toStdString());
    case FieldKind::Flag: return read(bound) != 0 ? 1 : 0;
    case FieldKind::Choice:
    case FieldKind::Count: return read(bound);
    }
    return 0;
}

int RegisterBinding::value(int reg, const FieldContext &context) const
{
    const Bound *bound = find(reg);
    if (!bound)
        throw std::logic_error("no field for register " + std::to_string(reg));
    return convert(*bound, context);
}

std::vector<const RegisterField *> RegisterBinding::fields() const
{
    std::vector<const RegisterField *> fields;
    for (const Bound &bound : m_bound)
        fields.push_back(bound.field);
    return fields;
}

std::vector<RegisterBinding::Write> RegisterBinding::values(const FieldContext &context) const
{
    std::vector<Write> writes;
    for (const RegisterField *field : m_order) {
        if (!present(*field, context.devVer))
            continue;
        const Bound &bound = *find(field->reg);
        const int value = convert(bound, context);
        if (field->kind == FieldKind::Choice && value < 0 && field->optional)
            continue;
        writes.push_back({field, value});
    }
    return writes;
}

std::vector<RegisterBinding::EmptyChoice> RegisterBinding::emptyChoices(int devVer) const
{
    std::vector<EmptyChoice> empty;
    for (const Bound &bound : m_bound) {
        const RegisterField &field = *bound.field;
        if (field.kind != FieldKind::Choice || field.writeOrder < 0 || field.optional ||
            !present(field, devVer))
            continue;
        if (read(bound) >= 0) {
            mark(bound, std::nullopt);
            continue;
        }
        const auto marked = m_marked.find(field.reg);
        const int code = marked != m_marked.end() ? marked->second : -1;
        mark(bound, code);
        empty.push_back({&field, code});
    }
    return empty;
}

void RegisterBinding::mark(const Bound &bound, std::optional<int> code) const
{
    const int reg = bound.field->reg;
    if (!code) {
        if (m_marked.erase(reg) > 0)
            for (QWidget *control : bound.controls)
                control->setPalette(QPalette());
        return;
    }
    m_marked[reg] = *code;
    for (QWidget *control : bound.controls) {
        QPalette palette = control->palette();
        for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText})
            palette.setColor(role, Qt::red);
        control->setPalette(palette);
    }
}
