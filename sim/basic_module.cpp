#include "basic_module.h"

#include "crc.h"
#include "port_tables.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr int MaxReadCount = 125;

std::vector<std::uint8_t> withCrc(std::vector<std::uint8_t> bytes)
{
    const std::uint16_t crc = crc16Modbus(bytes.data(), bytes.size());
    bytes.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(crc >> 8));
    return bytes;
}

bool crcOk(const std::uint8_t *frame, std::size_t size)
{
    const std::uint16_t crc = crc16Modbus(frame, size - 2);
    return frame[size - 2] == (crc & 0xFF) && frame[size - 1] == (crc >> 8);
}

std::string valueText(int value)
{
    std::string text = std::to_string(value);
    if (value > 32767)
        text += " (" + std::to_string(value - 65536) + ")";
    return text;
}

} // namespace

BasicModule::BasicModule(const ModuleConfig &config, ModuleLayout layout)
    : m_config(config)
    , m_layout(std::move(layout))
    , m_holding(static_cast<std::size_t>(std::max(0, m_layout.holdingCount)), 0)
    , m_address(config.address)
    , m_baudCode(config.baudCode)
{
    m_info[0] = static_cast<std::uint16_t>((config.model & 0xFF) << 8 | (config.version & 0xFF));
    m_info[1] = 0;
    m_info[2] = static_cast<std::uint16_t>(config.serial >> 16);
    m_info[3] = static_cast<std::uint16_t>(config.serial & 0xFFFF);
    if (isOwnSettings(m_layout.ownSettingsRegister)) {
        setRegister(m_layout.ownSettingsRegister, m_address);
        setRegister(m_layout.ownSettingsRegister + 1, m_baudCode);
    }
    resetCounts();
}

void BasicModule::resetCounts()
{
    m_countLevels.clear();
    for (std::size_t i = 0; i < m_layout.countRegisters.size(); ++i)
        m_countLevels.push_back(countTarget(static_cast<int>(i), 0));
}

// --- frames ----------------------------------------------------------------

std::vector<std::uint8_t> BasicModule::handle(const std::uint8_t *frame, std::size_t size)
{
    if (frame == nullptr || size < 4 || !crcOk(frame, size))
        return {};
    const int target = frame[0];
    const bool broadcast = target == 0;
    if (!broadcast && target != m_address)
        return {};
    const int function = frame[1];
    const auto exception = [&](int code) -> std::vector<std::uint8_t> {
        if (broadcast)
            return {};
        return withCrc({static_cast<std::uint8_t>(target),
                        static_cast<std::uint8_t>(function | 0x80),
                        static_cast<std::uint8_t>(code)});
    };
    if (function < 3 || function > 6)
        return exception(1);
    if (size != 8)
        return {};

    const int reg = frame[2] << 8 | frame[3];
    const int value = frame[4] << 8 | frame[5];
    if (function == 3 || function == 4) {
        if (broadcast)
            return {};
        if (value < 1 || value > MaxReadCount)
            return exception(3);
        std::vector<std::uint8_t> reply{static_cast<std::uint8_t>(target),
                                        static_cast<std::uint8_t>(function),
                                        static_cast<std::uint8_t>(2 * value)};
        for (int i = 0; i < value; ++i) {
            const int r = reg + i;
            if (function == 3 ? !hasHolding(r) : !hasInput(r))
                return exception(2);
            const int v = function == 3 ? holding(r) : input(r);
            reply.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
            reply.push_back(static_cast<std::uint8_t>(v & 0xFF));
        }
        return withCrc(std::move(reply));
    }

    const int refused = write(function, reg, value, broadcast);
    if (broadcast)
        return {};
    if (refused != 0)
        return exception(refused);
    // The echo of a write is the request itself, byte for byte.
    return std::vector<std::uint8_t>(frame, frame + size);
}

int BasicModule::write(int function, int reg, int value, bool broadcast)
{
    // The settings cells come first: on the resistance transmitter holding
    // registers 19 and 20 are calibration points, but a write there still
    // moves the module. A broadcast (the scan forcing address 1 and 19200
    // baud) leaves the module's own settings alone, so that a window can put
    // them back.
    const int own = m_layout.ownSettingsRegister;
    if (reg == simreg::AddressCell) {
        if (value < 1 || value > 255)
            return 3;
        m_address = value;
        if (!broadcast && isOwnSettings(own))
            setRegister(own, value);
        return 0;
    }
    if (reg == simreg::BaudCell) {
        if (value > 3)
            return 3;
        m_baudCode = value;
        if (!broadcast && isOwnSettings(own))
            setRegister(own + 1, value);
        return 0;
    }
    if (reg == simreg::SerialHigh) {
        m_pendingSerialHigh = value;
        return 0;
    }
    if (reg == simreg::SerialLow) {
        m_pendingSerialLow = value;
        return 0;
    }
    if (reg == simreg::InfoModel)
        return writeModelCell(value);
    if (!hasHolding(reg) || isOwnSettings(reg))
        return 2;

    if (reg == m_layout.commandRegister) {
        setRegister(reg, value);
        m_commands.push_back({function, reg, value});
        command(value);
        return 0;
    }
    if (const int refused = checkWrite(reg, value))
        return refused;
    setRegister(reg, value);
    if (startsCalibration(function, reg))
        startCalibration(signedHolding(reg));
    return 0;
}

void BasicModule::command(int code)
{
    const auto setOutput = [this](int channel, OutputMode mode) {
        if (channel <= m_layout.outputs)
            m_outputs[channel - 1] = mode;
    };
    switch (code) {
    case 27: setOutput(1, OutputMode::HoldLow); return;
    case 28: setOutput(1, OutputMode::HoldHigh); return;
    case 29: setOutput(2, OutputMode::HoldLow); return;
    case 30: setOutput(2, OutputMode::HoldHigh); return;
    case 31: setOutput(1, OutputMode::Normal); return;
    case 32: setOutput(2, OutputMode::Normal); return;
    case simreg::LiveStartCode: return;
    case simreg::CommitCode:
        if (m_pendingSerialHigh >= 0)
            m_info[2] = static_cast<std::uint16_t>(m_pendingSerialHigh);
        if (m_pendingSerialLow >= 0)
            m_info[3] = static_cast<std::uint16_t>(m_pendingSerialLow);
        if (m_pendingModel >= 0)
            m_info[0] = static_cast<std::uint16_t>(m_pendingModel << 8 | (m_info[0] & 0xFF));
        m_pendingSerialHigh = m_pendingSerialLow = m_pendingModel = -1;
        return;
    default: break;
    }
    if (isStoreCode(code)) {
        const int ref =
            m_layout.referenceRegister >= 0 ? signedHolding(m_layout.referenceRegister) : 0;
        const int count = m_countLevels.empty() ? 0 : static_cast<int>(m_countLevels.front());
        m_stored.push_back({code, ref, count});
        m_calibrating = false;
        pointStored(code);
        return;
    }
    otherCommand(code);
}

void BasicModule::startCalibration(int reference)
{
    m_calibrating = true;
    for (std::size_t i = 0; i < m_countLevels.size(); ++i) {
        const double target = countTarget(static_cast<int>(i), reference);
        m_countLevels[i] = risingPoints() ? std::max(target, m_countLevels[i]) : target;
    }
}

void BasicModule::advance(int milliseconds)
{
    if (milliseconds <= 0)
        return;
    m_timeMs += milliseconds;
    if (!m_calibrating)
        return;
    for (double &level : m_countLevels)
        level = std::min<double>(CountCeiling, level + CountRisePerSecond * milliseconds / 1000.0);
}

// --- registers -------------------------------------------------------------

bool BasicModule::hasHolding(int reg) const
{
    return reg >= 0 && reg < m_layout.holdingCount;
}

int BasicModule::holding(int reg) const
{
    if (!hasHolding(reg))
        return 0;
    if (m_layout.settingsRegisters && reg == simreg::AddressCell)
        return m_address;
    if (m_layout.settingsRegisters && reg == simreg::BaudCell)
        return m_baudCode;
    return m_holding[static_cast<std::size_t>(reg)];
}

void BasicModule::setHolding(int reg, int value)
{
    if (!hasHolding(reg))
        return;
    if (m_layout.settingsRegisters && reg == simreg::AddressCell)
        m_address = value & 0xFF;
    else if (m_layout.settingsRegisters && reg == simreg::BaudCell)
        m_baudCode = value & 0xFFFF;
    else
        setRegister(reg, value);
}

bool BasicModule::hasInput(int reg) const
{
    if (reg >= simreg::InfoModel && reg <= simreg::SerialLow)
        return true;
    if (m_layout.storeResult && reg == simreg::StoreResult)
        return true;
    return isLive(reg) || isCount(reg);
}

int BasicModule::input(int reg) const
{
    if (reg >= simreg::InfoModel && reg <= simreg::SerialLow)
        return m_info[static_cast<std::size_t>(reg - simreg::InfoModel)];
    if (!hasInput(reg))
        return 0;
    if (m_sensorBroken && isLive(reg))
        return 32767;
    if (const auto pin = m_pins.find(reg); pin != m_pins.end())
        return pin->second;
    if (isLive(reg))
        return liveValue(reg) & 0xFFFF;
    const auto &counts = m_layout.countRegisters;
    if (const auto it = std::find(counts.begin(), counts.end(), reg); it != counts.end())
        return static_cast<int>(m_countLevels[static_cast<std::size_t>(it - counts.begin())]) &
               0xFFFF;
    // Storing result: low byte 0 when the configuration was stored.
    return m_storeFails ? 0x0001 : 0x0000;
}

void BasicModule::setInput(int reg, int value)
{
    if (reg >= simreg::InfoModel && reg <= simreg::SerialLow)
        m_info[static_cast<std::size_t>(reg - simreg::InfoModel)] =
            static_cast<std::uint16_t>(value);
    else if (hasInput(reg))
        m_pins[reg] = value & 0xFFFF;
}

OutputMode BasicModule::outputMode(int channel) const
{
    if (channel < 1 || channel > m_layout.outputs)
        return OutputMode::Normal;
    return m_outputs[static_cast<std::size_t>(channel - 1)];
}

bool BasicModule::isOwnSettings(int reg) const
{
    const int own = m_layout.ownSettingsRegister;
    return own >= 0 && (reg == own || reg == own + 1) && hasHolding(reg);
}

bool BasicModule::isCount(int reg) const
{
    const auto &counts = m_layout.countRegisters;
    return std::find(counts.begin(), counts.end(), reg) != counts.end();
}

bool BasicModule::isLive(int reg) const
{
    const auto &live = m_layout.liveRegisters;
    return std::find(live.begin(), live.end(), reg) != live.end();
}

// --- family defaults ---------------------------------------------------------

int BasicModule::checkWrite(int, int) const
{
    return 0;
}

bool BasicModule::startsCalibration(int, int reg) const
{
    return reg == m_layout.referenceRegister;
}

double BasicModule::countTarget(int index, int reference) const
{
    // Raw converter counts: a mid-scale base per count, moved by the reference
    // the calibrator applies.
    const double ref = std::clamp(reference, -4000, 30000);
    return std::clamp(9000.0 + 700.0 * index + ref / 2.0, 0.0, static_cast<double>(CountCeiling));
}

int BasicModule::writeModelCell(int)
{
    return 2;
}

int BasicModule::signedHolding(int reg) const
{
    const int value = holding(reg);
    return value > 32767 ? value - 65536 : value;
}

int BasicModule::wave(double centre, double amplitude, double phase) const
{
    const double t = seconds();
    const double twoPi = 2.0 * std::numbers::pi;
    const double value = centre + amplitude * std::sin(twoPi * t / 60.0 + phase) +
                         amplitude * 0.1 * std::sin(twoPi * t / 7.0 + 2.0 * phase);
    return static_cast<int>(std::clamp(std::lround(value), -32768L, 32766L));
}

int BasicModule::typedLive(int type, int low, int high, int offset, double phase) const
{
    // Ranges of temperature types are whole degrees, live values tenths; the
    // other types keep one scale for range, offset and live value.
    const bool temperature = (type >= 0 && type <= 8) || type == 10;
    const double factor = temperature ? 10.0 : 1.0;
    const double centre = (low + high) / 2.0 * factor + offset;
    const double amplitude = std::max(1.0, std::abs(high - low) * factor * 0.01);
    return wave(centre, amplitude, phase);
}

int BasicModule::outputFunction(int pv1, int pv2, int a, int b, int c)
{
    if (c == 0 || pv1 == 32767 || pv2 == 32767)
        return 32767;
    const std::int64_t value =
        (static_cast<std::int64_t>(pv1) * a + static_cast<std::int64_t>(pv2) * b) / c;
    return static_cast<int>(std::clamp<std::int64_t>(value, -32768, 32766));
}

// --- descriptions ------------------------------------------------------------

std::string BasicModule::inputName(int reg) const
{
    switch (reg) {
    case simreg::InfoModel: return "model/version";
    case simreg::InfoReserved: return "reserved";
    case simreg::SerialHigh: return "serial number high word";
    case simreg::SerialLow: return "serial number low word";
    default: break;
    }
    if (m_layout.storeResult && reg == simreg::StoreResult)
        return "storing result";
    const auto &counts = m_layout.countRegisters;
    if (const auto it = std::find(counts.begin(), counts.end(), reg); it != counts.end())
        return "count A" + std::to_string(reg - 4099);
    const auto &live = m_layout.liveRegisters;
    if (live.size() == 1 && reg == live.front())
        return "PV";
    if (reg == 4096 || reg == 4097)
        return "PV" + std::to_string(reg - 4095);
    if (reg == 4098)
        return "F(PV1,PV2)";
    return "no such register";
}

std::string BasicModule::commandName(int code) const
{
    const bool two = m_layout.outputs == 2;
    const std::string ch1 = two ? "CH-1 output" : "output";
    const std::string low = two ? "0/4 mA" : "4 mA";
    switch (code) {
    case 27: return ch1 + " held at " + low;
    case 28: return ch1 + " held at 20 mA";
    case 29: return two ? "CH-2 output held at 0/4 mA" : "unknown";
    case 30: return two ? "CH-2 output held at 20 mA" : "unknown";
    case 31: return ch1 + " normal";
    case 32: return two ? "CH-2 output normal" : "unknown";
    case simreg::CommitCode: return "commit information block";
    case simreg::LiveStartCode: return "start live values";
    default: return "unknown";
    }
}

std::string BasicModule::tableName(const std::vector<const char *> &table, int reg)
{
    if (reg < 0 || reg >= static_cast<int>(table.size()))
        return "spare";
    return table[static_cast<std::size_t>(reg)];
}

std::string BasicModule::writeName(int reg, int value) const
{
    if (reg == simreg::AddressCell)
        return "slave address";
    if (reg == simreg::BaudCell) {
        const bool known = value >= 0 && value < static_cast<int>(BaudRates.size());
        return known ? "baud code, " + std::to_string(BaudRates[static_cast<std::size_t>(value)]) +
                           " baud"
                     : "baud code, no such rate";
    }
    if (reg == simreg::SerialHigh)
        return "serial number high word, kept until code 34";
    if (reg == simreg::SerialLow)
        return "serial number low word, kept until code 34";
    if (reg == simreg::InfoModel)
        return modelCellName();
    if (reg == m_layout.commandRegister)
        return "command " + std::to_string(value) + ": " + commandName(value);
    if (!hasHolding(reg))
        return "no such register";
    return holdingName(reg);
}

std::string BasicModule::describe(const std::uint8_t *frame, std::size_t size) const
{
    if (frame == nullptr || size < 4)
        return "fragment of " + std::to_string(size) + " bytes";
    if (!crcOk(frame, size))
        return "bad CRC (" + std::to_string(size) + " bytes)";
    const int target = frame[0];
    std::string text = target == 0 ? "broadcast" : "to " + std::to_string(target);
    if (target != 0 && target != m_address)
        text += " (not this module)";
    text += ": ";
    const int function = frame[1];
    if (function < 3 || function > 6)
        return text + "function " + std::to_string(function) + " (not supported)";
    if (size != 8)
        return text + "function " + std::to_string(function) + " in " + std::to_string(size) +
               " bytes (malformed)";
    const int reg = frame[2] << 8 | frame[3];
    const int value = frame[4] << 8 | frame[5];
    if (function == 3 || function == 4) {
        const bool holdingRead = function == 3;
        text += std::string(holdingRead ? "read holding " : "read input ") + std::to_string(reg);
        if (value > 1)
            text += ".." + std::to_string(reg + value - 1);
        if (!holdingRead && reg == simreg::InfoModel && value == 4)
            return text + " (information block)";
        std::string first = holdingRead ? holdingName(reg) : inputName(reg);
        if (holdingRead && !hasHolding(reg))
            first = "no such register";
        if (value <= 1)
            return text + " (" + first + ")";
        const int lastReg = reg + value - 1;
        std::string last = holdingRead ? holdingName(lastReg) : inputName(lastReg);
        if (holdingRead && !hasHolding(lastReg))
            last = "no such register";
        return text + " (" + first + " .. " + last + ")";
    }
    return text + "write " + std::to_string(reg) + " = " + valueText(value) + " [fn " +
           std::to_string(function) + "] (" + writeName(reg, value) + ")";
}
