#pragma once

#include "configuration_file.h"
#include "device_settings.h"
#include "register_table.h"
#include "request_chain.h"
#include "settings_chains.h"

#include <functional>
#include <map>
#include <optional>
#include <vector>

class Link;
class QTimer;

// The configuration read and write of each family, as the family's window
// makes them and as the command-line tool makes them: one definition of each
// chain, fed with register values (from a window's controls or from a file).

// The waits of a family's configuration chains, in ms; the windows' named
// timers have these intervals.
struct ConfigurationWaits
{
    int read;    // between the block request and collecting its reply
    int write;   // before the first write
    int storing; // before the storing result is read
};
const ConfigurationWaits &configurationWaits(ModuleFamily family);
inline constexpr int StoringWaitMs = 2000;

// What the family's window makes of an information block: the version index
// it works with and the registers its read asks for. Nothing for a block the
// window refuses (a model of another family, a version no window reads).
struct ModuleView
{
    int version = 0;
    int blockCount = 0;
};
std::optional<ModuleView> acceptedModule(ModuleFamily family, const InfoBlock &info);

// The holding register pair (address, baud code) that activation restores
// after the scan forced address 1 and 19200 baud; nothing when the family's
// window restores none at this version index.
std::optional<int> ownSettingsRegister(ModuleFamily family, int devVer);

// "Read From Device": the information block judged by accept, then function
// 3 from register 0 for count() registers (after a drain for the resistance
// family), collected once `wait` has run and judged by decode.
void appendConfigurationRead(RequestChain &chain, Link &link, ModuleFamily family,
                             std::function<bool(const InfoBlock &)> accept,
                             std::function<int()> count, QTimer *wait,
                             std::function<bool()> decode);

// "Write To Device" of a family with every value converted.
struct ConfigurationWrite
{
    ModuleFamily family = ModuleFamily::Converter;
    int devVer = 0;
    std::vector<FieldWrite> writes; // in write order
    QTimer *wait = nullptr;         // runs before the first write
    QTimer *storingWait = nullptr;  // runs before the storing result is read
    // Resistance family: the information block read first, judged by this.
    std::function<bool(const InfoBlock &)> moduleCheck;
    std::function<void(bool stored)> stored;
    // Converter and distributors: the address and baud step that ends the write
    // (left out when addressAndBaud is false).
    int address = 1;
    int baudIndex = -1;
    bool addressAndBaud = true;
    std::function<void(const SettingsChange &)> lost;
};
// Transmitter: each write (echo checked, sent once more, drained as its
// field says), the first after `wait`; then the storing result from version
// index TransmitterStoringMinVer on. Resistance: the information block, then
// each write (drained before its repetition), then the storing result above
// version index 2. Converter and distributors: a drain after `wait`, each
// write drained as its field says, then the address and baud step.
void appendConfigurationWrite(RequestChain &chain, Link &link, const ConfigurationWrite &write);
// True when the family's write ends with the module's storing result at this
// version index.
bool hasStoringCheck(ModuleFamily family, int devVer);
// True when the family's write ends with the address and baud step.
bool writesAddressAndBaud(ModuleFamily family);

// The writes of a configuration file for a module of version index devVer,
// in write order: fields the module lacks and the address and baud rate
// (written by their own step) are left out.
std::vector<FieldWrite> configurationWrites(const Configuration &configuration, int devVer);
// The file values of a read block (registers 0..count-1 of words): every file
// field of the family at devVer that the block holds, as a window shows and
// converts it (a flag as 0/1, other values signed above 32767).
std::map<int, int> configurationValues(ModuleFamily family, int devVer,
                                       const std::function<int(int reg)> &word, int count);
