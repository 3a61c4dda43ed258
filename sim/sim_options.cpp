#include "sim_options.h"

#include "port_tables.h"

#include <charconv>
#include <cstdint>

namespace {

bool toNumber(const std::string &text, long long low, long long high, long long &value)
{
    const char *end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end && value >= low && value <= high;
}

} // namespace

int familyOfModel(int model, int version)
{
    if (model >= 32 && model <= 36)
        return 2;
    if (model == 1 || model == 2 || model == 17 || model == 18 || (model == 12 && version == 38))
        return 1;
    if (model >= 3 && model <= 7)
        return 3;
    if (model == 49 || (model >= 55 && model <= 58))
        return 4;
    if (model >= 50 && model <= 54)
        return 5;
    return 0;
}

int defaultModelOf(int family)
{
    switch (family) {
    case 1: return 1;
    case 3: return 5;
    case 4: return 49;
    case 5: return 50;
    default: return 32;
    }
}

int defaultVersionOf(int family)
{
    switch (family) {
    case 3: return 5;
    case 5: return 3;
    default: return 9;
    }
}

const char *familyName(int family)
{
    switch (family) {
    case 1: return "transmitter";
    case 2: return "converter";
    case 3: return "resistance transmitter";
    case 4: return "universal distributor";
    case 5: return "V/mA distributor";
    default: return "unknown family";
    }
}

const char *simUsage()
{
    return "usage: quorelsim [options]\n"
           "Puts one simulated module behind a pseudo-terminal and logs its traffic.\n"
           "  --family N     1 transmitter, 2 converter (default), 3 resistance transmitter,\n"
           "                 4 universal distributor, 5 V/mA distributor\n"
           "  --model N      model code 0..255 (default: the family's usual one)\n"
           "  --version N    version index 0..255\n"
           "  --address N    slave address 1..255 (default 1)\n"
           "  --baud RATE    4800, 9600, 19200 (default) or 38400\n"
           "  --serial N     serial number 0..4294967295 (default 703070001)\n"
           "  --link PATH    make PATH a symbolic link to the slave terminal\n"
           "  --broken       the sensor is broken (live values read 32767)\n"
           "  --store-fails  storing the configuration fails\n"
           "  --help         this text\n";
}

bool parseSimOptions(const std::vector<std::string> &args, SimOptions &options, std::string &error)
{
    SimOptions result;
    long long family = 0, model = -1, version = -1;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        bool hasValue = false;
        if (const auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            hasValue = true;
        }
        if (name == "--help" || name == "-h") {
            result.help = true;
            continue;
        }
        if (name == "--broken" || name == "--store-fails") {
            if (hasValue) {
                error = name + " takes no value";
                return false;
            }
            (name == "--broken" ? result.broken : result.storeFails) = true;
            continue;
        }
        const bool known = name == "--family" || name == "--model" || name == "--version" ||
                           name == "--address" || name == "--baud" || name == "--serial" ||
                           name == "--link";
        if (!known) {
            error = "unknown option " + args[i];
            return false;
        }
        if (!hasValue) {
            if (i + 1 >= args.size()) {
                error = name + " needs a value";
                return false;
            }
            value = args[++i];
        }
        long long number = 0;
        const auto numberIn = [&](long long low, long long high) {
            if (toNumber(value, low, high, number))
                return true;
            error = name + " wants a number " + std::to_string(low) + ".." + std::to_string(high) +
                    ", not \"" + value + "\"";
            return false;
        };
        if (name == "--link") {
            if (value.empty()) {
                error = "--link needs a path";
                return false;
            }
            result.linkPath = value;
        } else if (name == "--family") {
            if (!numberIn(1, 5))
                return false;
            family = number;
        } else if (name == "--model") {
            if (!numberIn(0, 255))
                return false;
            model = number;
        } else if (name == "--version") {
            if (!numberIn(0, 255))
                return false;
            version = number;
        } else if (name == "--address") {
            if (!numberIn(1, 255))
                return false;
            result.config.address = static_cast<int>(number);
        } else if (name == "--serial") {
            if (!numberIn(0, 0xFFFFFFFFLL))
                return false;
            result.config.serial = static_cast<std::uint32_t>(number);
        } else if (name == "--baud") {
            if (!toNumber(value, 1, 1000000, number) || baudCodeOf(static_cast<int>(number)) < 0) {
                error = "--baud wants 4800, 9600, 19200 or 38400, not \"" + value + "\"";
                return false;
            }
            result.config.baudCode = baudCodeOf(static_cast<int>(number));
        }
    }

    if (family == 0 && model >= 0) {
        family =
            familyOfModel(static_cast<int>(model), version >= 0 ? static_cast<int>(version) : 0);
        if (family == 0) {
            error = "model code " + std::to_string(model) +
                    " belongs to no family; give --family as well";
            return false;
        }
    }
    if (family == 0)
        family = 2;
    result.config.family = static_cast<int>(family);
    result.config.model =
        model >= 0 ? static_cast<int>(model) : defaultModelOf(static_cast<int>(family));
    result.config.version =
        version >= 0 ? static_cast<int>(version) : defaultVersionOf(static_cast<int>(family));
    options = result;
    return true;
}
