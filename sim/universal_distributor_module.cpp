#include "universal_distributor_module.h"

#include "converter_module.h"

namespace {

ModuleLayout universalLayout()
{
    ModuleLayout layout;
    layout.holdingCount = 32;
    layout.commandRegister = 21;
    layout.referenceRegister = 22;
    layout.settingsRegisters = true;
    layout.ownSettingsRegister = 30;
    layout.outputs = 2;
    layout.liveRegisters = {4096, 4097};
    layout.countRegisters = {4099, 4100, 4101, 4102, 4103};
    return layout;
}

const std::vector<const char *> UniversalDistributorHoldings = {"CH-1 input type",
                                                                "CH-1 unit",
                                                                "CH-1 range low",
                                                                "CH-1 range high",
                                                                "spare",
                                                                "spare",
                                                                "PV1 offset",
                                                                "PV2 offset",
                                                                "CH-1 output direction",
                                                                "CH-1 sensor break signal",
                                                                "CH-1 trim count 0/4 mA",
                                                                "CH-1 trim count 20 mA",
                                                                "CH-2 trim count 0/4 mA",
                                                                "CH-2 trim count 20 mA",
                                                                "spare",
                                                                "spare",
                                                                "spare",
                                                                "spare",
                                                                "spare",
                                                                "slave address",
                                                                "baud code",
                                                                "command",
                                                                "calibration reference",
                                                                "CH-2 input type",
                                                                "CH-2 unit",
                                                                "CH-2 range low",
                                                                "CH-2 range high",
                                                                "CH-2 output direction",
                                                                "CH-2 sensor break signal",
                                                                "filter",
                                                                "own slave address",
                                                                "own baud code"};

} // namespace

UniversalDistributorModule::UniversalDistributorModule(const ModuleConfig &config)
    : BasicModule(config, universalLayout())
{
    // CH-1 thermocouple K 0..1000 deg C, CH-2 PT-100 0..400 deg C, no offsets,
    // 0/4..20 mA, upscale on break, filter 3.
    const int defaults[] = {1, 0, 0, 1000, 0, 0, 0, 0, 0,  1, 5461, 27306, 5461, 27306, 0,
                            0, 0, 0, 0,    0, 0, 0, 0, 10, 0, 0,    400,   0,    1,     3};
    for (int reg = 0; reg < 30; ++reg)
        if (reg != 19 && reg != 20)
            setRegister(reg, defaults[reg]);
}

bool UniversalDistributorModule::isStoreCode(int code) const
{
    return isTwoChannelStoreCode(code);
}

int UniversalDistributorModule::liveValue(int reg) const
{
    if (reg == 4096)
        return typedLive(signedHolding(0), signedHolding(2), signedHolding(3), signedHolding(6),
                         0.0);
    return typedLive(signedHolding(23), signedHolding(25), signedHolding(26), signedHolding(7),
                     1.9);
}

std::string UniversalDistributorModule::holdingName(int reg) const
{
    return tableName(UniversalDistributorHoldings, reg);
}

std::string UniversalDistributorModule::commandName(int code) const
{
    const std::string name = twoChannelStoreName(code);
    return name.empty() ? BasicModule::commandName(code) : name;
}
