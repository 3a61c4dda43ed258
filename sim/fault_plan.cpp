#include "fault_plan.h"

#include "crc.h"

namespace {

bool crcOk(const std::vector<std::uint8_t> &frame)
{
    if (frame.size() < 4)
        return false;
    const std::uint16_t crc = crc16Modbus(frame.data(), frame.size() - 2);
    return frame[frame.size() - 2] == (crc & 0xFF) && frame[frame.size() - 1] == (crc >> 8);
}

std::string anyOr(int number)
{
    return number < 0 ? "*" : std::to_string(number);
}

} // namespace

const char *faultName(LineFault fault)
{
    switch (fault) {
    case LineFault::NoReply: return "noreply";
    case LineFault::BadCrc: return "badcrc";
    case LineFault::ShortReply: return "short";
    case LineFault::Exception: return "refuse";
    case LineFault::Garbage: return "garbage";
    case LineFault::SplitReply: return "split";
    case LineFault::Pulled: return "pulled";
    }
    return "?";
}

std::string faultRuleText(const FaultRule &rule)
{
    return std::string(faultName(rule.fault)) + ":" + anyOr(rule.function) + ":" + anyOr(rule.reg) +
           "@" + std::to_string(rule.nth) + "x" + std::to_string(rule.times);
}

void FaultPlan::arm(const FaultRule &rule)
{
    if (rule.times > 0)
        m_rules.push_back({rule, 0, rule.times});
}

std::optional<LineFault> FaultPlan::take(const std::uint8_t *frame, std::size_t size)
{
    const int function = size > 1 ? frame[1] : -1;
    const int reg = size > 3 ? frame[2] << 8 | frame[3] : -1;
    std::optional<LineFault> taken;
    for (auto it = m_rules.begin(); it != m_rules.end();) {
        const FaultRule &rule = it->rule;
        const bool matches =
            (rule.function < 0 || rule.function == function) && (rule.reg < 0 || rule.reg == reg);
        if (!matches) {
            ++it;
        } else if (it->seen + 1 < rule.nth) {
            ++it->seen;
            ++it;
        } else if (taken) {
            ++it; // due, but an earlier rule has this request
        } else {
            taken = rule.fault;
            --it->left;
            it = it->left == 0 ? m_rules.erase(it) : it + 1;
        }
    }
    return taken;
}

int FaultPlan::pending() const
{
    int n = 0;
    for (const Armed &armed : m_rules)
        n += armed.left;
    return n;
}

void FaultPlan::damage(LineFault fault, const std::vector<std::uint8_t> &request,
                       std::vector<std::uint8_t> &reply)
{
    if (reply.empty())
        return;
    if (fault == LineFault::BadCrc) {
        reply[reply.size() - 1] ^= 0x5A;
        reply[reply.size() - 2] ^= 0xA5;
    } else if (fault == LineFault::ShortReply) {
        reply.resize(reply.size() > 3 ? reply.size() - 3 : reply.size() - 1);
    } else if (fault == LineFault::Garbage) {
        // Noise of the reply's length that matches neither its CRC nor the
        // echo of the request.
        const std::uint8_t first = reply[0];
        for (auto &b : reply) {
            m_noiseSeed = m_noiseSeed * 1103515245u + 12345u;
            b = static_cast<std::uint8_t>(m_noiseSeed >> 16);
        }
        reply[0] = static_cast<std::uint8_t>(first ^ 0xFF);
        if (crcOk(reply))
            reply.back() ^= 0x01;
        if (reply.size() >= 8 && request.size() >= 8 && reply[6] == request[6] &&
            reply[7] == request[7])
            reply[7] ^= 0x01;
    }
}

bool FaultPlan::addressedTo(const std::vector<std::uint8_t> &frame, int address)
{
    return crcOk(frame) && frame[0] == address;
}

std::vector<std::uint8_t> FaultPlan::exceptionReply(const std::vector<std::uint8_t> &request)
{
    std::vector<std::uint8_t> reply{request.at(0), static_cast<std::uint8_t>(request.at(1) | 0x80),
                                    4};
    const std::uint16_t crc = crc16Modbus(reply.data(), reply.size());
    reply.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    reply.push_back(static_cast<std::uint8_t>(crc >> 8));
    return reply;
}
