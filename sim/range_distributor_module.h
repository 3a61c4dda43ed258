#pragma once

#include "basic_module.h"

// Family 5: the V/mA range distributor. Holding registers 0..31 like the
// universal distributor, with input ranges 0..17 in registers 0 and 23, the
// output function range in 4/5 and F(PV1,PV2) = (PV1 * A + PV2 * B) / C from
// registers 14..16 (a divisor of 0 is refused). Live values PV1, PV2 and F at
// 4096..4098, counts A0..A3 at 4099..4102 (A0 is CH-1, A3 CH-2). It has no
// reference register: a calibration point starts when the range of a channel
// is written with function 6, as the calibration start does (configuration
// writes use function 5).
class RangeDistributorModule : public BasicModule
{
public:
    explicit RangeDistributorModule(const ModuleConfig &config);

protected:
    int checkWrite(int reg, int value) const override;
    bool startsCalibration(int function, int reg) const override;
    bool isStoreCode(int code) const override;
    int liveValue(int reg) const override;
    std::string holdingName(int reg) const override;
    std::string commandName(int code) const override;
};
