#include "device_enumerator.h"

#include "port_tables.h"

#include <QSerialPortInfo>
#include <QString>

#include <algorithm>
#include <cstdio>

std::string enumerationMessage(const Enumeration &result)
{
    char code[16];
    std::snprintf(code, sizeof code, "%08X", static_cast<unsigned>(result.code));
    switch (result.failure) {
    case Enumeration::None: return {};
    case Enumeration::Security:
        return std::string("Failed to initialize security. Error code = ") + code;
    case Enumeration::Locator:
        return std::string("Failed to create IWbemLocator object. Err code = ") + code;
    case Enumeration::Connect: return std::string("Could not connect. Error code = ") + code;
    case Enumeration::ProxyBlanket:
        return std::string("Could not set proxy blanket. Error code = ") + code;
    case Enumeration::Enumerator: return "Error";
    }
    return {};
}

namespace {
// The scan reads the port number between the first "COM" and the first ")"
// of a name, so a description must contain neither.
std::string safeDescription(std::string text)
{
    for (std::size_t at = text.find("COM"); at != std::string::npos; at = text.find("COM", at))
        text.replace(at, 3, "Com");
    std::replace(text.begin(), text.end(), '(', '[');
    std::replace(text.begin(), text.end(), ')', ']');
    return text;
}
} // namespace

std::vector<std::string> nameSerialDevices(std::vector<SerialDevice> devices,
                                           const std::vector<std::string> &extraPaths)
{
    for (const std::string &path : extraPaths)
        if (!path.empty())
            devices.push_back({path, "Comm Port", true});

    portTable().clear();
    std::vector<std::string> names;
    int number = 0;
    for (const SerialDevice &device : devices) {
        ++number;
        std::string description = device.description.empty()
                                      ? (device.usb ? "Comm Port" : "Communications Port")
                                      : device.description;
        if (device.usb)
            description = "USB-to-Serial " + description;
        description += " - " + device.path;
        names.push_back(safeDescription(description) + " (COM" + std::to_string(number) + ")");
        portTable().setPath(number - 1, device.path); // ignored beyond COM16
    }
    return names;
}

Enumeration SystemDeviceEnumerator::enumerate()
{
    std::vector<SerialDevice> devices;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        const bool usb = info.hasVendorIdentifier() || info.portName().startsWith("ttyUSB") ||
                         info.portName().startsWith("ttyACM");
        devices.push_back(
            {info.systemLocation().toStdString(), info.description().toStdString(), usb});
    }
    std::sort(devices.begin(), devices.end(),
              [](const SerialDevice &a, const SerialDevice &b) { return a.path < b.path; });

    std::vector<std::string> extra;
    for (const QString &path :
         qEnvironmentVariable("QUORELWIN_EXTRA_PORTS").split(':', Qt::SkipEmptyParts))
        extra.push_back(path.toStdString());

    Enumeration result;
    result.names = nameSerialDevices(std::move(devices), extra);
    return result;
}

std::unique_ptr<DeviceEnumerator> makeSystemEnumerator()
{
    return std::make_unique<SystemDeviceEnumerator>();
}
