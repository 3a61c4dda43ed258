#include "resistance_registers.h"

#include "field_rules.h"
#include "numtext.h"
#include "register_values.h"

namespace {
// The offset is a whole number; typed fractions are truncated toward zero.
constexpr TextConversion WholeOffset = {
    [](const FieldContext &, int value) { return registerToText(value, 0); },
    [](const FieldContext &, const std::string &text) { return resistanceOffsetToRegister(text); }};

} // namespace

const RegisterTable &resistanceRegisters()
{
    // The trim counts show in their edit and in their scroll bar.
    static const RegisterTable table = {
        {2, "Edi3", "measuring range, low", FieldKind::Whole},
        {3, "Edi4", "measuring range, high", FieldKind::Whole},
        {4, "Edi61", "offset correction", FieldKind::Text, WholeOffset, 0, 1},
        {5, "Item3", "output direction", FieldKind::Choice, {}, 0, 0},
        {6, "Item4", "signal on sensor break", FieldKind::Choice, {}, 0, 2, Modbus::WriteRegister},
        {7, "Edit2", "output trim count, 4 mA", FieldKind::Whole},
        {7, "ScrollBar3", "output trim count, 4 mA", FieldKind::Count},
        {8, "Edit3", "output trim count, 20 mA", FieldKind::Whole},
        {8, "ScrollBar4", "output trim count, 20 mA", FieldKind::Count},
    };
    return table;
}

bool versionMatches(const ResistanceVariant &variant, int version)
{
    return variant.compact ? version <= LastCompactVersion : version > LastCompactVersion;
}

bool modelAccepted(const ResistanceVariant &variant, int model)
{
    return model >= FirstResistanceModel && model <= variant.lastModel;
}

std::string resistanceOffsetExit(const std::string &text, int bound)
{
    if (isBlank(text))
        return "0";
    const Decimal value = textToDecimal(text);
    const Decimal high = Decimal::fromScaled(bound, 0);
    const Decimal low = Decimal::fromScaled(-bound, 0);
    if (value.compare(low) < 0)
        return std::to_string(-bound);
    if (value.compare(high) > 0)
        return std::to_string(bound);
    return text;
}

int resistanceOffsetToRegister(const std::string &text)
{
    return textToRegister(text, 0);
}
