#pragma once

#include <functional>

class Link;

// The scan's probe of the module behind the adapter, on a link whose ComNo
// names the adapter's port.

// Families of modules as the scan numbers them (DevFamily).
enum ProbeFamily {
    NoFamily = 0,
    TransmitterFamily = 1,
    ConverterFamily = 2,
    ResistanceFamily = 3,
    DistributorFamily = 4,
    VmaDistributorFamily = 5
};

// Reads the information block from address and decides the family: on a
// sound reply of a known model DevFamily, DevVer (and DevModel for a
// transmitter) and SerialNo are set; otherwise nothing changes.
void identifyModule(Link &link, int address);

// One plain attempt at 4800 baud (the families that cannot be forced), then
// at each baud code the broadcasts that set address 1 and 19200 baud, each
// followed by a query at 19200. baudTried reports the baud code of each
// attempt. Returns DevFamily: 0 when no module answered.
int probeModule(Link &link, const std::function<void(int baudIndex)> &baudTried = {});
