#include "device_enumerator.h"

#include "port_tables.h"

#include <QSerialPortInfo>
#include <QString>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <set>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

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

int systemAccess(const std::string &path)
{
    return ::access(path.c_str(), R_OK | W_OK) == 0 ? 0 : errno;
}

std::vector<DeniedDevice> deniedDevices(const std::vector<SerialDevice> &devices,
                                        const AccessCheck &check)
{
    std::vector<DeniedDevice> denied;
    for (const auto &[path, description, usb] : devices) {
        const int error = check(path);
        if (error != EACCES && error != EPERM)
            continue;
        DeniedDevice device{path, "?", usb};
        struct stat status;
        if (::stat(path.c_str(), &status) == 0) {
            const group *owner = ::getgrgid(status.st_gid);
            device.group = owner ? owner->gr_name : std::to_string(status.st_gid);
        }
        denied.push_back(device);
    }
    return denied;
}

std::string permissionMessage(const std::vector<DeniedDevice> &denied)
{
    std::string devices;
    std::set<std::string> groups;
    for (const DeniedDevice &device : denied) {
        devices +=
            (devices.empty() ? "" : ", ") + device.path + " (owned by group " + device.group + ")";
        // Joining root's group is no fix; an administrator has to give access.
        if (device.group != "root" && device.group != "0" && device.group != "?")
            groups.insert(device.group);
    }
    std::string text = "Permission denied: your user may not open " + devices + ".";
    if (groups.empty())
        return text + " Ask the administrator to give your user access to it.";
    std::string list;
    for (const std::string &group : groups)
        list += (list.empty() ? "" : ",") + group;
    return text + " Add your user to the group with: sudo usermod -aG " + list +
           " $USER, then log out and in again (check with: groups).";
}

std::map<std::string, std::string> stableSerialNames(const std::string &directory)
{
    namespace fs = std::filesystem;
    std::error_code error;
    std::vector<fs::path> links;
    for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error))
        links.push_back(it->path());
    std::sort(links.begin(), links.end());
    std::map<std::string, std::string> names;
    for (const fs::path &link : links)
        if (const fs::path device = fs::canonical(link, error); !error)
            names.emplace(device.string(), link.string());
    return names;
}

bool sameDevice(const std::string &a, const std::string &b)
{
    // By stat(2): std::filesystem::equivalent refuses to compare devices.
    struct stat first, second;
    return a == b || (::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
                      first.st_dev == second.st_dev && first.st_ino == second.st_ino);
}

SystemDeviceEnumerator::SystemDeviceEnumerator(AccessCheck check, std::string stableDirectory)
    : m_check(std::move(check))
    , m_stableDirectory(std::move(stableDirectory))
{}

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

    std::vector<SerialDevice> all = devices;
    for (const std::string &path : extra)
        all.push_back({path, {}, true});

    Enumeration result;
    result.names = nameSerialDevices(std::move(devices), extra);
    result.denied = deniedDevices(all, m_check);
    const std::map<std::string, std::string> stable = stableSerialNames(m_stableDirectory);
    for (const SerialDevice &device : all) {
        const std::string &path = device.path;
        std::error_code error;
        const auto link = stable.find(std::filesystem::canonical(path, error).string());
        if (!error && link != stable.end())
            result.stableNames[path] = link->second;
    }
    return result;
}

std::unique_ptr<DeviceEnumerator> makeSystemEnumerator()
{
    return std::make_unique<SystemDeviceEnumerator>();
}
