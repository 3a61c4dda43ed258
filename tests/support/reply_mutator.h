#pragma once

// Damaged and forged replies for the fuzz tests: a seeded generator, the
// mutations, and an independent judge of what a sound answer to a read is.
#include "crc.h"

#include <array>
#include <cstdint>
#include <vector>

// splitmix64: the same sequence on every platform and library.
class FuzzRandom
{
public:
    explicit FuzzRandom(std::uint64_t seed)
        : m_state(seed)
    {}
    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0..n-1 (n > 0).
    std::size_t below(std::size_t n) { return static_cast<std::size_t>(next() % n); }
    std::uint8_t byte() { return static_cast<std::uint8_t>(next()); }

private:
    std::uint64_t m_state;
};

enum class Mutation { BitFlips, Truncation, Extension, RandomBytes, Header, Noise };
inline constexpr std::array<const char *, 6> MutationNames = {
    "bit flips", "truncation", "extension", "random bytes", "header", "noise"};

// One mutation of a reply, chosen by the generator; about half of the results
// then get a CRC that matches their bytes, so the checks beyond the CRC
// (address, function, byte count) are tried too. Returns the mutation made.
inline Mutation mutateReply(FuzzRandom &random, std::vector<std::uint8_t> &reply)
{
    const auto kind = static_cast<Mutation>(random.below(MutationNames.size()));
    switch (kind) {
    case Mutation::BitFlips:
        if (!reply.empty())
            for (std::size_t n = 1 + random.below(3); n > 0; --n)
                reply[random.below(reply.size())] ^=
                    static_cast<std::uint8_t>(1u << random.below(8));
        break;
    case Mutation::Truncation: reply.resize(reply.empty() ? 0 : random.below(reply.size())); break;
    case Mutation::Extension: {
        // Now and then past what the link receives in one go.
        const std::size_t extra =
            random.below(8) == 0 ? 900 + random.below(300) : 1 + random.below(80);
        for (std::size_t n = 0; n < extra; ++n)
            reply.push_back(random.byte());
        break;
    }
    case Mutation::RandomBytes:
        if (!reply.empty())
            for (std::size_t n = 1 + random.below(4); n > 0; --n)
                reply[random.below(reply.size())] = random.byte();
        break;
    case Mutation::Header: {
        // Address, function (or its exception form) or byte count changed.
        const std::size_t at = random.below(3);
        if (reply.size() > at) {
            const std::uint8_t old = reply[at];
            reply[at] = at == 1 && random.below(2) == 0
                            ? static_cast<std::uint8_t>(old | 0x80)
                            : static_cast<std::uint8_t>(old + 1 + random.below(255));
        }
        break;
    }
    case Mutation::Noise:
        reply.resize(random.below(100));
        for (std::uint8_t &b : reply)
            b = random.byte();
        break;
    }
    if (reply.size() >= 3 && random.below(2) == 0) {
        const std::uint16_t crc = crc16Modbus(reply.data(), reply.size() - 2);
        reply[reply.size() - 2] = static_cast<std::uint8_t>(crc & 0xFF);
        reply[reply.size() - 1] = static_cast<std::uint8_t>(crc >> 8);
    }
    return kind;
}

// True for a sound answer to the read request (function 3 or 4): its address
// and function, a byte count of twice the registers asked, the data and a
// CRC that matches them, all within the bytes received (anything after the
// CRC is line noise after the frame).
inline bool soundReadReply(const std::vector<std::uint8_t> &request,
                           const std::vector<std::uint8_t> &reply)
{
    if (request.size() < 6)
        return false;
    const std::size_t count = static_cast<std::size_t>(request[4] << 8 | request[5]);
    const std::size_t body = 3 + 2 * count;
    if (reply.size() < body + 2 || reply[0] != request[0] || reply[1] != request[1] ||
        reply[2] != 2 * count)
        return false;
    const std::uint16_t crc = crc16Modbus(reply.data(), body);
    return reply[body] == (crc & 0xFF) && reply[body + 1] == (crc >> 8);
}
