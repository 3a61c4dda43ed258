#include "device_settings.h"

#include "link.h"
#include "numtext.h"

#include <cstdio>

namespace {
// Baud code to use for a write: the selected one, or the line's current code
// when none is selected (a module is never sent 65535, the port never reopened
// with a code that has no line settings).
int effectiveBaud(const Link &link, int baudIndex)
{
    if (baudIndex >= 0 && baudIndex < static_cast<int>(BaudTable.size()))
        return baudIndex;
    const int current = link.currentBaud();
    return current >= 0 && current < static_cast<int>(BaudTable.size()) ? current : 2;
}
} // namespace

std::uint32_t decodeSerial(const Link &link)
{
    const auto byte = [&link](int i) { return static_cast<std::uint32_t>(link.ComBuf[i] & 0xFF); };
    return ((byte(27) * 256 + byte(28)) << 16) + byte(29) * 256 + byte(30);
}

InfoBlock decodeInfoBlock(const Link &link)
{
    return {link.ComBuf[23] & 0xFF, link.ComBuf[24] & 0xFF, decodeSerial(link)};
}

InfoBlock readInfoBlock(Link &link)
{
    link.ReadReply();
    link.SendCmd(link.ComBuf[cb::DevAddr], 4, InfoBlockRegister, 4);
    link.ReadReply();
    return decodeInfoBlock(link);
}

std::string VersionTable(int version)
{
    char text[16];
    std::snprintf(text, sizeof text, "V%02d", version < 0 ? 0 : version);
    return text;
}

int restoreAddressAndBaud(Link &link, int reg)
{
    link.ReadReply();
    link.SendCmd(link.ComBuf[cb::DevAddr], 3, reg, 2);
    link.ReadReply();
    const int address = link.ComBuf[24] & 0xFF;
    const int baud = link.ComBuf[26] & 0xFF;

    link.SendCmd(link.ComBuf[cb::DevAddr], 5, AddressCell, address);
    link.ReadReply();
    link.ComBuf[cb::DevAddr] = static_cast<std::int16_t>(address);
    link.SendCmd(address, 6, BaudCell, baud);
    link.ReadReply();
    link.Reopen(baud);
    return address;
}

bool writeChecked(Link &link, int function, int reg, int value, WriteOptions options)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (attempt == 0 ? options.drainFirst : options.drainRetry)
            link.ReadReply();
        link.SendCmd(link.ComBuf[cb::DevAddr], function, reg, value);
        link.ReadReply();
        if (link.EchoOk())
            return true;
    }
    return false;
}

bool writeAddressAndBaud(Link &link, int address, int baudIndex)
{
    if (!writeChecked(link, 5, AddressCell, address))
        return false;
    const int baud = effectiveBaud(link, baudIndex);
    link.ComBuf[cb::DevAddr] = static_cast<std::int16_t>(address);
    link.ReadReply();
    link.SendCmd(address, 6, BaudCell, baud);
    link.ReadReply();
    link.Reopen(baud);
    return true;
}

void setAddressAndBaud(Link &link, int address, int baudIndex)
{
    const int baud = effectiveBaud(link, baudIndex);
    writeChecked(link, 5, AddressCell, address);
    // The baud write goes to the new address: the module answers there now.
    link.ComBuf[cb::DevAddr] = static_cast<std::int16_t>(address);
    writeChecked(link, 6, BaudCell, baud);
    link.Reopen(baud);
}

std::string checkAddressText(const std::string &text)
{
    if (text.find_first_not_of(" \t") == std::string::npos)
        return "1";
    const int address = textToInt(text);
    return address < 1 || address > 255 ? "1" : text;
}

std::uint32_t loadSerialNumber(Link &link, const std::string &text, int commandCell)
{
    const std::int64_t whole = textToDecimal(text).scaledTrunc(0);
    const auto number = static_cast<std::uint32_t>(static_cast<std::uint64_t>(whole));
    const WriteOptions noDrain{false, false};
    writeChecked(link, 5, SerialHighCell, static_cast<int>(number >> 16), noDrain);
    writeChecked(link, 5, SerialLowCell, static_cast<int>(number & 0xFFFF), noDrain);
    writeChecked(link, 5, commandCell, SerialCommitCode, noDrain);
    return number;
}
