#pragma once

#include "serial_line.h"
#include "sim_module.h"

#include <cstdint>
#include <deque>
#include <vector>

// One request the link wrote, as the line saw it.
struct LoggedRequest
{
    int address = 0;
    int function = 0;
    int reg = 0;
    int value = 0;
    int baud = -1; // baud code the line was set to when the frame was written
    std::int64_t timeMs = 0;

    bool operator==(const LoggedRequest &o) const
    {
        return address == o.address && function == o.function && reg == o.reg
               && value == o.value && baud == o.baud;
    }
};

// Faults the line injects into the next replies.
enum class LineFault {
    NoReply,     // the request is lost
    BadCrc,      // the reply's CRC is damaged
    ShortReply,  // the reply loses its last bytes
    Exception,   // the module answers with an exception reply
    Garbage,     // noise bytes arrive instead of the reply
    SplitReply,  // the reply arrives in two parts with a pause of more than 100 ms
};

// The serial line connected in-process to one simulated module (or to none),
// with a virtual clock: a read that times out advances the clock by 100 ms and
// returns at once, bytes on the wire take their transmission time. A frame
// written at a baud rate other than the module's is lost.
class SimulatedLine : public SerialLine
{
public:
    explicit SimulatedLine(SimModule *module = nullptr);

    void setModule(SimModule *module);
    SimModule *module() const { return m_module; }

    bool open(int portIndex) override;
    bool getState(LineSettings &settings) override;
    bool setState(const LineSettings &settings) override;
    void close() override;
    bool readByte(std::uint8_t &byte) override;
    bool write(const std::uint8_t *data, std::size_t size) override;

    // Every request written, lost ones included.
    const std::vector<LoggedRequest> &log() const { return m_log; }
    void clearLog() { m_log.clear(); }

    // The next `count` replies suffer `fault`.
    void injectFault(LineFault fault, int count = 1);
    // Makes the port refuse to open.
    void setOpenFails(bool fails) { m_openFails = fails; }

    std::int64_t clockMs() const { return m_clockMs; }
    bool isOpen() const { return m_open; }
    int portIndex() const { return m_portIndex; }
    int baudCode() const { return m_baudCode; }
    // Number of successful opens so far.
    int openCount() const { return m_openCount; }

private:
    SimModule *m_module = nullptr;
    std::vector<LoggedRequest> m_log;
    std::deque<LineFault> m_faults;
    std::deque<std::uint8_t> m_incoming;
    std::deque<std::int64_t> m_arrival; // virtual time each incoming byte is readable
    std::int64_t m_clockMs = 0;
    bool m_open = false;
    bool m_openFails = false;
    int m_portIndex = -1;
    int m_baudCode = -1;
    int m_openCount = 0;
    LineSettings m_settings;
};
