#include "converter_registers.h"

#include "field_conversions.h"

namespace {
// Output function range: as the offsets, but whole degrees before version 3.
constexpr TextConversion Output = {
    [](const FieldContext &c, int value) { return outputFromRegister(c.type, value, c.devVer); },
    [](const FieldContext &c, const std::string &text) {
        return outputToRegister(c.type, text, c.devVer);
    }};

} // namespace

const RegisterTable &converterRegisters()
{
    // Table order is the order a read shows the registers in: the input type
    // and unit first, since the other fields are scaled by them.
    static const RegisterTable table = {
        {0, "Item1", "input signal type", FieldKind::Choice, {}, 0, 0},
        {1, "Item3", "unit", FieldKind::Choice, {}, 0, 1},
        {2, "Edi3", "measuring range, low", FieldKind::Text, LimitText, 0, 2},
        {3, "Edi4", "measuring range, high", FieldKind::Text, LimitText, 0, 3},
        {4, "Edit13", "output function range, low", FieldKind::Text, Output, 0, 8},
        {5, "Edit14", "output function range, high", FieldKind::Text, Output, 0, 9},
        {6, "Edi61", "PV1 offset correction", FieldKind::Text, OffsetText, 0, 4},
        {7, "Edi62", "PV2 offset correction", FieldKind::Text, OffsetText, 0, 5},
        {8, "Item4", "output direction", FieldKind::Choice, {}, 0, 6},
        {9, "Item5", "signal on sensor break", FieldKind::Choice, {}, 0, 7},
        // Output trim counts, written by the trim controls only.
        {10, "ScrollBar3", "output-1 trim count, low end", FieldKind::Count},
        {11, "ScrollBar4", "output-1 trim count, 20 mA", FieldKind::Count},
        {12, "ScrollBar5", "output-2 trim count, low end", FieldKind::Count},
        {13, "ScrollBar6", "output-2 trim count, 20 mA", FieldKind::Count},
        {14, "Edit8", "output function coefficient A", FieldKind::Whole, {}, 0, 10},
        {15, "Edit11", "output function coefficient B", FieldKind::Whole, {}, 0, 11},
        {16, "Edit12", "output function divisor C", FieldKind::Whole, {}, 0, 12},
        {17, "RadioButton4|RadioButton5|High|Low", "output-1 source", FieldKind::Choice, {}, 0, 13},
        {18, "CheckBox2", "square root of the output function", FieldKind::Flag, {}, 0, 14},
        {19, "ID_Edit", "slave address", FieldKind::Whole, {}, 5, SettingsStep},
        {20,
         "ComboBox1",
         "baud rate code",
         FieldKind::Choice,
         {},
         5,
         SettingsStep,
         Modbus::WriteRegister,
         false,
         true},
        {23, "ComboBox2", "filter", FieldKind::Choice, {}, 8, 15, Modbus::WriteCoil, true, true},
    };
    return table;
}

int converterBlockCount(int devVer)
{
    return devVer >= ConverterRestoreMinVer ? 24 : 23;
}
