#pragma once

#include "sim_module.h"

#include <array>
#include <map>
#include <vector>

// Where a family keeps what every module has: the size of its holding block,
// its command and reference registers, its outputs and input registers.
struct ModuleLayout
{
    int holdingCount = 0; // holding registers 0..holdingCount-1
    int commandRegister = 21;
    int referenceRegister = 22;      // -1: the family writes no reference
    bool settingsRegisters = false;  // holding 19/20 read back the slave address and baud code
    int ownSettingsRegister = -1;    // first of two read-only registers with the module's own
                                     // address and baud code (the ones a broadcast does not touch)
    int outputs = 2;                 // number of 0/4..20 mA outputs
    std::vector<int> liveRegisters;  // input registers with live values
    std::vector<int> countRegisters; // input registers with calibration counts
    bool storeResult = false;        // input register 4102 reports the storing result
};

// The Modbus slave every family shares: frame handling, the information block,
// the address and baud cells, the command register with its trim, commit and
// live-start codes, calibration counts and the storing result. A family adds
// its register defaults, live values, store codes and names.
class BasicModule : public SimModule
{
public:
    BasicModule(const ModuleConfig &config, ModuleLayout layout);

    std::vector<std::uint8_t> handle(const std::uint8_t *frame, std::size_t size) override;
    void advance(int milliseconds) override;

    const ModuleConfig &config() const override { return m_config; }
    int address() const override { return m_address; }
    int baudCode() const override { return m_baudCode; }
    int family() const override { return m_config.family; }

    bool hasHolding(int reg) const override;
    int holding(int reg) const override;
    void setHolding(int reg, int value) override;
    bool hasInput(int reg) const override;
    int input(int reg) const override;
    void setInput(int reg, int value) override;
    void releaseInputs() override { m_pins.clear(); }

    int commandRegister() const override { return m_layout.commandRegister; }
    const std::vector<CommandRecord> &commands() const override { return m_commands; }

    void setSensorBroken(bool broken) override { m_sensorBroken = broken; }
    void setStoreFails(bool fails) override { m_storeFails = fails; }

    OutputMode outputMode(int channel) const override;
    bool calibrationActive() const override { return m_calibrating; }
    const std::vector<StoredPoint> &storedPoints() const override { return m_stored; }

    std::string describe(const std::uint8_t *frame, std::size_t size) const override;

    // Counts rise by this much per second while a calibration point is active.
    static constexpr double CountRisePerSecond = 20.0;
    static constexpr int CountCeiling = 32000;

protected:
    // Exception code for a value the family refuses in holding register reg
    // (0: taken). The command register never comes here.
    virtual int checkWrite(int reg, int value) const;
    // A write that starts a calibration point (by default one to the reference register).
    virtual bool startsCalibration(int function, int reg) const;
    // Where the counts of a point with this reference settle when it starts.
    virtual double countTarget(int index, int reference) const;
    // Counts never fall when a new point starts (points are taken in rising order).
    virtual bool risingPoints() const { return false; }
    virtual bool isStoreCode(int code) const = 0;
    // What a store code does besides ending the point (the resistance
    // transmitter files the point value).
    virtual void pointStored(int /*code*/) {}
    // A command code neither shared nor a store code.
    virtual void otherCommand(int /*code*/) {}
    // A write to information-block register 7936; by default the cell does not
    // exist. Families that take it call setPendingModel.
    virtual int writeModelCell(int value);
    // Value of a live register (one of layout.liveRegisters) before the sensor
    // switch applies.
    virtual int liveValue(int reg) const = 0;

    virtual std::string holdingName(int reg) const = 0;
    virtual std::string inputName(int reg) const;
    virtual std::string commandName(int code) const;
    virtual std::string modelCellName() const { return "model code"; }

    // Helpers for the families.
    // Puts the counts where a module without an active point keeps them; a
    // family calls it once its own countTarget is in place (constructor end).
    void resetCounts();
    int signedHolding(int reg) const;
    void setRegister(int reg, int value) { m_holding.at(reg) = static_cast<std::uint16_t>(value); }
    void setPendingModel(int model) { m_pendingModel = model; }
    double seconds() const { return static_cast<double>(m_timeMs) / 1000.0; }
    // A value moving slowly around centre: a one-minute swing of the given
    // amplitude with a faint faster ripple; never 32767 (that is "open").
    int wave(double centre, double amplitude, double phase) const;
    // Live value of a channel with one of the thirteen input types (0..8
    // thermocouples, 9 mV, 10 PT-100, 11 volt, 12 milliampere): around the middle
    // of its measuring range, in the live scale of the type, plus its offset.
    int typedLive(int type, int low, int high, int offset, double phase) const;
    // (PV1 * A + PV2 * B) / C in 64 bits, limited to 16 bits; open when C is 0
    // or an input is open.
    static int outputFunction(int pv1, int pv2, int a, int b, int c);
    // Name from a table indexed by register number, "spare" past its end.
    static std::string tableName(const std::vector<const char *> &table, int reg);

    ModuleConfig m_config;
    ModuleLayout m_layout;

private:
    int write(int function, int reg, int value, bool broadcast);
    void command(int code);
    void startCalibration(int reference);
    bool isOwnSettings(int reg) const;
    bool isCount(int reg) const;
    bool isLive(int reg) const;
    std::string writeName(int reg, int value) const;

    std::vector<std::uint16_t> m_holding;
    std::array<std::uint16_t, 4> m_info{};
    int m_pendingSerialHigh = -1;
    int m_pendingSerialLow = -1;
    int m_pendingModel = -1;
    int m_address = 1;
    int m_baudCode = 2;
    std::int64_t m_timeMs = 0;
    bool m_sensorBroken = false;
    bool m_storeFails = false;
    bool m_calibrating = false;
    std::array<OutputMode, 2> m_outputs{OutputMode::Normal, OutputMode::Normal};
    std::vector<double> m_countLevels;
    std::map<int, int> m_pins;
    std::vector<CommandRecord> m_commands;
    std::vector<StoredPoint> m_stored;
};
