#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Faults a simulated line (or quorelsim) injects into an exchange.
enum class LineFault {
    NoReply,    // the request is lost (the module never sees it)
    BadCrc,     // the reply's CRC is damaged
    ShortReply, // the reply loses its last bytes
    Exception,  // the module answers with an exception reply (code 4) and does nothing
    Garbage,    // noise bytes arrive instead of the reply
    SplitReply, // the reply arrives in two parts with a pause of more than 100 ms
    Pulled,     // the USB adapter is pulled out: this request and everything after it is lost
};

inline constexpr std::array<LineFault, 7> AllLineFaults = {
    LineFault::NoReply, LineFault::BadCrc,     LineFault::ShortReply, LineFault::Exception,
    LineFault::Garbage, LineFault::SplitReply, LineFault::Pulled};

// Short name of a fault, as quorelsim's --fault takes it and its log shows it
// ("noreply", "badcrc", "short", "refuse", "garbage", "split", "pulled").
const char *faultName(LineFault fault);

// A fault aimed at requests with a function and a register (-1: any), from the
// nth such request on (1 = the next one), for `times` of them.
struct FaultRule
{
    LineFault fault = LineFault::NoReply;
    int function = -1;
    int reg = -1;
    int nth = 1;
    int times = 1;

    bool operator==(const FaultRule &) const = default;
};

// The rule in quorelsim's --fault syntax, KIND:FUNCTION:REGISTER@NxK ("*" for any).
std::string faultRuleText(const FaultRule &rule);

// The faults armed on one line, and what they do to a reply.
//
// Only requests the module would answer are offered (its address, its baud
// rate, a good CRC). Every rule counts the matching requests until its nth;
// from then on it is due and takes the next matching requests, `times` of them.
// When several rules are due on one request the one armed first takes it and
// the others wait for the next: rules armed for "the next request" therefore
// queue one after the other.
class FaultPlan
{
public:
    void arm(const FaultRule &rule);
    // The fault for this request, if any; the request is counted by every rule
    // it matches.
    std::optional<LineFault> take(const std::uint8_t *frame, std::size_t size);
    // Requests the armed rules will still fault.
    int pending() const;
    void clear() { m_rules.clear(); }

    // What BadCrc, ShortReply and Garbage do to the module's reply; other
    // faults leave it as it is.
    void damage(LineFault fault, const std::vector<std::uint8_t> &request,
                std::vector<std::uint8_t> &reply);

    // True when the frame has a good CRC and is addressed to `address`.
    static bool addressedTo(const std::vector<std::uint8_t> &frame, int address);
    // The exception reply (code 4) to a request.
    static std::vector<std::uint8_t> exceptionReply(const std::vector<std::uint8_t> &request);

private:
    struct Armed
    {
        FaultRule rule;
        int seen = 0; // matching requests counted before the nth
        int left = 0; // requests still to fault
    };
    std::vector<Armed> m_rules;
    unsigned m_noiseSeed = 0x2545F491u;
};
