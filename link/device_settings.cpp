#include "device_settings.h"

#include "link.h"

#include <cstdio>

std::uint32_t decodeSerial(const Link &link)
{
    const auto byte = [&link](int i) { return static_cast<std::uint32_t>(link.ComBuf[i] & 0xFF); };
    return ((byte(27) * 256 + byte(28)) << 16) + byte(29) * 256 + byte(30);
}

InfoBlock decodeInfoBlock(const Link &link)
{
    return {link.ComBuf[23] & 0xFF, link.ComBuf[24] & 0xFF, decodeSerial(link)};
}

std::string VersionTable(int version)
{
    char text[16];
    std::snprintf(text, sizeof text, "V%02d", version < 0 ? 0 : version);
    return text;
}

bool isBaudCode(int baudIndex)
{
    return baudIndex >= 0 && baudIndex < static_cast<int>(BaudTable.size());
}
