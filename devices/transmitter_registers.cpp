#include "transmitter_registers.h"

#include "field_conversions.h"

namespace {

// The early module that reports model byte 12 and version byte 38.
constexpr int EarlyModel = 12;
constexpr int EarlyVersion = 38;

bool isEarlyModule(int model, int version)
{
    return model == EarlyModel && version == EarlyVersion;
}
} // namespace

const RegisterTable &transmitterRegisters()
{
    // Table order is the order a read shows the registers in: the input type
    // and unit first, since the other fields are scaled by them.
    static const RegisterTable table = {
        {0, "Item1", "input signal type", FieldKind::Choice, {}, 0, 6, Modbus::WriteRegister},
        {1, "Item3", "unit", FieldKind::Choice, {}, 0, 3},
        {2, "Edi3", "measuring range, low", FieldKind::Text, LimitText, 0, 0},
        {3, "Edi4", "measuring range, high", FieldKind::Text, LimitText, 0, 1},
        {4, "Edi61", "offset correction", FieldKind::Text, OffsetText, 0, 2},
        {5, "Item4", "output direction", FieldKind::Choice, {}, 0, 4},
        {6, "Item5", "signal on sensor break", FieldKind::Choice, {}, 0, 5},
        {TransmitterTrimLow, "ScrollBar3", "output trim count, 4 mA", FieldKind::Count},
        {TransmitterTrimHigh, "ScrollBar4", "output trim count, 20 mA", FieldKind::Count},
    };
    return table;
}

bool transmitterAccepts(int model, int version)
{
    // Code 18 is a transmitter too: the scan hands it to this window.
    switch (model) {
    case 1:
    case 2:
    case 16:
    case 17:
    case 18: return true;
    default: return isEarlyModule(model, version);
    }
}

int transmitterVersion(int model, int version)
{
    return isEarlyModule(model, version) ? 0 : version;
}

std::string_view transmitterModelLabel(int model)
{
    switch (model) {
    case 1: return "RX110";
    case 2:
    case 17: return "RY550";
    default: return {};
    }
}

bool transmitterHidesVoltageAndCurrent(int model)
{
    return model == 17;
}
