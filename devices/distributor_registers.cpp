#include "distributor_registers.h"

#include "input_types.h"
#include "register_values.h"

namespace {
// A type the window has no item for leaves its fields in whole register
// values: nothing is scaled by a type nobody chose (the input check then
// refuses the write).
int rangeScale(int type)
{
    return isInputType(type) ? rangeDecimals(type) : 0;
}

int offsetScale(int type)
{
    return isInputType(type) ? offsetDecimals(type) : 0;
}

// Measuring range limits: whole degrees, hundredths of mV, thousandths of V/mA.
constexpr TextConversion Limit = {
    [](const FieldContext &c, int value) { return registerToText(value, rangeScale(c.type)); },
    [](const FieldContext &c, const std::string &text) {
        return textToRegister(text, rangeScale(c.type));
    }};
// Offsets: tenths of degrees, hundredths of mV, thousandths of V/mA.
constexpr TextConversion ChannelOffset = {
    [](const FieldContext &c, int value) { return registerToText(value, offsetScale(c.type)); },
    [](const FieldContext &c, const std::string &text) {
        return textToRegister(text, offsetScale(c.type));
    }};

// Control names of one channel, in DistributorChannel order.
struct ChannelControls
{
    const char *type;
    const char *unit;
    const char *low;
    const char *high;
    const char *offset;
    const char *direction;
    const char *fault;
};

constexpr ChannelControls Controls[2] = {
    {"Item1", "Item3", "Edit1", "Edit2", "Edit5", "Item4", "Item5"},
    {"RadioGroup1", "RadioGroup2", "Edit8", "Edit9", "Edit12", "RadioGroup3", "RadioGroup4"},
};

constexpr int FieldsPerChannel = 7;

// What each field of a channel holds, in DistributorChannel order.
constexpr std::string_view Meanings[2][7] = {
    {"CH-1 input signal type", "CH-1 unit", "CH-1 measuring range, low",
     "CH-1 measuring range, high", "CH-1 offset correction", "CH-1 output direction",
     "CH-1 signal on sensor break"},
    {"CH-2 input signal type", "CH-2 unit", "CH-2 measuring range, low",
     "CH-2 measuring range, high", "CH-2 offset correction", "CH-2 output direction",
     "CH-2 signal on sensor break"},
};

RegisterTable channelTable(int channel)
{
    const DistributorChannel &r = DistributorChannels[static_cast<std::size_t>(channel)];
    const ChannelControls &c = Controls[channel];
    const auto &m = Meanings[channel];
    const int first = channel * FieldsPerChannel;
    return {
        {r.type, c.type, m[0], FieldKind::Choice, {}, 0, first},
        {r.unit, c.unit, m[1], FieldKind::Choice, {}, 0, first + 1},
        {r.low, c.low, m[2], FieldKind::Text, Limit, 0, first + 2},
        {r.high, c.high, m[3], FieldKind::Text, Limit, 0, first + 3},
        {r.offset, c.offset, m[4], FieldKind::Text, ChannelOffset, 0, first + 4},
        {r.direction, c.direction, m[5], FieldKind::Choice, {}, 0, first + 5},
        {r.fault, c.fault, m[6], FieldKind::Choice, {}, 0, first + 6},
    };
}
} // namespace

const RegisterTable &distributorChannelRegisters(int channel)
{
    static const RegisterTable tables[2] = {channelTable(0), channelTable(1)};
    return tables[channel == 0 ? 0 : 1];
}

const RegisterTable &distributorCommonRegisters()
{
    static const RegisterTable table = {
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
        {29,
         "ComboBox2",
         "filter",
         FieldKind::Choice,
         {},
         2,
         2 * FieldsPerChannel,
         Modbus::WriteCoil,
         true,
         true},
    };
    return table;
}

int distributorBlockCount(int devVer)
{
    return devVer >= 2 ? 30 : 29;
}

bool isUniversalDistributorModel(int model)
{
    return model == 49 || (model >= 55 && model <= 58);
}
