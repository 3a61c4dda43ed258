#include "traffic_record.h"

#include "crc.h"

#include <algorithm>
#include <chrono>

namespace {

int word(const std::uint8_t *bytes)
{
    return bytes[0] << 8 | bytes[1];
}

const char *functionName(int function)
{
    switch (function) {
    case 3: return " read holding";
    case 4: return " read input";
    case 5: return " write coil";
    case 6: return " write register";
    default: return "";
    }
}

bool isRead(int function)
{
    return function == 3 || function == 4;
}

bool isWrite(int function)
{
    return function == 5 || function == 6;
}

std::string addressText(int address)
{
    return address == 0 ? std::string("broadcast") : "addr " + std::to_string(address);
}

std::string functionText(int function)
{
    return "fn " + std::to_string(function) + functionName(function);
}

// The bytes a sound answer to this request has (0 when the function is not
// one the modules know).
int expectedSize(const std::array<std::uint8_t, 8> &request)
{
    if (isRead(request[1]))
        return 5 + 2 * word(&request[4]);
    return isWrite(request[1]) ? 8 : 0;
}

// A frame with a good CRC, read on its own.
std::string describeFrame(const TrafficEntry &entry)
{
    const std::uint8_t *b = entry.bytes.data();
    const int size = entry.size;
    const int function = b[1];
    std::string text = addressText(b[0]) + ", ";
    if (size > static_cast<int>(TrafficEntry::KeptBytes))
        return text + functionText(function) + ", " + std::to_string(size) + " bytes";
    if ((function & 0x80) && size == 5)
        return text + "exception " + std::to_string(b[2]) + " (" + modbusExceptionName(b[2]) +
               ") to fn " + std::to_string(function & 0x7F);
    if (isRead(function) && size >= 5 && b[2] == size - 5 && size % 2 == 1) {
        const int count = b[2] / 2;
        text += functionText(function) + ", " + std::to_string(count) + " registers:";
        for (int i = 0; i < count; ++i)
            text += " " + std::to_string(word(b + 3 + 2 * i));
        return text;
    }
    if (isWrite(function) && size == 8)
        return text + functionText(function) + ", reg " + std::to_string(word(b + 2)) + ", value " +
               std::to_string(word(b + 4));
    return text + functionText(function) + ", " + std::to_string(size) + " bytes";
}

TrafficLine describeRequest(const TrafficEntry &entry)
{
    const std::uint8_t *b = entry.bytes.data();
    if (entry.size < 6)
        return {TrafficVerdict::Ok, std::to_string(entry.size) + " bytes"};
    std::string text = addressText(b[0]) + ", " + functionText(b[1]) + ", reg " +
                       std::to_string(word(b + 2)) + (isRead(b[1]) ? ", count " : ", value ") +
                       std::to_string(word(b + 4));
    if (!entry.portOpen)
        return {TrafficVerdict::NotSent, text + "; not sent: port not open"};
    if (!entry.sent)
        return {TrafficVerdict::NotSent, text + "; not sent: write failed"};
    return {TrafficVerdict::Ok, text};
}

TrafficLine describeReply(const TrafficEntry &entry)
{
    const auto &request = entry.request;
    const int size = entry.size;
    if (size == 0)
        return {TrafficVerdict::NoReply, "no reply"};
    if (!entry.crcOk) {
        const int expected = expectedSize(request);
        std::string text = "CRC error (" + std::to_string(size) + " bytes";
        if (expected > 0 && expected != size)
            text += ", " + std::to_string(expected) + " expected";
        return {TrafficVerdict::CrcError, text + ")"};
    }
    const std::uint8_t *b = entry.bytes.data();
    const std::string frame = describeFrame(entry);
    if (b[0] != request[0])
        return {TrafficVerdict::Mismatch,
                "reply to another address (" + addressText(request[0]) + " asked): " + frame};
    if (b[1] == (request[1] | 0x80))
        return {size == 5 ? TrafficVerdict::Exception : TrafficVerdict::Mismatch, frame};
    if (b[1] != request[1])
        return {TrafficVerdict::Mismatch, "reply to another function (fn " +
                                              std::to_string(request[1]) + " asked): " + frame};
    if (isRead(request[1]) && size != expectedSize(request))
        return {TrafficVerdict::Mismatch, "reply of another length (" +
                                              std::to_string(word(&request[4])) +
                                              " registers asked): " + frame};
    if (isWrite(request[1])) {
        if (size == 8 && std::equal(request.begin(), request.end(), entry.bytes.begin()))
            return {TrafficVerdict::Ok, frame + ", echo"};
        return {TrafficVerdict::Mismatch, "echo mismatch: " + frame};
    }
    return {TrafficVerdict::Ok, frame};
}

} // namespace

TrafficRecord::TrafficRecord(std::size_t capacity)
    : m_capacity(std::max<std::size_t>(capacity, 1))
{
    setClock({});
}

void TrafficRecord::setClock(Clock clock)
{
    if (clock) {
        m_clock = std::move(clock);
        return;
    }
    const auto origin = std::chrono::steady_clock::now();
    m_clock = [origin] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - origin)
            .count();
    };
}

void TrafficRecord::clear()
{
    m_ring.clear();
    m_head = 0;
}

const TrafficEntry &TrafficRecord::at(std::size_t i) const
{
    return m_ring[(m_head + i) % m_ring.size()];
}

const TrafficEntry *TrafficRecord::find(std::uint64_t serial) const
{
    if (serial < firstSerial() || serial >= m_endSerial)
        return nullptr;
    return &at(static_cast<std::size_t>(serial - firstSerial()));
}

TrafficEntry &TrafficRecord::push()
{
    if (m_ring.size() < m_capacity) {
        // The whole ring is taken at once, so that it never moves again.
        if (m_ring.capacity() < m_capacity)
            m_ring.reserve(m_capacity);
        m_ring.emplace_back();
        TrafficEntry &entry = m_ring.back();
        entry.serial = m_endSerial++;
        return entry;
    }
    TrafficEntry &entry = m_ring[m_head];
    m_head = (m_head + 1) % m_capacity;
    entry.serial = m_endSerial++;
    return entry;
}

void TrafficRecord::recordRequest(const std::uint8_t *frame, std::size_t size, std::int64_t timeMs,
                                  int baudRate, bool portOpen, bool sent)
{
    if (!m_enabled)
        return;
    TrafficEntry &entry = push();
    entry.timeMs = timeMs;
    entry.baudRate = baudRate;
    entry.kind = TrafficEntry::Kind::Request;
    entry.portOpen = portOpen;
    entry.sent = sent;
    entry.crcOk =
        size >= 2 && crc16Modbus(frame, size - 2) == (frame[size - 2] | frame[size - 1] << 8);
    entry.size = static_cast<std::uint16_t>(size);
    std::copy_n(frame, entry.keptSize(), entry.bytes.begin());
    entry.request = {};
    entry.judged = false;
    m_judging = false;
    m_lastRequest = {};
    std::copy_n(frame, std::min<std::size_t>(size, m_lastRequest.size()), m_lastRequest.begin());
    m_replyDue = true;
}

void TrafficRecord::recordReceive(const std::vector<std::uint8_t> &frame, std::int64_t timeMs,
                                  int baudRate)
{
    if (!m_enabled)
        return;
    const bool reply = m_replyDue;
    m_replyDue = false;
    m_judging = false;
    // Nothing received is news only where a module owed an answer; a
    // broadcast is answered by nobody.
    if (frame.empty() && (!reply || m_lastRequest[0] == 0))
        return;
    TrafficEntry &entry = push();
    entry.judged = false;
    if (reply) {
        m_judging = true;
        m_judgedSerial = entry.serial;
    }
    entry.timeMs = timeMs;
    entry.baudRate = baudRate;
    entry.kind = reply ? TrafficEntry::Kind::Reply : TrafficEntry::Kind::Drain;
    entry.portOpen = true;
    entry.sent = true;
    const std::size_t size = frame.size();
    entry.size = static_cast<std::uint16_t>(std::min<std::size_t>(size, UINT16_MAX));
    entry.crcOk = size >= 4 &&
                  crc16Modbus(frame.data(), size - 2) == (frame[size - 2] | frame[size - 1] << 8);
    std::copy_n(frame.begin(), entry.keptSize(), entry.bytes.begin());
    entry.request = m_lastRequest;
}

void TrafficRecord::judge(const LinkFailure &verdict)
{
    if (!m_enabled || !m_judging || m_judgedSerial < firstSerial())
        return;
    TrafficEntry &entry = m_ring[(m_head + (m_judgedSerial - firstSerial())) % m_ring.size()];
    entry.judged = true;
    entry.verdict = verdict;
}

std::string trafficVerdict(const TrafficEntry &entry)
{
    return entry.judged ? entry.verdict.describe() : std::string();
}

const char *trafficDirection(const TrafficEntry &entry)
{
    return entry.isReceived() ? "Rx" : "Tx";
}

std::string trafficHex(const TrafficEntry &entry)
{
    static constexpr char Digits[] = "0123456789ABCDEF";
    const std::size_t kept = entry.keptSize();
    std::string text;
    text.reserve(kept * 3 + 16);
    for (std::size_t i = 0; i < kept; ++i) {
        if (i > 0)
            text += ' ';
        text += Digits[entry.bytes[i] >> 4];
        text += Digits[entry.bytes[i] & 0x0F];
    }
    if (entry.size > kept)
        text += " ... (+" + std::to_string(entry.size - kept) + ")";
    return text;
}

TrafficLine describeTraffic(const TrafficEntry &entry)
{
    switch (entry.kind) {
    case TrafficEntry::Kind::Request: return describeRequest(entry);
    case TrafficEntry::Kind::Reply: return describeReply(entry);
    case TrafficEntry::Kind::Drain: break;
    }
    if (entry.crcOk)
        return {TrafficVerdict::Stale, "late frame: " + describeFrame(entry)};
    return {TrafficVerdict::Stale, "stray bytes (" + std::to_string(entry.size) + ")"};
}

std::string trafficTime(std::int64_t timeMs)
{
    const std::int64_t magnitude = timeMs < 0 ? -timeMs : timeMs;
    std::string millis = std::to_string(magnitude % 1000);
    millis.insert(0, 3 - millis.size(), '0');
    return (timeMs < 0 ? "-" : "") + std::to_string(magnitude / 1000) + "." + millis;
}
