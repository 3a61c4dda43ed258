#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// A listed serial device this user may not open for lack of permission.
struct DeniedDevice
{
    std::string path;     // as listed, "/dev/ttyUSB0"
    std::string group;    // the group that owns the device, "dialout"
    bool adapter = false; // a USB-to-serial adapter (the devices the scan takes)
};

// What the port scan needs from the system: the names of its devices, each
// serial device named "<description> (COMn)", USB-to-serial adapters carrying
// "USB-to-Serial" in the description.
struct Enumeration
{
    enum Failure { None, Security, Locator, Connect, ProxyBlanket, Enumerator };

    std::vector<std::string> names;
    Failure failure = None;
    std::uint32_t code = 0; // the system's result code of a failure
    // Listed devices this user may not open for lack of permission.
    std::vector<DeniedDevice> denied;
    // The stable name of a listed device (its link under /dev/serial/by-id/),
    // by the device's path as listed; devices without one are not in the map.
    std::map<std::string, std::string> stableNames;
};

// The English message of an enumeration failure ("Failed to initialize
// security. Error code = 8001010E", ...); empty for None.
std::string enumerationMessage(const Enumeration &result);

class DeviceEnumerator
{
public:
    virtual ~DeviceEnumerator() = default;
    // Lists the device names and assigns the port table entries of the
    // numbered serial devices.
    virtual Enumeration enumerate() = 0;
};

// A serial device as the system reports it.
struct SerialDevice
{
    std::string path;        // "/dev/ttyUSB0"
    std::string description; // "FT232R USB UART", may be empty
    bool usb = false;
};

// Numbers the devices 1, 2, ... in the order given, names each
// "<description> (COMn)" and fills the port table for the numbers 1..16.
// extraPaths (a simulator's terminal, a socat link) come last and count as
// USB-to-serial adapters.
std::vector<std::string> nameSerialDevices(std::vector<SerialDevice> devices,
                                           const std::vector<std::string> &extraPaths);

// Whether this user may open a device for reading and writing: 0, or the
// error opening it would give (EACCES when permission is lacking).
using AccessCheck = std::function<int(const std::string &path)>;
// The system's answer (access(2) for this user's real ids: the superuser may
// open everything, so a denial cannot be made to happen in a test run as root).
int systemAccess(const std::string &path);

// The devices that check denies for lack of permission, each with the group
// that owns it (by stat(2)).
std::vector<DeniedDevice> deniedDevices(const std::vector<SerialDevice> &devices,
                                        const AccessCheck &check);
// What to tell a user who may not open these devices: each device and its
// group, and the fix (join the group, then log in again).
std::string permissionMessage(const std::vector<DeniedDevice> &denied);

// The links in directory (normally /dev/serial/by-id) by the device path each
// resolves to; of several links to one device, the first by name.
std::map<std::string, std::string> stableSerialNames(const std::string &directory);
// The same path: equal as given, or naming the same file once links are
// followed (a /dev/serial/by-id/ name and its /dev/ttyUSB0).
bool sameDevice(const std::string &a, const std::string &b);

// The serial devices of this machine (sorted by path), plus the paths listed
// in QUORELWIN_EXTRA_PORTS (colon-separated); those this user may not open
// and their stable names. The access check and the directory of stable names
// can be replaced (tests).
class SystemDeviceEnumerator : public DeviceEnumerator
{
public:
    explicit SystemDeviceEnumerator(AccessCheck check = systemAccess,
                                    std::string stableDirectory = "/dev/serial/by-id");
    Enumeration enumerate() override;

private:
    AccessCheck m_check;
    std::string m_stableDirectory;
};

std::unique_ptr<DeviceEnumerator> makeSystemEnumerator();
