#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

// What a simulated module is built from.
struct ModuleConfig
{
    int family = 2;                 // 1 transmitter, 2 converter, 3 resistance, 4 universal
                                    // distributor, 5 V/mA distributor
    int model = 32;                 // model code (high byte of input register 7936)
    int version = 9;                // version index (low byte of input register 7936)
    std::uint32_t serial = 703070001;
    int address = 1;                // slave address 1..255
    int baudCode = 2;               // 0 4800, 1 9600, 2 19200, 3 38400
};

// One write a module received on its command register, or a stored value.
struct CommandRecord
{
    int function = 0;
    int reg = 0;
    int value = 0;
};

// A module on the line: a Modbus RTU slave with the holding and input
// registers of its family. It answers functions 3, 4, 5 and 6 as the real
// module does (function 5 carries any 16-bit value into the register it
// names), ignores requests for other addresses, executes broadcasts to
// address 0 without replying, and replies with an exception (function | 0x80)
// for a register its family does not have.
class SimModule
{
public:
    virtual ~SimModule() = default;

    static std::unique_ptr<SimModule> create(const ModuleConfig &config);

    // Handles one request frame heard on the line. Returns the reply bytes, or
    // nothing (bad CRC, other address, broadcast, malformed frame).
    virtual std::vector<std::uint8_t> handle(const std::uint8_t *frame, std::size_t size) = 0;

    // Moves the module's clock on: live values drift, active calibration
    // counts rise.
    virtual void advance(int milliseconds) = 0;

    virtual const ModuleConfig &config() const = 0;
    virtual int address() const = 0;
    virtual int baudCode() const = 0;
    virtual int family() const = 0;

    // Register access for tests and for quorelsim's decoding (unsigned 16-bit).
    virtual bool hasHolding(int reg) const = 0;
    virtual int holding(int reg) const = 0;
    virtual void setHolding(int reg, int value) = 0;
    virtual bool hasInput(int reg) const = 0;
    virtual int input(int reg) const = 0;
    virtual void setInput(int reg, int value) = 0;

    // The command register (21 or 9 by family) and every write it received.
    virtual int commandRegister() const = 0;
    virtual const std::vector<CommandRecord> &commands() const = 0;

    // Live values read 32767 while the sensor is broken.
    virtual void setSensorBroken(bool broken) = 0;
    // Storing the configuration fails (input register 4102 reports it).
    virtual void setStoreFails(bool fails) = 0;

    // A one-line description of a request frame in this family's terms
    // ("write holding 19 = 5 (slave address)").
    virtual std::string describe(const std::uint8_t *frame, std::size_t size) const = 0;
};
