#include "port_tables.h"

#include <cctype>
#include <charconv>
#include <vector>

PortTable PortTable::windowsForm()
{
    PortTable table;
    for (int i = 0; i < Size; ++i) {
        const std::string name = "COM" + std::to_string(i + 1);
        table.m_paths[i] = i + 1 >= 10 ? "\\\\.\\" + name : name;
    }
    return table;
}

PortTable PortTable::platformDefault()
{
#ifdef _WIN32
    return windowsForm();
#else
    return PortTable();
#endif
}

const std::string &PortTable::path(int portIndex) const
{
    static const std::string none;
    if (portIndex < 0 || portIndex >= Size)
        return none;
    return m_paths[portIndex];
}

void PortTable::setPath(int portIndex, std::string path)
{
    if (portIndex >= 0 && portIndex < Size)
        m_paths[portIndex] = std::move(path);
}

void PortTable::clear()
{
    m_paths = {};
}

PortTable &portTable()
{
    static PortTable table = PortTable::platformDefault();
    return table;
}

int baudCodeOf(int baudRate)
{
    for (int code = 0; code < static_cast<int>(BaudRates.size()); ++code)
        if (BaudRates[code] == baudRate)
            return code;
    return -1;
}

namespace {
bool toInt(const std::string &text, int &value)
{
    const char *end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end;
}
} // namespace

bool buildLineSettings(const std::string &text, LineSettings &settings)
{
    std::vector<std::string> fields;
    std::string field;
    for (char c : text) {
        if (c == ',') {
            fields.push_back(field);
            field.clear();
        } else if (c != ' ') {
            field += c;
        }
    }
    fields.push_back(field);
    if (fields.size() != 4 || fields[1].size() != 1)
        return false;

    LineSettings result = settings;
    const char parity = static_cast<char>(std::toupper(static_cast<unsigned char>(fields[1][0])));
    if (!toInt(fields[0], result.baudRate) || result.baudRate <= 0)
        return false;
    if (parity != 'N' && parity != 'E' && parity != 'O' && parity != 'M' && parity != 'S')
        return false;
    result.parity = parity;
    if (!toInt(fields[2], result.dataBits) || result.dataBits < 5 || result.dataBits > 8)
        return false;
    if (!toInt(fields[3], result.stopBits) || (result.stopBits != 1 && result.stopBits != 2))
        return false;
    result.flowControl = false;
    settings = result;
    return true;
}
