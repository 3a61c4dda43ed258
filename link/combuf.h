#pragma once

#include <array>
#include <cstdint>

// Named positions of the link buffer. The buffer holds the request frame being
// sent (0..7), the bytes of the last reply one per word (20..94) and the state
// fields shared by every window (95..104).
namespace cb {
enum : int {
    Request = 0,       // address, function, register hi/lo, value hi/lo
    RequestCrcLo = 6,  // CRC of the request, low byte
    RequestCrcHi = 7,  // CRC of the request, high byte
    Reply = 20,        // reply byte k lands at Reply + k
    ReplyLast = 94,    // last slot of the reply area (75 bytes)
    LangCode = 95,     // 50 English, 1028 Traditional Chinese, 2052 Simplified Chinese
    DevAddr = 96,      // slave address used for requests
    DevFamily = 97,    // 0 none, 1..5
    ComNo = 98,        // COM port number found by the scan, 0 none
    BaudIdx = 99,      // baud code being probed
    PortIdx = 100,     // running count of listed COM entries
    ParseStart = 101,  // start of the port number inside the adapter's name
    ParseLength = 102, // length of the port number inside the adapter's name
    DevVer = 103,      // version index of the module
    DevModel = 104,    // model code of a family-1 module
    Size = 105
};
} // namespace cb

using ComBufArray = std::array<std::int16_t, cb::Size>;

// Language codes kept in ComBuf[cb::LangCode].
namespace lang {
enum : int { English = 50, Traditional = 1028, Simplified = 2052 };
}
