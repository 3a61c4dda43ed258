#include "module_probe.h"

#include "device_settings.h"
#include "link.h"

void identifyModule(Link &link, int address)
{
    LineArbiter &line = link.arbiter();
    line.awaitFree();
    line.receive();
    line.send(address, 4, InfoBlockRegister, 4);
    line.receive();
    // Decide only on a genuine answer to this request: from the address asked,
    // with function 4, eight data bytes and a good CRC, never on bytes an
    // earlier exchange left in the reply area.
    auto &buf = link.ComBuf;
    if (!link.ReplyOk(InfoBlockCount))
        return;

    const int c = buf[23] & 0xFF;
    const int v = buf[24] & 0xFF;
    const int e = c * 256 + v;
    if (c >= 32 && c <= 36) {
        buf[cb::DevFamily] = ConverterFamily;
    } else if (e == 3110 || c == 1 || c == 2 || c == 17 || c == 18) {
        buf[cb::DevFamily] = TransmitterFamily;
        buf[cb::DevModel] = static_cast<std::int16_t>(c);
    } else if (c >= 3 && c <= 7) {
        buf[cb::DevFamily] = ResistanceFamily;
    } else if (c == 49 || (c >= 55 && c <= 58)) {
        buf[cb::DevFamily] = DistributorFamily;
    } else if (c >= 50 && c <= 54) {
        buf[cb::DevFamily] = VmaDistributorFamily;
    }
    if (buf[cb::DevFamily] != NoFamily) {
        buf[cb::DevVer] = static_cast<std::int16_t>(v);
        link.SerialNo = decodeSerial(link);
    }
}

int probeModule(Link &link, const std::function<void(int baudIndex)> &baudTried)
{
    auto &buf = link.ComBuf;
    const auto tried = [&](int baudIndex) {
        if (baudTried)
            baudTried(baudIndex);
    };
    buf[cb::BaudIdx] = 0;
    buf[cb::DevFamily] = NoFamily;
    buf[cb::DevAddr] = 1;
    tried(0);

    // One plain attempt at 4800 baud: the families that cannot be forced.
    link.Reopen(0);
    identifyModule(link, 1);
    if (buf[cb::DevFamily] == TransmitterFamily || buf[cb::DevFamily] == ResistanceFamily)
        return buf[cb::DevFamily];

    // Forced attempts: at each baud code broadcast "address 1" and "19200
    // baud", then ask at 19200. A module that cannot be forced but answered
    // at 19200 all the same counts too.
    buf[cb::DevFamily] = NoFamily;
    buf[cb::DevAddr] = 1;
    while (buf[cb::DevFamily] == NoFamily) {
        link.Reopen(buf[cb::BaudIdx]);
        LineArbiter &line = link.arbiter();
        line.receive();
        line.send(0, 5, AddressCell, 1);
        line.receive();
        line.receive();
        line.send(0, 6, BaudCell, 2);
        line.receive();
        link.Reopen(2);
        identifyModule(link, 1);
        if (buf[cb::DevFamily] != NoFamily)
            return buf[cb::DevFamily];
        ++buf[cb::BaudIdx];
        tried(buf[cb::BaudIdx]);
        if (buf[cb::BaudIdx] > 3)
            return NoFamily;
    }
    return buf[cb::DevFamily];
}
