#include "transmitter_module.h"

namespace {

ModuleLayout transmitterLayout()
{
    ModuleLayout layout;
    layout.holdingCount = 11;
    layout.commandRegister = 9;
    layout.referenceRegister = 10;
    layout.outputs = 1;
    layout.liveRegisters = {4096};
    layout.countRegisters = {4099, 4100, 4101};
    layout.storeResult = true;
    return layout;
}

const std::vector<const char *> TransmitterHoldings = {"input type",
                                                       "unit",
                                                       "range low",
                                                       "range high",
                                                       "offset",
                                                       "output direction",
                                                       "sensor break signal",
                                                       "trim count 4 mA",
                                                       "trim count 20 mA",
                                                       "command",
                                                       "calibration reference"};

} // namespace

TransmitterModule::TransmitterModule(const ModuleConfig &config)
    : BasicModule(config, transmitterLayout())
{
    // Thermocouple K, deg C, 0..1000, no offset, 4..20 mA, upscale on break.
    const int defaults[] = {1, 0, 0, 1000, 0, 0, 1, 5461, 27306, 0, 0};
    for (int reg = 0; reg < 11; ++reg)
        setRegister(reg, defaults[reg]);
}

bool TransmitterModule::isStoreCode(int code) const
{
    switch (code) {
    case 1:
    case 2:
    case 3:
    case 8:
    case 9:
    case 14:
    case 15:
    case 20:
    case 21: return true;
    default: return false;
    }
}

void TransmitterModule::otherCommand(int code)
{
    if (code >= 36 && code <= 39)
        m_class = code;
}

int TransmitterModule::liveValue(int) const
{
    return typedLive(signedHolding(0), signedHolding(2), signedHolding(3), signedHolding(4), 0.0);
}

std::string TransmitterModule::holdingName(int reg) const
{
    return tableName(TransmitterHoldings, reg);
}

std::string TransmitterModule::commandName(int code) const
{
    switch (code) {
    case 1: return "store 0 mV point";
    case 2: return "store RTD low point";
    case 3: return "store RTD high point";
    case 8: return "store T/C low point";
    case 9: return "store T/C high point";
    case 14: return "store voltage low point";
    case 15: return "store voltage high point";
    case 20: return "store current low point";
    case 21: return "store current high point";
    case 36: return "calibrate thermocouple";
    case 37: return "calibrate RTD";
    case 38: return "calibrate voltage";
    case 39: return "calibrate current";
    default: return BasicModule::commandName(code);
    }
}
