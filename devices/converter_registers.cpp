#include "converter_registers.h"

#include "field_conversions.h"

namespace {
// Output function range: as the offsets, but whole degrees before version 3.
constexpr TextConversion Output = {
    [](const FieldContext &c, int value) { return outputFromRegister(c.type, value, c.devVer); },
    [](const FieldContext &c, const std::string &text) {
        return outputToRegister(c.type, text, c.devVer);
    }};

using K = FieldKind;
} // namespace

const RegisterTable &converterRegisters()
{
    // Table order is the order a read shows the registers in: the input type
    // and unit first, since the other fields are scaled by them.
    static const RegisterTable table = {
        {0, "Item1", K::Choice, {}, 0, 0},
        {1, "Item3", K::Choice, {}, 0, 1},
        {2, "Edi3", K::Text, LimitText, 0, 2},
        {3, "Edi4", K::Text, LimitText, 0, 3},
        {4, "Edit13", K::Text, Output, 0, 8},
        {5, "Edit14", K::Text, Output, 0, 9},
        {6, "Edi61", K::Text, OffsetText, 0, 4},
        {7, "Edi62", K::Text, OffsetText, 0, 5},
        {8, "Item4", K::Choice, {}, 0, 6},
        {9, "Item5", K::Choice, {}, 0, 7},
        // Output trim counts, written by the trim controls only.
        {10, "ScrollBar3", K::Count},
        {11, "ScrollBar4", K::Count},
        {12, "ScrollBar5", K::Count},
        {13, "ScrollBar6", K::Count},
        {14, "Edit8", K::Whole, {}, 0, 10},
        {15, "Edit11", K::Whole, {}, 0, 11},
        {16, "Edit12", K::Whole, {}, 0, 12},
        {17, "RadioButton4|RadioButton5|High|Low", K::Choice, {}, 0, 13},
        {18, "CheckBox2", K::Flag, {}, 0, 14},
        {19, "ID_Edit", K::Whole, {}, 5},
        {20, "ComboBox1", K::Choice, {}, 5, -1, 6, false, true},
        {23, "ComboBox2", K::Choice, {}, 8, 15, 5, true, true},
    };
    return table;
}

int converterBlockCount(int devVer)
{
    return devVer >= ConverterRestoreMinVer ? 24 : 23;
}
