#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// What the port scan needs from the system: the names of its devices, each
// serial device named "<description> (COMn)", USB-to-serial adapters carrying
// "USB-to-Serial" in the description.
struct Enumeration
{
    enum Failure { None, Security, Locator, Connect, ProxyBlanket, Enumerator };

    std::vector<std::string> names;
    Failure failure = None;
    std::uint32_t code = 0; // the system's result code of a failure
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

// The serial devices of this machine (sorted by path), plus the paths listed
// in QUORELWIN_EXTRA_PORTS (colon-separated).
class SystemDeviceEnumerator : public DeviceEnumerator
{
public:
    Enumeration enumerate() override;
};

std::unique_ptr<DeviceEnumerator> makeSystemEnumerator();
