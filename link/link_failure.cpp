#include "link_failure.h"

std::string LinkFailure::describe() const
{
    switch (kind) {
    case Kind::None: return "ok";
    case Kind::NoReply: return "no reply";
    case Kind::CrcError: return "CRC error";
    case Kind::WrongAddress: return "wrong address";
    case Kind::WrongFunction: return "wrong function";
    case Kind::WrongByteCount: return "wrong byte count";
    case Kind::Exception: return "exception code " + std::to_string(exceptionCode);
    case Kind::ShortReply: return "short reply";
    case Kind::EchoMismatch: return "echo mismatch";
    case Kind::LineLost: return "line lost";
    }
    return "unknown";
}

const char *modbusExceptionName(int code)
{
    switch (code) {
    case 1: return "illegal function";
    case 2: return "illegal data address";
    case 3: return "illegal data value";
    case 4: return "slave device failure";
    case 5: return "acknowledge";
    case 6: return "slave device busy";
    default: return "unknown";
    }
}
