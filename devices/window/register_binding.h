#pragma once

#include "register_table.h"

#include <QList>

#include <functional>
#include <map>
#include <optional>
#include <vector>

class QWidget;

// A window's register table tied to the window's controls: a read block is
// shown and the values to write are taken through it, so the register map
// exists once. Every control is found when the binding is made; a name that
// the window lacks is a programming error and throws std::logic_error.
class RegisterBinding
{
public:
    RegisterBinding(const RegisterTable &table, QWidget &window);

    // Shows the registers that words holds (a read block of a module of
    // version index ctx.devVer, or a configuration file); sign turns a word
    // into the register's value by the window's sign rule. shown(reg) runs
    // after each register, for what a window does beyond filling the
    // control. A value outside a selector's items clears the selector; a
    // written one is then marked red until a choice is made.
    void show(const RegisterWords &words, int (*sign)(int word), const FieldContext &context,
              const std::function<void(int reg)> &shown = {}) const;

    using Write = FieldWrite;
    // The register values of the fields written, in write order, converted now
    // (text that is not a number raises ConversionError before anything is
    // sent). An optional selector left empty is not written.
    std::vector<Write> values(const FieldContext &context) const;

    // The written selectors of this version index that are empty, each with
    // the code its module held (-1 when no read showed one): the input check
    // fails on them, so no write sends 65535 for a choice nobody made. They
    // stay marked red; a selector chosen since gets its normal colour back.
    struct EmptyChoice
    {
        const RegisterField *field;
        int code;
    };
    std::vector<EmptyChoice> emptyChoices(int devVer) const;

    // The register value of one field as the write converts it (ConversionError
    // for text that is not a number); -1 for a selector left empty.
    int value(int reg, const FieldContext &context) const;
    // Every field of the table, in table order.
    std::vector<const RegisterField *> fields() const;

    // The item index of a selector, -1 for none; the value of a count control.
    int choice(int reg) const;
    void setChoice(int reg, int value) const;
    // The first control of a register, nullptr when the table has none.
    QWidget *control(int reg) const;

private:
    struct Bound
    {
        const RegisterField *field;
        QList<QWidget *> controls;
    };
    const Bound *find(int reg) const;
    int read(const Bound &bound) const;
    void write(const Bound &bound, int value, const FieldContext &context) const;
    int convert(const Bound &bound, const FieldContext &context) const;

    void mark(const Bound &bound, std::optional<int> code) const;

    std::vector<Bound> m_bound;
    // Selectors marked red, with the code without an item that cleared them
    // (-1: none was shown).
    mutable std::map<int, int> m_marked;
    std::vector<const RegisterField *> m_order; // every written field, in write order
};
