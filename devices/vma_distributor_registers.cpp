#include "vma_distributor_registers.h"

#include "register_values.h"
#include "vma_ranges.h"

namespace {
// Limits and offsets of CH-1 and CH-2, in the scale of the channel's range.
constexpr TextConversion Channel1 = {
    [](const FieldContext &c, int value) { return vmaFromRegister(c.type, value); },
    [](const FieldContext &c, const std::string &text) { return vmaToRegister(c.type, text); }};
constexpr TextConversion Channel2 = {
    [](const FieldContext &c, int value) { return vmaFromRegister(c.type2, value); },
    [](const FieldContext &c, const std::string &text) { return vmaToRegister(c.type2, text); }};
// The output function's measuring range, in tenths.
constexpr TextConversion OutputRange = {
    [](const FieldContext &, int value) { return registerToText(value, OutputFunctionDecimals); },
    [](const FieldContext &, const std::string &text) {
        return textToRegister(text, OutputFunctionDecimals);
    }};

constexpr int Filter = VmaDistributorFilterMinVer;
} // namespace

const RegisterTable &vmaDistributorRegisters()
{
    // Table order is the order a read shows the registers in: the two ranges
    // first, since the limits and offsets are scaled by them.
    static const RegisterTable table = {
        {0, "Item_1", "CH-1 range", FieldKind::Choice, {}, 0, 0},
        {23, "Item_7", "CH-2 range", FieldKind::Choice, {}, 0, 6},
        {2, "Edit1", "CH-1 measuring range, low", FieldKind::Text, Channel1, 0, 1},
        {3, "Edit2", "CH-1 measuring range, high", FieldKind::Text, Channel1, 0, 2},
        {6, "Edit5", "CH-1 offset correction", FieldKind::Text, Channel1, 0, 3},
        {8, "Item_2", "CH-1 output direction", FieldKind::Choice, {}, 0, 4},
        {9, "Item_4", "CH-1 signal on sensor break", FieldKind::Choice, {}, 0, 5},
        {25, "Edit8", "CH-2 measuring range, low", FieldKind::Text, Channel2, 0, 7},
        {26, "Edit9", "CH-2 measuring range, high", FieldKind::Text, Channel2, 0, 8},
        {7, "Edit12", "CH-2 offset correction", FieldKind::Text, Channel2, 0, 9},
        {27, "Item_8", "CH-2 output direction", FieldKind::Choice, {}, 0, 10},
        {28, "Item_10", "CH-2 signal on sensor break", FieldKind::Choice, {}, 0, 11},
        {4, "Lo_S", "output function range, low", FieldKind::Text, OutputRange, 0, 12},
        {5, "Hi_S", "output function range, high", FieldKind::Text, OutputRange, 0, 13},
        {14, "Set_A", "output function coefficient A", FieldKind::Whole, {}, 0, 14},
        {15, "Set_B", "output function coefficient B", FieldKind::Whole, {}, 0, 15},
        {16, "Set_C", "output function divisor C", FieldKind::Whole, {}, 0, 16},
        {17, "RadioButton4|RadioButton5|High|Low", "output-1 source", FieldKind::Choice, {}, 0, 17},
        {18, "CheckBox2", "square root of the output function", FieldKind::Flag, {}, 0, 18},
        {29,
         "ComboBox2",
         "filter",
         FieldKind::Choice,
         {},
         Filter,
         19,
         Modbus::WriteCoil,
         true,
         true},
        {10, "ScrollBar1", "CH-1 output trim count, low end", FieldKind::Count},
        {11, "ScrollBar2", "CH-1 output trim count, 20 mA", FieldKind::Count},
        {12, "ScrollBar3", "CH-2 output trim count, low end", FieldKind::Count},
        {13, "ScrollBar4", "CH-2 output trim count, 20 mA", FieldKind::Count},
        {19, "ID_Edit", "slave address", FieldKind::Whole, {}, 0, SettingsStep},
        {20,
         "ComboBox1",
         "baud rate code",
         FieldKind::Choice,
         {},
         0,
         SettingsStep,
         Modbus::WriteRegister,
         false,
         true},
    };
    return table;
}

int vmaDistributorBlockCount(int devVer)
{
    return devVer >= VmaDistributorFilterMinVer ? 30 : 29;
}

const CalibrationRules &vmaDistributorCalibrationRules()
{
    static const CalibrationRules rules = {.commandRegister = VmaDistributorCommandCell,
                                           .referenceRegister = -1,
                                           .typeRegister = VmaRangeRegister1,
                                           .unitRegister = -1,
                                           .countRegister = 4099,
                                           .secondTypeRegister = VmaRangeRegister2,
                                           .storeRetryDrained = false};
    return rules;
}

const CalibrationTable &vmaDistributorCalibration()
{
    // One row per point: Start, Done, range selected, count field, store code.
    struct Row
    {
        std::string_view start, done;
        int range;
        std::string_view field;
        int code;
    };
    constexpr Row Channel1[] = {
        {"Btn_21", "Btn_27", 0, "Edit_21", 2}, {"Btn_22", "Btn_28", 1, "Edit_22", 3},
        {"Btn_23", "Btn_29", 2, "Edit_23", 4}, {"Btn_24", "Btn_30", 3, "Edit_24", 5},
        {"Btn_25", "Btn_31", 4, "Edit_25", 6}, {"Btn_26", "Btn_32", 5, "Edit_26", 7},
        {"Btn_61", "Btn_62", 8, "Edit_61", 8}, {"Btn_63", "Btn_64", 14, "Edit_63", 9},
    };
    constexpr Row Channel2[] = {
        {"Btn_41", "Btn_47", 0, "Edit_41", 11}, {"Btn_42", "Btn_48", 1, "Edit_42", 12},
        {"Btn_43", "Btn_49", 2, "Edit_43", 13}, {"Btn_44", "Btn_50", 3, "Edit_44", 14},
        {"Btn_45", "Btn_51", 4, "Edit_45", 15}, {"Btn_46", "Btn_52", 5, "Edit_46", 16},
        {"Btn_71", "Btn_72", 8, "Edit_71", 17}, {"Btn_73", "Btn_74", 14, "Edit_73", 18},
    };
    static const CalibrationTable table = [&] {
        CalibrationTable points;
        // CH-1 shows A0 (first count), CH-2 A3 (fourth); the range goes to
        // the channel's range register, 0 or 23, with function 6.
        const auto add = [&points](const Row &row, int channel, int count) {
            points.push_back({.start = row.start,
                              .done = row.done,
                              .type = row.range,
                              .unitFunction = 0,
                              .pollCount = 4,
                              .counts = {{row.field, count}},
                              .code = row.code,
                              .channel = channel,
                              .typeFunction = 6});
        };
        for (const Row &row : Channel1)
            add(row, 0, 0);
        for (const Row &row : Channel2)
            add(row, 1, 3);
        return points;
    }();
    return table;
}
