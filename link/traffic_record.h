#pragma once

#include "link_failure.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// One frame that went out on the line or came in from it.
struct TrafficEntry
{
    enum class Kind : std::uint8_t {
        Request, // a frame SendCmd wrote (or failed to write)
        Reply,   // what the first ReadReply after a request received, nothing included
        Drain,   // bytes any other ReadReply received (stale or late bytes)
    };

    // Frames longer than this keep only their first bytes; the count of all
    // bytes and the CRC verdict on the whole frame are kept.
    static constexpr std::size_t KeptBytes = 80;

    std::uint64_t serial = 0; // running number, never reused
    std::int64_t timeMs = 0;  // request: start of the write; received: first byte (or the give-up)
    int baudRate = 0;         // bits per second the line was set to, 0 when unknown
    Kind kind = Kind::Request;
    bool sent = true;     // request: the port took the frame
    bool portOpen = true; // request: the port was open
    bool crcOk = false;   // received: the CRC over the whole frame is good
    bool judged = false;  // reply: the link checked it; its verdict follows
    LinkFailure verdict;
    std::uint16_t size = 0; // bytes of the frame (all of them, also those not kept)
    // Reply and drain: the last request sent before them (all zero before any).
    std::array<std::uint8_t, 8> request{};
    std::array<std::uint8_t, KeptBytes> bytes{};

    std::size_t keptSize() const { return size < KeptBytes ? size : KeptBytes; }
    bool isReceived() const { return kind != Kind::Request; }
};

// How a line of the record reads: the colour the traffic window gives it.
enum class TrafficVerdict {
    Ok,        // a request sent, a sound reply
    NotSent,   // a request the port did not take
    NoReply,   // nothing arrived in answer to a request
    CrcError,  // a frame whose CRC is wrong (damaged or cut short)
    Exception, // the module refused the request
    Mismatch,  // a sound frame that does not answer the request (echo mismatch included)
    Stale,     // bytes a drain found: a late or stray frame
};

struct TrafficLine
{
    TrafficVerdict verdict = TrafficVerdict::Ok;
    std::string text;
};

// The link's own record of the frames on the line, newest last. A ring of at
// most capacity() entries: once full, each new entry replaces the oldest, so
// the record never grows beyond it. Recording copies a few bytes into a slot
// that is already there; nothing is formatted until someone reads the record.
//
// The link is single-threaded and so is the record: readers (the traffic
// window) look at it between two exchanges.
class TrafficRecord
{
public:
    // Milliseconds on a monotonic clock.
    using Clock = std::function<std::int64_t()>;

    static constexpr std::size_t DefaultCapacity = 10000;

    explicit TrafficRecord(std::size_t capacity = DefaultCapacity);

    // Replaces the clock (tests give the simulated line's virtual clock). The
    // default counts from the record's creation on the steady clock.
    void setClock(Clock clock);
    std::int64_t now() const { return m_clock(); }

    // A disabled record takes nothing and costs nothing; entries kept stay.
    void setEnabled(bool enabled) { m_enabled = enabled; }
    bool isEnabled() const { return m_enabled; }

    // Forgets every entry; serial numbers go on from where they were.
    void clear();

    std::size_t capacity() const { return m_capacity; }
    std::size_t size() const { return m_ring.size(); }
    // Entry i, 0 the oldest kept.
    const TrafficEntry &at(std::size_t i) const;
    // Serial number of the oldest entry kept, and the one the next entry gets:
    // the record holds the serials firstSerial() .. endSerial() - 1.
    std::uint64_t firstSerial() const { return m_endSerial - size(); }
    std::uint64_t endSerial() const { return m_endSerial; }
    // The entry with this serial, or nullptr when it is not (or no longer) kept.
    const TrafficEntry *find(std::uint64_t serial) const;

    // What the link tells the record. A request is stamped with timeMs, taken
    // before its write; whatever the next receive gets is its reply.
    void recordRequest(const std::uint8_t *frame, std::size_t size, std::int64_t timeMs,
                       int baudRate, bool portOpen, bool sent);
    // One receive: its bytes (all of them) and the time of its first byte.
    // A receive of nothing is kept only where a reply was due: "no reply".
    void recordReceive(const std::vector<std::uint8_t> &frame, std::int64_t timeMs, int baudRate);
    // The port was closed or opened again: whatever comes next answers no request.
    void lineClosed() { m_replyDue = false; }
    // The link's check of the reply the last receive collected: kept on that
    // reply's entry (nothing when the last receive was no reply).
    void judge(const LinkFailure &verdict);

private:
    TrafficEntry &push();

    std::size_t m_capacity;
    std::vector<TrafficEntry> m_ring; // grows up to m_capacity, then wraps
    std::size_t m_head = 0;           // slot of the oldest entry once the ring is full
    std::uint64_t m_endSerial = 0;
    Clock m_clock;
    std::array<std::uint8_t, 8> m_lastRequest{};
    std::uint64_t m_judgedSerial = 0; // entry the next judgement marks, when m_judging
    bool m_judging = false;
    bool m_replyDue = false;
    bool m_enabled = true;
};

// The three columns the traffic window shows for an entry, besides its time.
// "Tx" for a request, "Rx" for what was received.
const char *trafficDirection(const TrafficEntry &entry);
// The kept bytes in hex, "01 04 1F 00", with "… (+N)" for bytes not kept.
std::string trafficHex(const TrafficEntry &entry);
// One decoded line: address, function, register, count or value; for a reply
// the registers read or the echo, or "no reply", "CRC error", the exception
// code, "echo mismatch", a reply that answers another request.
TrafficLine describeTraffic(const TrafficEntry &entry);
// The link's verdict on a reply it checked: "ok", "no reply", "CRC error",
// "exception code 2"...; empty for an entry no check judged.
std::string trafficVerdict(const TrafficEntry &entry);
// Seconds with milliseconds, "12.345".
std::string trafficTime(std::int64_t timeMs);
