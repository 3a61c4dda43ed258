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
    int family = 2;  // 1 transmitter, 2 converter, 3 resistance, 4 universal
                     // distributor, 5 V/mA distributor
    int model = 32;  // model code (high byte of input register 7936)
    int version = 9; // version index (low byte of input register 7936)
    std::uint32_t serial = 703070001;
    int address = 1;  // slave address 1..255
    int baudCode = 2; // 0 4800, 1 9600, 2 19200, 3 38400
};

// One write a module received on its command register, or a stored value.
struct CommandRecord
{
    int function = 0;
    int reg = 0;
    int value = 0;

    bool operator==(const CommandRecord &) const = default;
};

// A calibration point a module took when its store code arrived: the code, the
// reference value in effect (the point value for the resistance transmitter, 0
// where the family has no reference register) and the first count at that moment.
struct StoredPoint
{
    int code = 0;
    int reference = 0;
    int count = 0;
};

// State of one 0/4..20 mA output as the command register last set it.
enum class OutputMode {
    Normal,   // follows the measured value
    HoldLow,  // held at the 0/4 mA trim point (the trim count of that point drives it)
    HoldHigh, // held at the 20 mA trim point
};

// Register and cell numbers every family shares.
namespace simreg {
enum : int {
    AddressCell = 19,    // new slave address, from the next request on
    BaudCell = 20,       // new baud code, from the next request on
    Live = 4096,         // first live value (input registers)
    StoreResult = 4102,  // storing result, where the family has one (low byte 0 = stored)
    InfoModel = 7936,    // model << 8 | version
    InfoReserved = 7937, // always 0
    SerialHigh = 7938,   // serial number, bits 31..16
    SerialLow = 7939,    // serial number, bits 15..0
    CommitCode = 34,     // command code that commits the information-block cells written
    LiveStartCode = 40,  // command code sent before live polling
};
}

// Wire time of `bytes` bytes at `baudRate` (10 bits per byte: start, 8 data, stop),
// in microseconds.
inline std::int64_t wireTimeUs(std::size_t bytes, int baudRate)
{
    if (baudRate <= 0)
        return 0;
    return static_cast<std::int64_t>(bytes) * 10 * 1000000 / baudRate;
}

// A module on the line: a Modbus RTU slave with the holding and input
// registers of its family. It answers functions 3, 4, 5 and 6 as the real
// module does (function 5 carries any 16-bit value into the register it
// names), ignores requests for other addresses, executes broadcasts to
// address 0 without replying, and replies with an exception (function | 0x80)
// for a register its family does not have.
//
// Exception codes: 1 function other than 3..6; 2 a register the family does not
// have (a read fails when any register of its range is missing) or one that is
// read-only; 3 a value the module cannot take (count outside 1..125, slave
// address outside 1..255, baud code outside 0..3, divisor 0, calibration mode
// outside 3..7). A refused write changes nothing.
class SimModule
{
public:
    virtual ~SimModule() = default;

    // Nothing for a family outside 1..5.
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
    // setHolding on the address or baud register of a family that has them
    // (19/20 of the converter and the distributors) changes the setting itself.
    // setInput on the information block changes it at once; on any other input
    // register it pins the value there, so that live values and counts stop
    // moving it (a broken sensor still reads 32767) until releaseInputs().
    virtual bool hasHolding(int reg) const = 0;
    virtual int holding(int reg) const = 0;
    virtual void setHolding(int reg, int value) = 0;
    virtual bool hasInput(int reg) const = 0;
    virtual int input(int reg) const = 0;
    virtual void setInput(int reg, int value) = 0;
    virtual void releaseInputs() = 0;

    // The command register (21 or 9 by family) and every write it received.
    virtual int commandRegister() const = 0;
    virtual const std::vector<CommandRecord> &commands() const = 0;

    // Live values read 32767 while the sensor is broken.
    virtual void setSensorBroken(bool broken) = 0;
    // Storing the configuration fails (input register 4102 reports it).
    virtual void setStoreFails(bool fails) = 0;

    // Output channel 1 or 2 as the trim commands left it (27..32).
    virtual OutputMode outputMode(int channel) const = 0;
    // A calibration point is running: from the reference (or point value)
    // write until the store code, the counts rise.
    virtual bool calibrationActive() const = 0;
    // Every point a store code took, oldest first.
    virtual const std::vector<StoredPoint> &storedPoints() const = 0;

    // A one-line description of a request frame in this family's terms
    // ("write holding 19 = 5 (slave address)").
    virtual std::string describe(const std::uint8_t *frame, std::size_t size) const = 0;

    // The information block as a reader of input registers 7936..7939 sees it.
    int model() const { return (input(simreg::InfoModel) >> 8) & 0xFF; }
    int version() const { return input(simreg::InfoModel) & 0xFF; }
    std::uint32_t serialNumber() const
    {
        return static_cast<std::uint32_t>(input(simreg::SerialHigh)) << 16 |
               static_cast<std::uint32_t>(input(simreg::SerialLow));
    }
};
