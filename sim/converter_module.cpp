#include "converter_module.h"

namespace {

constexpr int ConverterDivisor = 16;

ModuleLayout converterLayout()
{
    ModuleLayout layout;
    layout.holdingCount = 26;
    layout.commandRegister = 21;
    layout.referenceRegister = 22;
    layout.settingsRegisters = true;
    layout.ownSettingsRegister = 24;
    layout.outputs = 2;
    layout.liveRegisters = {4096, 4097, 4098};
    layout.countRegisters = {4099, 4100, 4101, 4102, 4103};
    return layout;
}

const std::vector<const char *> ConverterHoldings = {"input type",
                                                     "unit",
                                                     "range low",
                                                     "range high",
                                                     "output function range low",
                                                     "output function range high",
                                                     "PV1 offset",
                                                     "PV2 offset",
                                                     "output direction",
                                                     "sensor break signal",
                                                     "CH-1 trim count 0/4 mA",
                                                     "CH-1 trim count 20 mA",
                                                     "CH-2 trim count 0/4 mA",
                                                     "CH-2 trim count 20 mA",
                                                     "coefficient A",
                                                     "coefficient B",
                                                     "divisor C",
                                                     "output 1 source",
                                                     "square root",
                                                     "slave address",
                                                     "baud code",
                                                     "command",
                                                     "calibration reference",
                                                     "filter",
                                                     "own slave address",
                                                     "own baud code"};

} // namespace

bool isTwoChannelStoreCode(int code)
{
    switch (code) {
    case 1:
    case 2:
    case 3:
    case 5:
    case 6:
    case 8:
    case 9:
    case 11:
    case 12:
    case 14:
    case 15:
    case 17:
    case 18:
    case 20:
    case 21:
    case 23:
    case 24:
    case 26: return true;
    default: return false;
    }
}

std::string twoChannelStoreName(int code)
{
    switch (code) {
    case 1: return "store CH-1 0 mV point";
    case 2: return "store CH-1 RTD low point";
    case 3: return "store CH-1 RTD high point";
    case 5: return "store CH-2 RTD low point";
    case 6: return "store CH-2 RTD high point";
    case 8: return "store CH-1 T/C low point";
    case 9: return "store CH-1 T/C high point";
    case 11: return "store CH-2 T/C low point";
    case 12: return "store CH-2 T/C high point";
    case 14: return "store CH-1 voltage low point";
    case 15: return "store CH-1 voltage high point";
    case 17: return "store CH-2 voltage low point";
    case 18: return "store CH-2 voltage high point";
    case 20: return "store CH-1 current low point";
    case 21: return "store CH-1 current high point";
    case 23: return "store CH-2 current low point";
    case 24: return "store CH-2 current high point";
    case 26: return "store CH-2 0 mV point";
    default: return {};
    }
}

ConverterModule::ConverterModule(const ModuleConfig &config)
    : BasicModule(config, converterLayout())
{
    // Thermocouple K, deg C, 0..1000, output function range 0.0..1000.0, no
    // offsets, 4..20 mA, upscale on break, F = (PV1 + PV2) / 2 on output 1's
    // choice PV1, filter 3. Registers 19/20 and 24/25 follow the settings.
    const int defaults[] = {1,    0,     0, 1000, 0, 10000, 0, 0, 0, 1, 5461, 27306,
                            5461, 27306, 1, 1,    2, 0,     0, 0, 0, 0, 0,    3};
    for (int reg = 0; reg < 24; ++reg)
        if (reg != 19 && reg != 20)
            setRegister(reg, defaults[reg]);
}

int ConverterModule::checkWrite(int reg, int value) const
{
    // F divides by C: a module never takes 0 there.
    return reg == ConverterDivisor && value == 0 ? 3 : 0;
}

bool ConverterModule::isStoreCode(int code) const
{
    return isTwoChannelStoreCode(code);
}

int ConverterModule::liveValue(int reg) const
{
    const int type = signedHolding(0);
    const int pv1 = typedLive(type, signedHolding(2), signedHolding(3), signedHolding(6), 0.0);
    const int pv2 = typedLive(type, signedHolding(2), signedHolding(3), signedHolding(7), 1.9);
    switch (reg) {
    case 4096: return pv1;
    case 4097: return pv2;
    default:
        return outputFunction(pv1, pv2, signedHolding(14), signedHolding(15),
                              signedHolding(ConverterDivisor));
    }
}

std::string ConverterModule::holdingName(int reg) const
{
    return tableName(ConverterHoldings, reg);
}

std::string ConverterModule::commandName(int code) const
{
    const std::string name = twoChannelStoreName(code);
    return name.empty() ? BasicModule::commandName(code) : name;
}
