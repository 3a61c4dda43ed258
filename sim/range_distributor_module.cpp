#include "range_distributor_module.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int RangeDistributorDivisor = 16;

ModuleLayout rangeLayout()
{
    ModuleLayout layout;
    layout.holdingCount = 32;
    layout.commandRegister = 21;
    layout.referenceRegister = -1;
    layout.settingsRegisters = true;
    layout.ownSettingsRegister = 30;
    layout.outputs = 2;
    layout.liveRegisters = {4096, 4097, 4098};
    layout.countRegisters = {4099, 4100, 4101, 4102};
    return layout;
}

const std::vector<const char *> RangeDistributorHoldings = {"CH-1 input range",
                                                            "spare",
                                                            "CH-1 range low",
                                                            "CH-1 range high",
                                                            "output function range low",
                                                            "output function range high",
                                                            "PV1 offset",
                                                            "PV2 offset",
                                                            "CH-1 output direction",
                                                            "CH-1 sensor break signal",
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
                                                            "spare",
                                                            "CH-2 input range",
                                                            "spare",
                                                            "CH-2 range low",
                                                            "CH-2 range high",
                                                            "CH-2 output direction",
                                                            "CH-2 sensor break signal",
                                                            "filter",
                                                            "own slave address",
                                                            "own baud code"};

const char *const MillivoltPoints[] = {"480", "240", "120", "60", "30", "15"};

} // namespace

RangeDistributorModule::RangeDistributorModule(const ModuleConfig &config)
    : BasicModule(config, rangeLayout())
{
    // CH-1 range 15 (0..22 mA) measuring 4.00..20.00 mA, CH-2 range 9 (-12..12 V)
    // measuring 0.00..10.00 V, output function range 0.0..200.0 with
    // F = PV1 + PV2, 0/4..20 mA outputs, upscale on break, filter 3.
    const int defaults[] = {15, 0, 400, 2000, 0, 2000, 0, 0, 0, 1, 5461, 27306, 5461, 27306, 1,
                            1,  1, 0,   0,    0, 0,    0, 0, 9, 0, 0,    1000,  0,    1,     3};
    for (int reg = 0; reg < 30; ++reg)
        if (reg != 19 && reg != 20)
            setRegister(reg, defaults[reg]);
}

int RangeDistributorModule::checkWrite(int reg, int value) const
{
    return reg == RangeDistributorDivisor && value == 0 ? 3 : 0;
}

bool RangeDistributorModule::startsCalibration(int function, int reg) const
{
    return function == 6 && (reg == 0 || reg == 23);
}

bool RangeDistributorModule::isStoreCode(int code) const
{
    // 1 and 10 are the zero steps of CH-1 and CH-2, 2..9 and 11..18 their points.
    return code >= 1 && code <= 18;
}

int RangeDistributorModule::liveValue(int reg) const
{
    // Range, offset and live value share one scale (tenths for range 0,
    // hundredths otherwise).
    const auto channel = [this](int low, int high, int offset, double phase) {
        const int lo = signedHolding(low);
        const int hi = signedHolding(high);
        const double amplitude = std::max(1.0, std::abs(hi - lo) * 0.01);
        return wave((lo + hi) / 2.0 + signedHolding(offset), amplitude, phase);
    };
    const int pv1 = channel(2, 3, 6, 0.0);
    const int pv2 = channel(25, 26, 7, 1.9);
    switch (reg) {
    case 4096: return pv1;
    case 4097: return pv2;
    default: {
        // F is shown in tenths, the inputs in hundredths.
        const int f = outputFunction(pv1, pv2, signedHolding(14), signedHolding(15),
                                     signedHolding(RangeDistributorDivisor));
        return f == 32767 ? f : f / 10;
    }
    }
}

std::string RangeDistributorModule::holdingName(int reg) const
{
    return tableName(RangeDistributorHoldings, reg);
}

std::string RangeDistributorModule::commandName(int code) const
{
    if (code == 1 || code == 10)
        return std::string(code == 1 ? "CH-1" : "CH-2") + " zero step";
    if ((code >= 2 && code <= 9) || (code >= 11 && code <= 18)) {
        const std::string channel = code < 10 ? "CH-1" : "CH-2";
        const int point = code < 10 ? code - 2 : code - 11;
        if (point < 6)
            return "store " + channel + " " + MillivoltPoints[point] + " mV point";
        return "store " + channel + (point == 6 ? " 20 V point" : " 40 mA point");
    }
    return BasicModule::commandName(code);
}
