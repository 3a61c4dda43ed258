#pragma once

#include "register_table.h"

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// Configuration files: what a family window's page holds, kept in a small
// JSON file (see doc/configuration-files.md) so that the same configuration
// can be written into many modules, or kept before a module is replaced.
// A file holds the fields a configuration write writes and the address and
// baud rate, as register values, with the control and meaning of each; never
// output trim counts or calibration values. Reading and writing need no
// window: the register tables say which registers a family's file holds.

// The families of modules, numbered as the scan numbers them (DevFamily).
enum class ModuleFamily {
    Transmitter = 1,
    Converter = 2,
    Resistance = 3,
    Distributor = 4,
    VmaDistributor = 5,
};

// The register tables of a family's window (the two resistance windows share
// one table; the universal distributor has one per channel and a common one).
struct FamilyRegisters
{
    ModuleFamily family;
    std::string_view name;  // short name, for file names ("converter")
    std::string_view title; // what messages and files call it ("V/mA range distributor")
    std::vector<const RegisterTable *> tables;
};

// The tables of family 1..5; nullptr for any other number.
const FamilyRegisters *familyRegisters(int family);
const FamilyRegisters &familyRegisters(ModuleFamily family);

// True for a field a configuration file holds: one the configuration write
// writes, or the address or baud rate. Trim counts, read-only values and
// calibration registers are never in a file.
bool inConfigurationFile(const RegisterField &field);
// The fields a family's file holds for a module of version index devVer, by
// register number.
std::vector<const RegisterField *> configurationFields(const FamilyRegisters &family, int devVer);
// The file field of a register, nullptr when the family's files have none.
const RegisterField *configurationField(const FamilyRegisters &family, int reg);

// The contents of a configuration file.
struct Configuration
{
    int family = 0;
    int model = 0;   // model code of the module the configuration was read from
    int version = 0; // its version index: which fields the file holds
    std::uint32_t serial = 0;
    std::string date;          // when it was saved, ISO 8601 local time
    std::map<int, int> values; // register -> register value (-32768..65535)
};

// The text of a configuration file: indented JSON, one line per register.
// Every register of `values` must be a file field of the family
// (std::logic_error otherwise).
std::string configurationText(const Configuration &configuration);

// A file that cannot be taken: what() says why, in English.
class ConfigurationFileError : public std::runtime_error
{
public:
    enum class Kind {
        Damaged,     // not a configuration file, truncated, or a value that cannot be
        OtherFamily, // a sound file of another family
    };
    ConfigurationFileError(Kind kind, const std::string &reason);
    Kind kind() const { return m_kind; }

private:
    Kind m_kind;
};

// Reads the text of a configuration file for a window of `family`. Refused
// (ConfigurationFileError): text that is not such a file or is cut short, a
// file of another family, a register that is not a file field of the family
// (trim counts and calibration values are never taken from a file), a
// register listed twice, a value that is not a whole 16-bit register value,
// or a field missing that a module of the file's version has (only a
// selector the window may leave empty, such as the filter, may be missing).
Configuration parseConfiguration(std::string_view text, ModuleFamily family);

// The largest file read: a configuration file is a few kilobytes.
inline constexpr std::size_t MaxConfigurationFileSize = 1 << 20;
