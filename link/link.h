#pragma once

#include "combuf.h"
#include "line_arbiter.h"
#include "link_failure.h"
#include "port_tables.h"
#include "serial_line.h"
#include "traffic_record.h"

#include <cstdint>
#include <memory>
#include <vector>

// The Modbus RTU master on the one serial line. Every request any window sends
// and every reply it reads passes through here and through ComBuf.
//
// An exchange is: ReadReply() to drain, SendCmd(), ReadReply() to collect, then
// the caller's own check (CrcCheck for reads, EchoOk for writes). The link makes
// no retries and reports no failure; callers judge each reply, and each check
// that fails keeps why (lastFailure) and marks the reply in the traffic record.
// The program sends and receives through arbiter(), the one owner of the line.
class Link
{
public:
    explicit Link(std::unique_ptr<SerialLine> line);
    ~Link();

    Link(const Link &) = delete;
    Link &operator=(const Link &) = delete;

    // Request frame, reply area and the shared state fields (see cb::).
    ComBufArray ComBuf{};
    // Serial number of the module found by the scan.
    std::uint32_t SerialNo = 0;

    // Opens the port at portIndex (0..15, callers pass ComNo - 1) with the line
    // settings of baud code baudIndex (0..3). A port that cannot be opened gives
    // no message; reads then time out and writes fail. Configuration failures
    // are shown as "Error in GetCommState", "Error in BuildCommDCB" and "Error
    // in SetCommState", one box per failed step, and opening goes on.
    void OpenCom(int portIndex, int baudIndex);
    // Closes the port handle; harmless when nothing is open.
    void CloseCom();
    // CloseCom, then OpenCom(ComNo - 1, baudIndex): the reopen every change of
    // baud rate makes.
    void Reopen(int baudIndex);

    // The open port was lost under the link (the adapter pulled out): a
    // request it did not take, or the serial line reporting its device gone.
    // Cleared by the next OpenCom that opens the port.
    bool lineLost() const { return m_lost || (m_open && m_line->lost()); }
    // Opens the lost port once more: the same port at the same baud code.
    // True when it is open again.
    bool reopenLost();

    // Builds the 8-byte request in ComBuf[0..7] and writes it. For functions 3
    // and 4 value is the register count, for 5 and 6 the value written. Each
    // argument is taken as 16 bits, so -1 and 65535 both go out as FF FF.
    bool SendCmd(int address, int function, int reg, int value);
    // CRC over ComBuf[0..n-1], stored low byte at n, high byte at n+1.
    void CrcMake(int n);
    // Receives byte by byte into the reply area until 100 ms of silence. Reply
    // byte k lands at ComBuf[20 + k]; the store made for the read that timed out
    // leaves a copy of the last byte at 20 + n. Bytes beyond the 75th are
    // dropped so that they never reach the state fields.
    int ReadReply();
    // True when the CRC over reply bytes 0..n-1 equals reply bytes n (low) and
    // n+1 (high), and the last ReadReply received at least those n + 2 bytes.
    // Replies longer than the reply area (a 36-register read is 77 bytes) are
    // checked on the complete frame the receive kept.
    bool CrcCheck(int n) const;
    // A sound answer to the read request in ComBuf[0..7]: received by the last
    // ReadReply, from the address asked, with the function asked, the byte count
    // of `registers` registers and a good CRC.
    bool ReplyOk(int registers) const;
    // Echo check of a write: the echoed CRC equals the CRC just sent, and the
    // last ReadReply received the whole echo. Bytes an earlier reply left in
    // the reply area never count.
    bool EchoOk() const;
    // Why the reply the last check judged failed it (kind None when it
    // passed): no reply, CRC error, wrong address, function or byte count,
    // the module's exception code, a short reply, an echo mismatch, or the
    // line lost when the request never went out.
    const LinkFailure &lastFailure() const { return m_lastFailure; }

    // Unsigned 16-bit register i of a read reply (high byte at 23 + 2i).
    int replyRegister(int i) const;

    // Bytes the last ReadReply received (0 when the line stayed quiet).
    int lastReceiveCount() const { return m_lastReceiveCount; }
    // Every byte the last ReadReply received, also those beyond the reply area.
    const std::vector<std::uint8_t> &lastFrame() const { return m_frame; }

    // Baud code of the last OpenCom (-1 before the first).
    int currentBaud() const { return m_baudIndex; }
    bool isOpen() const { return m_open; }

    // Who has the line; every exchange of the program goes through it.
    LineArbiter &arbiter() { return m_arbiter; }

    // The record of every frame SendCmd wrote and every receive of
    // ReadReply, drains included (see TrafficRecord). On from the start.
    TrafficRecord &traffic() { return m_traffic; }
    const TrafficRecord &traffic() const { return m_traffic; }

    // A line that never falls silent would keep ReadReply receiving for ever:
    // it gives up after this many bytes (several frames' worth at any rate).
    static constexpr int MaxReceive = 1024;

private:
    // Reply byte k: from the reply area while it lasts, then from the kept frame
    // (-1 past the bytes received).
    int replyByte(int k) const;
    // Bits per second of the baud code last opened, 0 for none.
    int lineRate() const;
    bool crcPasses(int n) const;
    // Why the last receive is not the sound answer of `size` bytes to the
    // request in ComBuf[0..7] (a write's echo when `echo`).
    LinkFailure classify(int size, bool echo) const;
    // Keeps a check's verdict and marks the reply in the traffic record.
    bool judged(bool passed, int size, bool echo) const;

    std::unique_ptr<SerialLine> m_line;
    std::uint16_t m_receiveCell = 0; // keeps the last byte ever received
    std::vector<std::uint8_t> m_frame;
    // The checks are const; what they judge is kept all the same.
    mutable TrafficRecord m_traffic;
    mutable LinkFailure m_lastFailure;
    int m_portIndex = -1;
    int m_baudIndex = -1;
    int m_lastReceiveCount = 0;
    bool m_open = false;
    bool m_lastSent = false; // the port took the last request
    bool m_lost = false;
    LineArbiter m_arbiter{*this};
};
