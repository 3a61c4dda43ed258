#include "configuration_check.h"

#include "register_values.h"

#include "device_settings.h"
#include "field_rules.h"
#include "input_check.h"
#include "input_types.h"
#include "numtext.h"
#include "range_display.h"
#include "resistance_registers.h"
#include "vma_ranges.h"

#include <functional>
#include <optional>

namespace {
// The registers of one input type group (a window's, or one channel's).
struct InputGroup
{
    int type;
    int unit; // -1: a V/mA range without unit
    int low;
    int high;
    std::vector<int> offsets;
    TemperatureLimit limits = TemperatureLimit::Whole;
};

// A text rule of a field: the text the field shows once the operator left it.
using TextRule = std::function<std::string(const std::string &text)>;

class Checker
{
public:
    Checker(const Configuration &configuration, int devVer)
        : m_configuration(configuration)
        , m_family(*familyRegisters(configuration.family))
        , m_devVer(devVer)
    {}

    const std::vector<std::string> &problems() const { return m_problems; }

    const RegisterField *field(int reg) const
    {
        const RegisterField *field = configurationField(m_family, reg);
        if (!field || !present(*field, m_devVer) || !m_configuration.values.contains(reg))
            return nullptr;
        return field;
    }
    std::optional<int> value(int reg) const
    {
        if (!field(reg))
            return std::nullopt;
        return m_configuration.values.at(reg);
    }

    void problem(const RegisterField &field, const std::string &what)
    {
        m_problems.push_back(std::string(field.meaning) + " (" + std::string(field.control) +
                             ", register " + std::to_string(field.reg) + "): " + what);
    }

    // The text the window shows for a register, in context.
    std::string text(const RegisterField &field, const FieldContext &context) const
    {
        const int value = m_configuration.values.at(field.reg);
        if (field.kind == FieldKind::Text && field.conversion.show)
            return field.conversion.show(context, value);
        return std::to_string(value);
    }
    int store(const RegisterField &field, const FieldContext &context, const std::string &text)
    {
        if (field.kind == FieldKind::Text && field.conversion.store)
            return field.conversion.store(context, text);
        return textToInt(text);
    }

    // A field whose exit rule would change its value.
    void exitRule(int reg, const FieldContext &context, const TextRule &rule)
    {
        const RegisterField *f = field(reg);
        if (!f)
            return;
        try {
            const std::string shown = text(*f, context);
            const std::string corrected = rule(shown);
            if (store(*f, context, corrected) != m_configuration.values.at(reg))
                problem(*f, shown + " is outside its rule (the window makes it " + corrected + ")");
        } catch (const ConversionError &) {
            problem(*f, "holds no value its field can show");
        }
    }
    // A field the input check refuses.
    void inputCheck(int reg, const FieldContext &context,
                    const std::function<bool(const std::string &)> &passes, const char *what)
    {
        const RegisterField *f = field(reg);
        if (!f)
            return;
        try {
            const std::string shown = text(*f, context);
            if (!passes(shown))
                problem(*f, shown + " is " + what);
        } catch (const ConversionError &) {
            problem(*f, "holds no value its field can show");
        }
    }

    void generic()
    {
        for (const auto &[reg, value] : m_configuration.values) {
            const RegisterField *f = field(reg);
            if (!f)
                continue;
            if (reg == AddressCell && f->writeOrder == SettingsStep) {
                if (!validAddress(std::to_string(value)))
                    problem(*f, std::to_string(value) + " is no slave address (1..255)");
            } else if (reg == BaudCell && f->writeOrder == SettingsStep) {
                if (!isBaudCode(value))
                    problem(*f, std::to_string(value) + " is no baud rate code (0..3)");
            } else if (f->kind == FieldKind::Choice && value < 0) {
                problem(*f, "no choice made");
            } else if (f->kind == FieldKind::Flag && value != 0 && value != 1) {
                problem(*f, std::to_string(value) + " is neither 0 nor 1");
            }
        }
    }

    // Limits the window would exchange before writing them (low above
    // high): a file is written as it stands, so they are refused instead.
    void limitsInOrder(int low, int high, const FieldContext &context)
    {
        const RegisterField *lowField = field(low);
        const RegisterField *highField = field(high);
        if (!lowField || !highField || !m_configuration.values.contains(low) ||
            !m_configuration.values.contains(high))
            return;
        try {
            const std::string lowText = text(*lowField, context);
            const std::string highText = text(*highField, context);
            if (needsExchange(lowText, highText))
                problem(*lowField, lowText + " is above the high limit " + highText);
        } catch (const ConversionError &) {
            // reported by the field's own rules
        }
    }

    void inputGroup(const InputGroup &group)
    {
        const std::optional<int> type = value(group.type);
        const std::optional<int> unit = value(group.unit);
        if (!type || !unit)
            return;
        if (!isInputType(*type)) {
            problem(*field(group.type), std::to_string(*type) + " is no input type");
            return;
        }
        const FieldContext context{*type, m_devVer};
        const RangeDisplay range = rangeDisplay(*type, *unit);
        if (range.showLimits) {
            exitRule(group.low, context, [&](const std::string &text) {
                return lowerLimitExit(*type, text, range.lowText, range.highText, group.limits);
            });
            exitRule(group.high, context, [&](const std::string &text) {
                return upperLimitExit(*type, text, range.lowText, range.highText, group.limits);
            });
        }
        limitsInOrder(group.low, group.high, context);
        for (const int reg : {group.low, group.high})
            inputCheck(
                reg, context,
                [&](const std::string &text) { return limitWithinRange(*type, *unit, text); },
                "outside the maximal range of the type");
        for (const int reg : group.offsets) {
            exitRule(reg, context, [&](const std::string &text) {
                return offsetExit(*type, text, range.offsetLowText, range.offsetHighText);
            });
            inputCheck(
                reg, context,
                [&](const std::string &text) { return offsetWithinBound(*type, *unit, text); },
                "outside the offset bound of the type");
        }
    }

    void vmaChannel(int rangeReg, int low, int high, int offset, const FieldContext &context)
    {
        const std::optional<int> range = value(rangeReg);
        if (!range)
            return;
        if (!isVmaRange(*range)) {
            problem(*field(rangeReg), std::to_string(*range) + " is no range");
            return;
        }
        for (const int reg : {low, high})
            inputCheck(
                reg, context,
                [&](const std::string &text) { return vmaLimitWithinRange(*range, text); },
                "outside the range");
        inputCheck(
            offset, context,
            [&](const std::string &text) { return vmaOffsetWithinBound(*range, text); },
            "outside the offset bound of the range");
    }

    void outputFunction(const FieldContext &context, const TextRule &low, const TextRule &high)
    {
        exitRule(14, context, coefficientExit);
        exitRule(15, context, coefficientExit);
        exitRule(16, context, divisorExit);
        exitRule(4, context, low);
        exitRule(5, context, high);
    }

private:
    const Configuration &m_configuration;
    const FamilyRegisters &m_family;
    int m_devVer;
    std::vector<std::string> m_problems;
};
} // namespace

std::vector<std::string> configurationProblems(const Configuration &configuration, int devVer)
{
    if (!familyRegisters(configuration.family))
        return {"the file names no family of modules"};
    Checker check(configuration, devVer);
    check.generic();
    switch (static_cast<ModuleFamily>(configuration.family)) {
    case ModuleFamily::Transmitter: check.inputGroup({0, 1, 2, 3, {4}}); break;
    case ModuleFamily::Converter: {
        check.inputGroup({0, 1, 2, 3, {6, 7}});
        const int type = check.value(0).value_or(-1);
        if (isInputType(type))
            check.outputFunction(
                {type, devVer},
                [type](const std::string &text) { return outputLowExit(type, text); },
                [type](const std::string &text) { return outputHighExit(type, text); });
        break;
    }
    case ModuleFamily::Resistance: {
        const int bound = devVer > LastCompactVersion ? ResistanceTransmitter.offsetBound
                                                      : CompactResistanceTransmitter.offsetBound;
        check.exitRule(4, {0, devVer}, [bound](const std::string &text) {
            return resistanceOffsetExit(text, bound);
        });
        break;
    }
    case ModuleFamily::Distributor:
        check.inputGroup({0, 1, 2, 3, {6}, TemperatureLimit::General});
        check.inputGroup({23, 24, 25, 26, {7}, TemperatureLimit::General});
        break;
    case ModuleFamily::VmaDistributor: {
        const FieldContext context{check.value(0).value_or(0), devVer, check.value(23).value_or(0)};
        check.vmaChannel(0, 2, 3, 6, context);
        check.vmaChannel(23, 25, 26, 7, context);
        check.outputFunction(
            context,
            [](const std::string &text) {
                return bandExit(OutputFunctionDecimals, OutputFunctionBand, text, true);
            },
            [](const std::string &text) {
                return bandExit(OutputFunctionDecimals, OutputFunctionBand, text, false);
            });
        break;
    }
    }
    return check.problems();
}

ModuleMatch matchModule(Configuration &configuration, int model, int devVer)
{
    ModuleMatch match;
    match.otherModel = configuration.model != model;
    const FamilyRegisters *family = familyRegisters(configuration.family);
    if (!family)
        return match;
    const auto named = [](const RegisterField &field) {
        return std::string(field.meaning) + " (" + std::string(field.control) + ", register " +
               std::to_string(field.reg) + ")";
    };
    const auto valueOf = [&](int reg) {
        const auto value = configuration.values.find(reg);
        return value == configuration.values.end() ? 0 : value->second;
    };
    const FieldContext from{valueOf(0), configuration.version, valueOf(23)};
    const FieldContext to{from.type, devVer, from.type2};
    for (auto &[reg, value] : configuration.values) {
        const RegisterField *field = configurationField(*family, reg);
        if (!field)
            continue;
        if (!present(*field, devVer)) {
            match.notTaken.push_back(named(*field));
            continue;
        }
        if (field->kind != FieldKind::Text || !field->conversion.show)
            continue;
        try {
            const std::string text = field->conversion.show(from, value);
            const int rescaled = field->conversion.store(to, text);
            if (rescaled != value) {
                match.rescaled.push_back(
                    named(*field) + ": " + text + " is " + std::to_string(value) +
                    " at version index " + std::to_string(configuration.version) + " and " +
                    std::to_string(rescaled) + " at version index " + std::to_string(devVer) +
                    ", written as " + std::to_string(rescaled));
                value = rescaled;
            }
        } catch (const std::exception &) {
            // A value without a scale (no input type) is left to the checks.
        }
    }
    for (const RegisterField *field : configurationFields(*family, devVer))
        if (field->minVer > configuration.version && !configuration.values.contains(field->reg))
            match.notInFile.push_back(named(*field));
    return match;
}
