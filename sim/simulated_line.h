#pragma once

#include "fault_plan.h"
#include "serial_line.h"
#include "sim_module.h"

#include <cstdint>
#include <deque>
#include <functional>
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
    bool heard = false;    // the module received it (same baud, not lost to a fault)
    bool collided = false; // written while the module still answered the request before

    bool operator==(const LoggedRequest &o) const
    {
        return address == o.address && function == o.function && reg == o.reg && value == o.value &&
               baud == o.baud;
    }
};

// The serial line connected in-process to one simulated module (or to none),
// with a virtual clock: a read that times out advances the clock by 100 ms and
// returns at once, bytes on the wire take their transmission time. A frame
// written at a baud rate other than the module's is lost.
//
// A write takes the wire time of its bytes; the module answers 3.5 character
// times plus 1 ms after the request's last byte, and each reply byte becomes
// readable when it has fully arrived. The module's clock follows the line's.
// Faults apply to requests the module would answer (its address, right baud,
// good CRC); with BadCrc, ShortReply, Garbage and SplitReply it still executes
// the request. The line runs 8N1; other settings garble every frame.
//
// The line is one RS-485 pair: a request whose first byte goes out while the
// module is still going to answer, or is answering, the request before it
// (from the end of that request until the last byte of its reply has left the
// module) collides with that reply. The module does not hear it, the reply is
// garbled from there on, and the line counts the collision and marks the
// request in its log. A request the module does not answer (another address,
// a broadcast, one lost to a fault or sent at another rate) leaves no such
// window.
//
// A pulled adapter (LineFault::Pulled or setPulled) loses the request it hits
// (its write fails) and every reply on its way; the port it leaves open is dead (writes fail,
// reads time out, its settings cannot be read or set) until it is closed, and
// the port does not open again until the adapter is plugged back in.
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
    // Requests that collided with a reply (see above), since the line was made.
    int collisions() const { return m_collisions; }

    // The next `count` replies suffer `fault` (after those already armed).
    void injectFault(LineFault fault, int count = 1);
    // Arms a fault aimed at some requests (see FaultPlan).
    void injectFault(const FaultRule &rule);
    // Requests the armed faults will still hit.
    int pendingFaults() const { return m_faults.pending(); }
    // Changes every reply the module gives before it goes on the wire
    // (tests that feed the program damaged or forged replies); empty for none.
    using ReplyFilter = std::function<void(const std::vector<std::uint8_t> &request,
                                           std::vector<std::uint8_t> &reply)>;
    void setReplyFilter(ReplyFilter filter) { m_filter = std::move(filter); }
    // Makes the port refuse to open.
    void setOpenFails(bool fails) { m_openFails = fails; }
    // Pulls the USB adapter out (true) or plugs it back in (false).
    void setPulled(bool pulled);
    bool isPulled() const { return m_pulled; }

    // Lets virtual time pass with no traffic (a window timer's interval).
    void wait(int milliseconds);

    std::int64_t clockMs() const { return m_clockUs / 1000; }
    std::int64_t clockUs() const { return m_clockUs; }
    bool isOpen() const { return m_open; }
    int portIndex() const { return m_portIndex; }
    // Baud code of the current line settings (-1 for a rate without a code).
    int baudCode() const { return m_baudCode; }
    // Number of successful opens so far.
    int openCount() const { return m_openCount; }
    // Reply bytes not read yet, arrived or still on their way.
    std::size_t pendingBytes() const { return m_incoming.size(); }

    static constexpr std::int64_t ReadTimeoutUs = 100000;
    static constexpr std::int64_t SplitPauseUs = 150000;

private:
    void advanceTo(std::int64_t us);
    void deliver(const std::vector<std::uint8_t> &reply, bool split);
    void garbleReply();

    SimModule *m_module = nullptr;
    std::vector<LoggedRequest> m_log;
    FaultPlan m_faults;
    ReplyFilter m_filter;
    std::deque<std::uint8_t> m_incoming;
    std::deque<std::int64_t> m_arrival; // virtual time (us) each incoming byte is readable
    std::int64_t m_clockUs = 0;
    std::int64_t m_moduleUs = 0;         // how far the module's clock has been moved
    std::int64_t m_answeringUntilUs = 0; // the last byte of the module's reply leaves it
    int m_collisions = 0;
    bool m_open = false;
    bool m_openFails = false;
    bool m_pulled = false;
    bool m_dead = false; // the open port lost its adapter
    int m_portIndex = -1;
    int m_baudCode = -1;
    int m_openCount = 0;
    LineSettings m_settings;
};
