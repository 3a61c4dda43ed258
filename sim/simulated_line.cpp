#include "simulated_line.h"

#include "port_tables.h"

#include <algorithm>
#include <optional>

namespace {

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
{
    // m_settings is constructed after m_baudCode: the code follows it here.
    m_baudCode = baudCodeOf(m_settings.baudRate);
}

void SimulatedLine::setModule(SimModule *module)
{
    m_module = module;
    m_moduleUs = m_clockUs;
}

bool SimulatedLine::open(int portIndex)
{
    if (m_openFails || m_pulled) {
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
    if (!m_open || m_dead)
        return false;
    settings = m_settings;
    return true;
}

bool SimulatedLine::setState(const LineSettings &settings)
{
    if (!m_open || m_dead)
        return false;
    m_settings = settings;
    m_baudCode = baudCodeOf(settings.baudRate);
    return true;
}

void SimulatedLine::close()
{
    // Whatever was on its way is lost with the handle.
    m_open = false;
    m_dead = false;
    m_incoming.clear();
    m_arrival.clear();
}

bool SimulatedLine::readByte(std::uint8_t &byte)
{
    if (m_open && !m_dead && !m_incoming.empty() &&
        m_arrival.front() <= m_clockUs + ReadTimeoutUs) {
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
    if (!m_open || m_dead || data == nullptr)
        return false;
    const std::vector<std::uint8_t> frame(data, data + size);
    LoggedRequest entry;
    entry.address = size > 0 ? frame[0] : 0;
    entry.function = size > 1 ? frame[1] : 0;
    entry.reg = size > 3 ? frame[2] << 8 | frame[3] : 0;
    entry.value = size > 5 ? frame[4] << 8 | frame[5] : 0;
    entry.baud = m_baudCode;
    entry.timeMs = clockMs();
    // Two drivers on the pair at once: neither frame survives.
    entry.collided = m_clockUs < m_answeringUntilUs;
    if (entry.collided) {
        ++m_collisions;
        garbleReply();
    }

    // The frame leaves the port; the module hears it only at its own rate.
    advanceTo(m_clockUs + wireTimeUs(size, m_settings.baudRate));
    if (entry.collided) {
        m_log.push_back(entry);
        return true;
    }
    entry.heard = m_module != nullptr && m_baudCode >= 0 && m_baudCode == m_module->baudCode() &&
                  is8N1(m_settings);
    if (entry.heard) {
        std::optional<LineFault> fault;
        if (FaultPlan::addressedTo(frame, m_module->address()))
            fault = m_faults.take(frame.data(), frame.size());
        if (fault == LineFault::Pulled) {
            entry.heard = false;
            m_log.push_back(entry);
            setPulled(true);
            return false;
        }
        if (fault == LineFault::NoReply) {
            entry.heard = false;
        } else if (fault == LineFault::Exception) {
            deliver(FaultPlan::exceptionReply(frame), false);
        } else {
            std::vector<std::uint8_t> reply = m_module->handle(frame.data(), frame.size());
            if (fault)
                m_faults.damage(*fault, frame, reply);
            if (m_filter)
                m_filter(frame, reply);
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
    if (!reply.empty())
        m_answeringUntilUs = t;
}

void SimulatedLine::garbleReply()
{
    // The bytes still to leave the module are lost in the clash.
    for (std::size_t i = 0; i < m_incoming.size(); ++i)
        if (m_arrival[i] > m_clockUs)
            m_incoming[i] = static_cast<std::uint8_t>(m_incoming[i] ^ (0x5A + 0x1D * i));
}

void SimulatedLine::injectFault(LineFault fault, int count)
{
    m_faults.arm({fault, -1, -1, 1, count});
}

void SimulatedLine::injectFault(const FaultRule &rule)
{
    m_faults.arm(rule);
}

void SimulatedLine::setPulled(bool pulled)
{
    m_pulled = pulled;
    if (pulled) {
        m_dead = m_open;
        m_incoming.clear();
        m_arrival.clear();
    }
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
