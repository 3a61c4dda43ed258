#pragma once

#include "basic_module.h"

// Family 2: the dual-input converter. Holding registers 0..25 (configuration
// 0..20 and 23, command 21, calibration reference 22, and 24/25 with its own
// address and baud code, which a broadcast does not change); live values PV1,
// PV2 and F(PV1,PV2) = (PV1 * A + PV2 * B) / C at 4096..4098; counts A0..A4 at
// 4099..4103. A divisor of 0 is refused.
class ConverterModule : public BasicModule
{
public:
    explicit ConverterModule(const ModuleConfig &config);

protected:
    int checkWrite(int reg, int value) const override;
    bool isStoreCode(int code) const override;
    int liveValue(int reg) const override;
    std::string holdingName(int reg) const override;
    std::string commandName(int code) const override;
};

// Store codes of the two-channel input calibration the converter and the
// universal distributor share, and their names.
bool isTwoChannelStoreCode(int code);
std::string twoChannelStoreName(int code);
