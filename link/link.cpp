#include "link.h"

#include "crc.h"
#include "message_sink.h"

#include <array>

Link::Link(std::unique_ptr<SerialLine> line)
    : m_line(std::move(line))
{}

Link::~Link() = default;

void Link::OpenCom(int portIndex, int baudIndex)
{
    m_open = false;
    m_lost = false;
    m_traffic.lineClosed();
    m_portIndex = portIndex;
    m_baudIndex = baudIndex;
    // Only COM1..COM16 exist; anything else stays unopened, as a port that
    // could not be opened.
    if (portIndex < 0 || portIndex >= PortTable::Size)
        return;
    if (!m_line->open(portIndex))
        return;
    m_open = true;

    LineSettings settings;
    if (!m_line->getState(settings))
        showMessage("Error in GetCommState");
    const bool knownBaud = baudIndex >= 0 && baudIndex < static_cast<int>(BaudTable.size());
    if (!knownBaud || !buildLineSettings(BaudTable[baudIndex], settings))
        showMessage("Error in BuildCommDCB");
    if (!m_line->setState(settings))
        showMessage("Error in SetCommState");
}

void Link::CloseCom()
{
    m_line->close();
    m_open = false;
    m_traffic.lineClosed();
}

void Link::Reopen(int baudIndex)
{
    CloseCom();
    OpenCom(ComBuf[cb::ComNo] - 1, baudIndex);
}

bool Link::reopenLost()
{
    CloseCom();
    OpenCom(m_portIndex, m_baudIndex);
    m_lost = !m_open;
    return m_open;
}

bool Link::SendCmd(int address, int function, int reg, int value)
{
    ComBuf[0] = static_cast<std::int16_t>(address & 0xFF);
    ComBuf[1] = static_cast<std::int16_t>(function & 0xFF);
    ComBuf[2] = static_cast<std::int16_t>((reg >> 8) & 0xFF);
    ComBuf[3] = static_cast<std::int16_t>(reg & 0xFF);
    ComBuf[4] = static_cast<std::int16_t>((value >> 8) & 0xFF);
    ComBuf[5] = static_cast<std::int16_t>(value & 0xFF);
    CrcMake(6);
    std::array<std::uint8_t, 8> frame{};
    for (int i = 0; i < 8; ++i)
        frame[i] = static_cast<std::uint8_t>(ComBuf[i] & 0xFF);
    const std::int64_t timeMs = m_traffic.isEnabled() ? m_traffic.now() : 0;
    const bool sent = m_line->write(frame.data(), frame.size());
    m_lastSent = sent;
    // An open port that refuses a request has lost its device.
    if (m_open && (!sent || m_line->lost()))
        m_lost = true;
    if (m_traffic.isEnabled())
        m_traffic.recordRequest(frame.data(), frame.size(), timeMs, lineRate(), m_open, sent);
    return sent;
}

void Link::CrcMake(int n)
{
    std::array<std::uint8_t, cb::Size> bytes{};
    for (int i = 0; i < n; ++i)
        bytes[i] = static_cast<std::uint8_t>(ComBuf[i] & 0xFF);
    const std::uint16_t crc = crc16Modbus(bytes.data(), static_cast<std::size_t>(n));
    ComBuf[n] = static_cast<std::int16_t>(crc & 0xFF);
    ComBuf[n + 1] = static_cast<std::int16_t>(crc >> 8);
}

int Link::ReadReply()
{
    int k = 0;
    bool delivered = false;
    m_frame.clear();
    const bool recording = m_traffic.isEnabled();
    std::int64_t firstByteMs = 0;
    do {
        std::uint8_t byte = 0;
        delivered = m_line->readByte(byte);
        if (delivered) {
            if (recording && m_frame.empty())
                firstByteMs = m_traffic.now();
            m_receiveCell = byte;
            m_frame.push_back(byte);
        }
        if (cb::Reply + k <= cb::ReplyLast)
            ComBuf[cb::Reply + k] = static_cast<std::int16_t>(m_receiveCell);
        ++k;
    } while (delivered && k < MaxReceive);
    m_lastReceiveCount = delivered ? k : k - 1;
    if (m_open && m_line->lost())
        m_lost = true;
    if (recording)
        m_traffic.recordReceive(m_frame, m_frame.empty() ? m_traffic.now() : firstByteMs,
                                lineRate());
    return m_receiveCell;
}

int Link::lineRate() const
{
    return m_baudIndex >= 0 && m_baudIndex < static_cast<int>(BaudRates.size())
               ? BaudRates[static_cast<std::size_t>(m_baudIndex)]
               : 0;
}

int Link::replyByte(int k) const
{
    // The reply area holds the first 75 bytes; the frame kept by the receive
    // goes on past its end.
    if (cb::Reply + k <= cb::ReplyLast)
        return ComBuf[cb::Reply + k] & 0xFF;
    return k < static_cast<int>(m_frame.size()) ? m_frame[static_cast<std::size_t>(k)] : -1;
}

bool Link::CrcCheck(int n) const
{
    return judged(crcPasses(n), n + 2, false);
}

bool Link::crcPasses(int n) const
{
    // The reply area is never cleared: a reply cut short, or none at all,
    // would leave an earlier reply's bytes in place, CRC included. Only a
    // reply that this receive delivered in full can pass.
    if (n < 0 || m_lastReceiveCount < n + 2)
        return false;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(replyByte(i));
    const std::uint16_t crc = crc16Modbus(bytes.data(), bytes.size());
    return replyByte(n) == (crc & 0xFF) && replyByte(n + 1) == (crc >> 8);
}

bool Link::ReplyOk(int registers) const
{
    const bool passed = registers > 0 && crcPasses(3 + 2 * registers) &&
                        replyByte(0) == (ComBuf[0] & 0xFF) && replyByte(1) == (ComBuf[1] & 0xFF) &&
                        replyByte(2) == 2 * registers;
    return judged(passed, 5 + 2 * registers, false);
}

bool Link::EchoOk() const
{
    // The echo must have arrived in this exchange, whole.
    const bool passed =
        m_lastReceiveCount >= 8 && ComBuf[6] == ComBuf[26] && ComBuf[7] == ComBuf[27];
    return judged(passed, 8, true);
}

bool Link::judged(bool passed, int size, bool echo) const
{
    m_lastFailure = passed ? LinkFailure{} : classify(size, echo);
    m_traffic.judge(m_lastFailure);
    return passed;
}

LinkFailure Link::classify(int size, bool echo) const
{
    using Kind = LinkFailure::Kind;
    if (!m_lastSent)
        return {Kind::LineLost};
    const int received = static_cast<int>(m_frame.size());
    if (received == 0)
        return {Kind::NoReply};
    // A frame whose CRC holds, alone or followed by stray bytes, says what it
    // answers; any other is damaged or cut short.
    const auto soundOver = [this](int n) {
        return n >= 4 && crc16Modbus(m_frame.data(), static_cast<std::size_t>(n - 2)) ==
                             (m_frame[static_cast<std::size_t>(n - 2)] |
                              m_frame[static_cast<std::size_t>(n - 1)] << 8);
    };
    int length = 0;
    if (soundOver(received))
        length = received;
    else if (received > size && soundOver(size))
        length = size;
    if (length == 0)
        return {received < size ? Kind::ShortReply : Kind::CrcError};
    const int function = ComBuf[1] & 0xFF;
    if (m_frame[0] != (ComBuf[0] & 0xFF))
        return {Kind::WrongAddress};
    if (m_frame[1] == (function | 0x80) && length == 5)
        return {Kind::Exception, m_frame[2]};
    if (m_frame[1] != function)
        return {Kind::WrongFunction};
    if (!echo)
        return {Kind::WrongByteCount};
    return {length < size ? Kind::ShortReply : Kind::EchoMismatch};
}

int Link::replyRegister(int i) const
{
    return (ComBuf[23 + 2 * i] & 0xFF) * 256 + (ComBuf[24 + 2 * i] & 0xFF);
}
