#pragma once

#include "modbus_functions.h"

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// What a field's conversions depend on: the input type last applied (InType)
// and the module's version index; on a two-channel module type is CH-1's and
// type2 CH-2's input type or range.
struct FieldContext
{
    int type = 0;
    int devVer = 0;
    int type2 = 0;
};

// How a register value meets its control.
enum class FieldKind {
    Choice, // item index of a selector (radio group, combo box, radio buttons); a value
            // outside the items clears the selector
    Flag,   // check box: 0 off, any other value on; written as 1 or 0
    Count,  // position of a scroll bar or similar value control
    Whole,  // whole number text
    Text,   // text through the field's own conversion (scaled decimals, ranges)
};

// Text shown for a register value, and register value of a text. The store
// conversion raises ConversionError for text that is not a number.
struct TextConversion
{
    std::string (*show)(const FieldContext &context, int value) = nullptr;
    int (*store)(const FieldContext &context, const std::string &text) = nullptr;
};

// writeOrder of the address and baud rate: written by the address and baud
// step that ends a configuration write, not in the write order itself.
inline constexpr int SettingsStep = -2;

// One register of a window's configuration block: the control that shows it,
// what it means, when it is there, how it converts and where it goes in the
// write order.
struct RegisterField
{
    int reg = 0;
    // objectName of the control; radio buttons that together make one choice
    // are listed as "First|Second|Third" in the order of their values.
    std::string_view control;
    // What the register holds, in a few words (configuration files show it).
    std::string_view meaning;
    FieldKind kind = FieldKind::Whole;
    TextConversion conversion = {};
    int minVer = 0;                   // shown and written only from this version index on
    int writeOrder = -1;              // place in the configuration write; -1: not written by it;
                                      // SettingsStep: the address and baud step writes it
    int function = Modbus::WriteCoil; // write function
    bool drain = false;               // ReadReply before the write and before its repetition
    bool optional = false; // a selector left empty is not written (no input check failure)
};

using RegisterTable = std::vector<RegisterField>;

// A register value of a configuration write, converted before anything is sent.
struct FieldWrite
{
    const RegisterField *field;
    int value;
};

// The fields of a table that a configuration write writes, in write order.
std::vector<const RegisterField *> writeOrder(const RegisterTable &table);

// True when the field is there on a module of this version index.
inline bool present(const RegisterField &field, int devVer)
{
    return devVer >= field.minVer;
}

// The register words a window shows: those of a read reply's block
// (registers 0..count-1), or those a configuration file holds. A word is the
// 16-bit register value, before the window's sign rule.
class RegisterWords
{
public:
    RegisterWords(int count, std::function<int(int reg)> word);
    explicit RegisterWords(std::map<int, int> words);

    bool has(int reg) const;
    int word(int reg) const;

private:
    int m_count = 0;
    std::function<int(int)> m_word;
    std::map<int, int> m_words;
};
