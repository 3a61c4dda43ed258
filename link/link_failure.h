#pragma once

#include <cstdint>
#include <string>

// Why an exchange failed, as the link's checks judged its reply: one kind per
// failure, and the module's exception code where it refused the request.
struct LinkFailure
{
    enum class Kind : std::uint8_t {
        None,           // the reply was sound
        NoReply,        // nothing arrived
        CrcError,       // a reply of the full length whose CRC is wrong
        WrongAddress,   // a sound frame from another address
        WrongFunction,  // a sound frame of another function
        WrongByteCount, // a sound read reply with another number of registers
        Exception,      // the module refused the request (exceptionCode)
        ShortReply,     // fewer bytes than the answer has
        EchoMismatch,   // a sound frame of a write's length that is not its echo
        LineLost,       // the request did not go out: the port is lost or not open
    };

    Kind kind = Kind::None;
    int exceptionCode = 0; // Exception only

    bool failed() const { return kind != Kind::None; }
    // "no reply", "CRC error", "exception code 2", "line lost"...; "ok" for None.
    std::string describe() const;

    bool operator==(const LinkFailure &) const = default;
};

// Name of a Modbus exception code ("illegal data address"), "unknown" for others.
const char *modbusExceptionName(int code);
