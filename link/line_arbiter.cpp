#include "line_arbiter.h"

#include "crc.h"
#include "link.h"

namespace {
// Drains that a request waits for at most on a line that will not fall
// quiet, and held exchanges that one use of the line lets go first.
constexpr int MaxDrains = 8;
} // namespace

LineArbiter::LineArbiter(Link &link)
    : m_link(link)
{}

void LineArbiter::hold(Holder &holder)
{
    m_holder = &holder;
}

void LineArbiter::release(const Holder &holder)
{
    if (m_holder == &holder)
        m_holder = nullptr;
}

void LineArbiter::awaitFree(const Holder *user)
{
    if (m_completing)
        return;
    m_completing = true;
    // What the held exchanges lead to may hold the line anew (a chain that
    // starts the next one): that is made first as well.
    for (int i = 0; i < MaxDrains && m_holder && m_holder != user; ++i)
        if (!m_holder->completeHeld())
            break; // it is making an exchange right now: the line is its own
    m_completing = false;
}

int LineArbiter::receive()
{
    const int last = m_link.ReadReply();
    const std::vector<std::uint8_t> &frame = m_link.lastFrame();
    const bool silent = frame.size() < static_cast<std::size_t>(Link::MaxReceive);
    const bool whole =
        frame.empty() ||
        (frame.size() >= 4 && crc16Modbus(frame.data(), frame.size() - 2) ==
                                  (frame[frame.size() - 2] | frame[frame.size() - 1] << 8));
    m_quiet = silent && whole;
    return last;
}

bool LineArbiter::send(int address, int function, int reg, int value)
{
    for (int i = 0; i < MaxDrains && !m_quiet; ++i) {
        receive();
        // A drain that ended in silence leaves the line quiet, whatever it got.
        m_quiet = m_quiet || m_link.lastFrame().size() < static_cast<std::size_t>(Link::MaxReceive);
    }
    const bool sent = m_link.SendCmd(address, function, reg, value);
    // Nothing that was not written is answered.
    m_quiet = !sent;
    return sent;
}
