#include "resistance_module.h"

#include <algorithm>

namespace {

constexpr int PointValueRegister = 10;
constexpr int FirstPointRegister = 11;
constexpr int LastPointRegister = 35;
constexpr int LastPoint = 25;

ModuleLayout resistanceLayout()
{
    ModuleLayout layout;
    layout.holdingCount = 36;
    layout.commandRegister = 9;
    layout.referenceRegister = PointValueRegister;
    layout.outputs = 1;
    layout.liveRegisters = {4096};
    layout.countRegisters = {4100};
    layout.storeResult = true;
    return layout;
}

const std::vector<const char *> ResistanceHoldings = {"spare",
                                                      "spare",
                                                      "range low",
                                                      "range high",
                                                      "offset",
                                                      "output direction",
                                                      "sensor break signal",
                                                      "trim count 4 mA",
                                                      "trim count 20 mA",
                                                      "command",
                                                      "point value"};

bool compact(int version)
{
    return version <= 4;
}

} // namespace

ResistanceModule::ResistanceModule(const ModuleConfig &config)
    : BasicModule(config, resistanceLayout())
{
    // Range 0..1000, no offset, 4..20 mA, upscale on break.
    const int defaults[] = {0, 0, 0, 1000, 0, 0, 1, 5461, 27306, 0, 0};
    for (int reg = 0; reg <= PointValueRegister; ++reg)
        setRegister(reg, defaults[reg]);

    // Calibration points spread evenly over the range. Registers a mode does
    // not use repeat the point before them, as after a calibration.
    const int points = std::max(2, pointsOfMode(config.model, config.version));
    const auto pointValue = [points](int k) { return (k - 1) * 1000 / (points - 1); };
    if (compact(config.version)) {
        for (int reg = FirstPointRegister; reg < 30; ++reg)
            setRegister(reg, pointValue(std::min(reg - 9, points - 1)));
        for (int reg = 30; reg <= LastPointRegister; ++reg)
            setRegister(reg, 0);
    } else {
        for (int reg = FirstPointRegister; reg < LastPointRegister; ++reg)
            setRegister(reg, pointValue(std::min(reg - 10, points - 1)));
        setRegister(LastPointRegister, pointValue(points));
    }
    resetCounts();
}

int ResistanceModule::checkWrite(int reg, int value) const
{
    const int bound = compact(version()) ? 50 : 1500;
    const int signedValue = value > 32767 ? value - 65536 : value;
    switch (reg) {
    case 4: return signedValue < -bound || signedValue > bound ? 3 : 0;
    case 5: return value > 1 ? 3 : 0;
    case 6: return value > 2 ? 3 : 0;
    case 7:
    case 8: return value > 32767 ? 3 : 0;
    default: return 0;
    }
}

int ResistanceModule::pointOfCode(int code)
{
    if (code == 20)
        return 1;
    if (code == 21)
        return LastPoint;
    if (code >= 22 && code <= 24)
        return code - 20;
    if (code >= 1 && code <= 16)
        return code + 4;
    if (code >= 35 && code <= 38)
        return code - 14;
    return 0;
}

int ResistanceModule::pointsOfMode(int mode, int version)
{
    switch (mode) {
    case 3: return 2;
    case 4: return 5;
    case 5: return compact(version) ? 21 : 20;
    case 6: return compact(version) ? 16 : 15;
    case 7: return compact(version) ? 0 : 25;
    default: return 0;
    }
}

double ResistanceModule::countTarget(int, int reference) const
{
    // The count follows the resistance the calibrator applies, which rises
    // with the point value.
    return std::clamp(1000.0 + reference, 0.0, static_cast<double>(CountCeiling));
}

bool ResistanceModule::isStoreCode(int code) const
{
    return pointOfCode(code) != 0;
}

void ResistanceModule::pointStored(int code)
{
    const int point = pointOfCode(code);
    const int value = signedHolding(PointValueRegister);
    if (compact(version())) {
        // End points are fixed at 0 and 1000; middle points 2.. sit from register 11.
        if (point >= 2 && point < LastPoint && point + 9 < 30)
            setRegister(point + 9, value);
        return;
    }
    if (point == LastPoint) {
        setRegister(LastPointRegister, value);
        setRegister(3, value);
        return;
    }
    setRegister(point + 10, value);
    if (point == 1)
        setRegister(2, value);
}

int ResistanceModule::writeModelCell(int value)
{
    const int mode = (value >> 8) & 0xFF;
    if (mode < 3 || mode > 7)
        return 3;
    setPendingModel(mode);
    return 0;
}

int ResistanceModule::liveValue(int) const
{
    const int low = signedHolding(2);
    const int high = signedHolding(3);
    const double amplitude = std::max(1.0, std::abs(high - low) * 0.01);
    return wave((low + high) / 2.0 + signedHolding(4), amplitude, 0.0);
}

std::string ResistanceModule::holdingName(int reg) const
{
    if (reg >= FirstPointRegister && reg <= LastPointRegister)
        return "stored point value";
    return tableName(ResistanceHoldings, reg);
}

std::string ResistanceModule::commandName(int code) const
{
    const int point = pointOfCode(code);
    if (point == 1)
        return "store first point";
    if (point == LastPoint)
        return "store last point";
    if (point != 0)
        return "store point " + std::to_string(point);
    return BasicModule::commandName(code);
}
