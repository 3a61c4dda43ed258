#pragma once

#include "basic_module.h"

// Family 1: the single-input universal transmitter. Holding registers 0..10
// (configuration 0..8, command 9, calibration reference 10), live value 4096,
// counts 4099..4101, storing result 4102. The calibration class commands 36..39
// (thermocouple, RTD, voltage, current) tell it what the point calibrates.
class TransmitterModule : public BasicModule
{
public:
    explicit TransmitterModule(const ModuleConfig &config);

    // Class code (36..39) of the point being calibrated, 0 before the first.
    int calibrationClass() const { return m_class; }

protected:
    bool isStoreCode(int code) const override;
    void otherCommand(int code) override;
    int liveValue(int reg) const override;
    std::string holdingName(int reg) const override;
    std::string commandName(int code) const override;

private:
    int m_class = 0;
};
