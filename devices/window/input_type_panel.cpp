#include "input_type_panel.h"

#include "exit_edit.h"
#include "input_check.h"
#include "input_types.h"
#include "qt_text.h"
#include "radio_group.h"
#include "register_values.h"

#include <QLabel>

namespace {
std::string text(const QLineEdit *edit)
{
    return edit->text().toStdString();
}

} // namespace

InputTypePanel::InputTypePanel(const InputTypeControls &controls)
    : m_controls(controls)
{}

void InputTypePanel::setUnitCaptions(const std::string &caption)
{
    for (QLabel *label : std::as_const(m_controls.unitCaptions))
        label->setText(qs(caption));
}

std::optional<RangeDisplay> InputTypePanel::show(int type, int unit)
{
    if (!isInputType(type))
        return std::nullopt;
    const RangeDisplay display = rangeDisplay(type, unit);
    if (display.showLimits) {
        setUnitCaptions(display.unitCaption);
        m_controls.maxLow->setText(qs(display.lowText));
        m_controls.maxHigh->setText(qs(display.highText));
    }
    m_controls.boundLow->setText(qs(display.offsetLowText));
    m_controls.boundHigh->setText(qs(display.offsetHighText));
    if (m_controls.renameUnitChoices) {
        m_controls.unit->setItemText(0, qs(display.unitChoice0));
        m_controls.unit->setItemText(1, qs(display.unitChoice1));
    }
    return display;
}

void InputTypePanel::showUnitCaptions(int type)
{
    const int unit = m_controls.unit->itemIndex();
    if (unit == UnitCelsius || unit == UnitFahrenheit)
        setUnitCaptions(unit == UnitCelsius ? "deg C" : "deg F");
    if (isInputType(type) && !isTemperature(type))
        setUnitCaptions(rangeDisplay(type, unit).unitCaption);
}

void InputTypePanel::limitExit(ExitEdit *edit, int type, bool lower)
{
    edit->resetColor();
    if (!isInputType(type) || m_controls.maxLow->text().trimmed().isEmpty() ||
        m_controls.maxHigh->text().trimmed().isEmpty())
        return;
    const auto rule = lower ? lowerLimitExit : upperLimitExit;
    edit->setText(qs(rule(type, text(edit), text(m_controls.maxLow), text(m_controls.maxHigh),
                          m_controls.limits)));
}

void InputTypePanel::lowExit(int type)
{
    limitExit(m_controls.low, type, true);
}

void InputTypePanel::highExit(int type)
{
    limitExit(m_controls.high, type, false);
}

void InputTypePanel::offsetExit(ExitEdit *offset, int type)
{
    offset->resetColor();
    if (!isInputType(type))
        return;
    offset->setText(qs(::offsetExit(type, text(offset), m_controls.boundLow->text().toStdString(),
                                    m_controls.boundHigh->text().toStdString())));
}

bool InputTypePanel::check() const
{
    const int type = m_controls.type->itemIndex();
    const int unit = m_controls.unit->itemIndex();
    if (!isInputType(type))
        return false;
    bool passed = true;
    for (ExitEdit *edit : {m_controls.low, m_controls.high}) {
        if (!limitWithinRange(type, unit, text(edit))) {
            passed = false;
            edit->setColor(Qt::red);
        }
    }
    for (ExitEdit *edit : std::as_const(m_controls.offsets)) {
        if (!offsetWithinBound(type, unit, text(edit))) {
            passed = false;
            edit->setColor(Qt::red);
        }
    }
    return passed;
}

void InputTypePanel::resetColors() const
{
    for (ExitEdit *edit : {m_controls.low, m_controls.high})
        edit->resetColor();
    for (ExitEdit *edit : std::as_const(m_controls.offsets))
        edit->resetColor();
}

void InputTypePanel::orderLimits() const
{
    putInOrder(m_controls.low, m_controls.high);
}

void putInOrder(QLineEdit *low, QLineEdit *high)
{
    if (!needsExchange(text(low), text(high)))
        return;
    const QString lower = low->text();
    low->setText(high->text());
    high->setText(lower);
}

QStringList inputTypeItems(bool distributorTexts)
{
    QStringList items;
    for (int type = 0; type < InputTypeCount; ++type)
        items << (distributorTexts ? inputType(type).distributorText : inputType(type).text);
    return items;
}

void showInputTypeChoices(RadioGroup *type, RadioGroup *unit, const QStringList &types,
                          int typeColumns)
{
    type->setItems(types);
    type->setColumns(typeColumns);
    unit->setItems({"deg C", "deg F"});
    unit->setColumns(2);
}

void InputTypePanel::takeSelectedType(int &type) const
{
    if (isInputType(m_controls.type->itemIndex()))
        type = m_controls.type->itemIndex();
}

void InputTypePanel::selectForCalibration(int type, bool unit) const
{
    m_controls.type->setItemIndex(type);
    if (unit)
        m_controls.unit->setItemIndex(UnitCelsius);
}

void InputTypePanel::showBlock(const RegisterBinding &registers, const RegisterWords &words,
                               int (*sign)(int), int devVer, int &type,
                               const std::function<void(int)> &shown) const
{
    FieldContext context{type, devVer};
    registers.show(words, sign, context, [&](int reg) {
        shown(reg);
        context.type = type;
    });
}
