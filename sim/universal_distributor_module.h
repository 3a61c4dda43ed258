#pragma once

#include "basic_module.h"

// Family 4: the universal two-channel distributor. Holding registers 0..31:
// CH-1 configuration 0..3, 6, 8, 9, CH-2 configuration 7, 23..28, trims 10..13,
// address/baud 19/20, command 21, calibration reference 22, filter 29 and its own
// address and baud code in 30/31 (read-only; a broadcast does not change them).
// Live values PV1/PV2 at 4096/4097, counts A0..A4 at 4099..4103.
class UniversalDistributorModule : public BasicModule
{
public:
    explicit UniversalDistributorModule(const ModuleConfig &config);

protected:
    bool isStoreCode(int code) const override;
    int liveValue(int reg) const override;
    std::string holdingName(int reg) const override;
    std::string commandName(int code) const override;
};
