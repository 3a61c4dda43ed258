#include "simulated_line.h"

#include "crc.h"
#include "port_tables.h"

#include <algorithm>
#include <optional>

namespace {

bool crcOk(const std::vector<std::uint8_t> &frame)
{
    if (frame.size() < 4)
        return false;
    const std::uint16_t crc = crc16Modbus(frame.data(), frame.size() - 2);
    return frame[frame.size() - 2] == (crc & 0xFF) && frame[frame.size() - 1] == (crc >> 8);
}

bool is8N1(const LineSettings &settings)
{
    return settings.dataBits == 8 && settings.parity == 'N' && settings.stopBits == 1;
}

// Silence that ends a frame (3.5 characters) plus the module's processing time.
std::int64_t turnaroundUs(int baudRate)
{
    return wireTimeUs(35, baudRate) / 10 + 1000;
}

} // namespace

SimulatedLine::SimulatedLine(SimModule *module)
    : m_module(module)
    , m_baudCode(baudCodeOf(m_settings.baudRate))
{}

void SimulatedLine::setModule(SimModule *module)
{
    m_module = module;
    m_moduleUs = m_clockUs;
}

bool SimulatedLine::open(int portIndex)
{
    if (m_openFails) {
        m_open = false;
        return false;
    }
    // The port keeps the line settings it had, as a real port does.
    m_open = true;
    m_portIndex = portIndex;
    ++m_openCount;
    return true;
}

bool SimulatedLine::getState(LineSettings &settings)
{
    if (!m_open)
        return false;
    settings = m_settings;
    return true;
}

bool SimulatedLine::setState(const LineSettings &settings)
{
    if (!m_open)
        return false;
    m_settings = settings;
    m_baudCode = baudCodeOf(settings.baudRate);
    return true;
}

void SimulatedLine::close()
{
    // Whatever was on its way is lost with the handle.
    m_open = false;
    m_incoming.clear();
    m_arrival.clear();
}

bool SimulatedLine::readByte(std::uint8_t &byte)
{
    if (m_open && !m_incoming.empty() && m_arrival.front() <= m_clockUs + ReadTimeoutUs) {
        advanceTo(std::max(m_clockUs, m_arrival.front()));
        byte = m_incoming.front();
        m_incoming.pop_front();
        m_arrival.pop_front();
        return true;
    }
    advanceTo(m_clockUs + ReadTimeoutUs);
    return false;
}

bool SimulatedLine::write(const std::uint8_t *data, std::size_t size)
{
    if (!m_open || data == nullptr)
        return false;
    const std::vector<std::uint8_t> frame(data, data + size);
    LoggedRequest entry;
    entry.address = size > 0 ? frame[0] : 0;
    entry.function = size > 1 ? frame[1] : 0;
    entry.reg = size > 3 ? frame[2] << 8 | frame[3] : 0;
    entry.value = size > 5 ? frame[4] << 8 | frame[5] : 0;
    entry.baud = m_baudCode;
    entry.timeMs = clockMs();

    // The frame leaves the port; the module hears it only at its own rate.
    advanceTo(m_clockUs + wireTimeUs(size, m_settings.baudRate));
    entry.heard = m_module != nullptr && m_baudCode >= 0 && m_baudCode == m_module->baudCode() &&
                  is8N1(m_settings);
    if (entry.heard) {
        const bool answerable = crcOk(frame) && frame[0] == m_module->address();
        std::optional<LineFault> fault;
        if (answerable && !m_faults.empty()) {
            fault = m_faults.front();
            m_faults.pop_front();
        }
        if (fault == LineFault::NoReply) {
            entry.heard = false;
        } else if (fault == LineFault::Exception) {
            std::vector<std::uint8_t> reply{frame[0], static_cast<std::uint8_t>(frame[1] | 0x80),
                                            4};
            const std::uint16_t crc = crc16Modbus(reply.data(), reply.size());
            reply.push_back(static_cast<std::uint8_t>(crc & 0xFF));
            reply.push_back(static_cast<std::uint8_t>(crc >> 8));
            deliver(reply, false);
        } else {
            std::vector<std::uint8_t> reply = m_module->handle(frame.data(), frame.size());
            if (!reply.empty() && fault == LineFault::BadCrc) {
                reply[reply.size() - 1] ^= 0x5A;
                reply[reply.size() - 2] ^= 0xA5;
            } else if (!reply.empty() && fault == LineFault::ShortReply) {
                reply.resize(reply.size() > 3 ? reply.size() - 3 : reply.size() - 1);
            } else if (!reply.empty() && fault == LineFault::Garbage) {
                // Noise of the reply's length that matches neither its CRC nor
                // the echo of the request.
                const std::vector<std::uint8_t> good = reply;
                for (auto &b : reply) {
                    m_noiseSeed = m_noiseSeed * 1103515245u + 12345u;
                    b = static_cast<std::uint8_t>(m_noiseSeed >> 16);
                }
                reply[0] = static_cast<std::uint8_t>(good[0] ^ 0xFF);
                if (crcOk(reply))
                    reply.back() ^= 0x01;
                if (reply.size() >= 8 && frame.size() >= 8 && reply[6] == frame[6] &&
                    reply[7] == frame[7])
                    reply[7] ^= 0x01;
            }
            deliver(reply, fault == LineFault::SplitReply);
        }
    }
    m_log.push_back(entry);
    return true;
}

void SimulatedLine::deliver(const std::vector<std::uint8_t> &reply, bool split)
{
    const int rate = m_settings.baudRate;
    std::int64_t t = m_clockUs + turnaroundUs(rate);
    // A second reply queued behind an unread one follows it on the wire.
    if (!m_arrival.empty())
        t = std::max(t, m_arrival.back());
    const std::size_t firstPart = split ? std::max<std::size_t>(1, reply.size() / 2) : reply.size();
    for (std::size_t i = 0; i < reply.size(); ++i) {
        if (i == firstPart)
            t += SplitPauseUs;
        t += wireTimeUs(1, rate);
        m_incoming.push_back(reply[i]);
        m_arrival.push_back(t);
    }
}

void SimulatedLine::injectFault(LineFault fault, int count)
{
    for (int i = 0; i < count; ++i)
        m_faults.push_back(fault);
}

void SimulatedLine::wait(int milliseconds)
{
    if (milliseconds > 0)
        advanceTo(m_clockUs + static_cast<std::int64_t>(milliseconds) * 1000);
}

void SimulatedLine::advanceTo(std::int64_t us)
{
    m_clockUs = std::max(m_clockUs, us);
    if (m_module == nullptr)
        return;
    // The module's clock moves in whole milliseconds; the rest waits for the
    // next step, so nothing is lost.
    const std::int64_t ms = (m_clockUs - m_moduleUs) / 1000;
    if (ms > 0) {
        m_module->advance(static_cast<int>(ms));
        m_moduleUs += ms * 1000;
    }
}
