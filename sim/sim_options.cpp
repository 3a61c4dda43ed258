#include "sim_options.h"

#include "port_tables.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

namespace {

bool toNumber(const std::string &text, long long low, long long high, long long &value)
{
    const char *end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end && value >= low && value <= high;
}

// A number with an optional minus sign, decimal or 0x hex.
bool toInteger(std::string_view text, long long low, long long high, long long &value)
{
    const bool negative = !text.empty() && text.front() == '-';
    if (negative)
        text.remove_prefix(1);
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    unsigned long long magnitude = 0;
    const char *end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, magnitude, base);
    if (text.empty() || result.ec != std::errc() || result.ptr != end || magnitude > 0xFFFFFFFFull)
        return false;
    value = negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
    return value >= low && value <= high;
}

// "REG=VALUE" of --hold and --input; a negative value is taken as 16 bits.
bool parsePreset(const std::string &option, const std::string &text, RegisterPreset &preset,
                 std::string &error)
{
    const auto eq = text.find('=');
    if (eq == std::string::npos) {
        error = option + " wants REG=VALUE, not \"" + text + "\"";
        return false;
    }
    const std::string reg = text.substr(0, eq);
    const std::string value = text.substr(eq + 1);
    long long number = 0;
    if (!toInteger(reg, 0, 0xFFFF, number)) {
        error = option + " " + text + ": register \"" + reg + "\" is not a number 0..65535";
        return false;
    }
    preset.reg = static_cast<int>(number);
    if (!toInteger(value, -32768, 0xFFFF, number)) {
        error = option + " " + text + ": value \"" + value + "\" is not a number -32768..65535";
        return false;
    }
    preset.value = static_cast<int>(number & 0xFFFF);
    return true;
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
           "  --hold REG=VALUE\n"
           "                 preset holding register REG (VALUE -32768..65535, or 0x hex)\n"
           "  --input REG=VALUE\n"
           "                 pin input register REG at VALUE\n"
           "  --fault KIND[:FUNCTION[:REGISTER]][@N][xK]\n"
           "                 fault K requests (default 1) with that function and register\n"
           "                 (* or left out: any), from the Nth such request on (default 1);\n"
           "                 KIND is noreply, badcrc, short, refuse (exception reply), garbage,\n"
           "                 split or pulled (nothing is answered any more); for example\n"
           "                 --fault noreply:4:4096@3 loses the third read of live values\n"
           "                 --hold, --input and --fault may be given more than once\n"
           "  --help         this text\n";
}

bool parseFaultRule(const std::string &text, FaultRule &rule, std::string &error)
{
    const auto fail = [&](const std::string &reason) {
        error = "--fault \"" + text + "\": " + reason;
        return false;
    };
    std::size_t pos = 0;
    // The text up to the next of `stops`; a 0x prefix keeps its x.
    const auto token = [&](const char *stops) {
        const std::size_t start = pos;
        if (text.compare(pos, 2, "0x") == 0 || text.compare(pos, 2, "0X") == 0)
            pos += 2;
        while (pos < text.size() && std::strchr(stops, text[pos]) == nullptr)
            ++pos;
        return text.substr(start, pos - start);
    };
    const auto anyOr = [](const std::string &part, long long high, int &field) {
        long long number = -1;
        if (part != "*" && !toInteger(part, 0, high, number))
            return false;
        field = static_cast<int>(number);
        return true;
    };
    const auto next = [&](char c) {
        if (pos >= text.size() || text[pos] != c)
            return false;
        ++pos;
        return true;
    };

    FaultRule result;
    const std::string kind = token(":@x");
    const auto *found = std::find_if(AllLineFaults.begin(), AllLineFaults.end(),
                                     [&](LineFault fault) { return kind == faultName(fault); });
    if (found == AllLineFaults.end())
        return fail("unknown fault \"" + kind +
                    "\" (noreply, badcrc, short, refuse, garbage, split or pulled)");
    result.fault = *found;
    if (next(':')) {
        const std::string function = token(":@x");
        if (!anyOr(function, 255, result.function))
            return fail("function \"" + function + "\" is not a number 0..255 or *");
        if (next(':')) {
            const std::string reg = token(":@x");
            if (!anyOr(reg, 0xFFFF, result.reg))
                return fail("register \"" + reg + "\" is not a number 0..65535 or *");
        }
    }
    long long number = 0;
    if (next('@')) {
        const std::string nth = token("x");
        if (!toInteger(nth, 1, 1000000, number))
            return fail("request \"@" + nth + "\" is not a number 1..1000000");
        result.nth = static_cast<int>(number);
    }
    if (next('x')) {
        const std::string times = token("");
        if (!toInteger(times, 1, 1000000, number))
            return fail("count \"x" + times + "\" is not a number 1..1000000");
        result.times = static_cast<int>(number);
    }
    if (pos != text.size())
        return fail("\"" + text.substr(pos) + "\" is not understood; the form is " +
                    "KIND[:FUNCTION[:REGISTER]][@N][xK]");
    rule = result;
    return true;
}

void applySimOptions(const SimOptions &options, SimModule &module)
{
    module.setSensorBroken(options.broken);
    module.setStoreFails(options.storeFails);
    for (const RegisterPreset &preset : options.holding)
        module.setHolding(preset.reg, preset.value);
    for (const RegisterPreset &preset : options.inputs)
        module.setInput(preset.reg, preset.value);
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
                           name == "--link" || name == "--hold" || name == "--input" ||
                           name == "--fault";
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
        if (name == "--hold" || name == "--input") {
            RegisterPreset preset;
            if (!parsePreset(name, value, preset, error))
                return false;
            (name == "--hold" ? result.holding : result.inputs).push_back(preset);
        } else if (name == "--fault") {
            FaultRule rule;
            if (!parseFaultRule(value, rule, error))
                return false;
            result.faults.push_back(rule);
        } else if (name == "--link") {
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

    // The presets must name registers of this family and leave it a slave
    // address and baud code it can work with.
    const std::unique_ptr<SimModule> module = SimModule::create(result.config);
    const std::string kind = familyName(result.config.family);
    for (const RegisterPreset &preset : result.holding) {
        if (!module->hasHolding(preset.reg)) {
            error =
                "--hold: the " + kind + " has no holding register " + std::to_string(preset.reg);
            return false;
        }
    }
    for (const RegisterPreset &preset : result.inputs) {
        if (!module->hasInput(preset.reg)) {
            error = "--input: the " + kind + " has no input register " + std::to_string(preset.reg);
            return false;
        }
    }
    applySimOptions(result, *module);
    if (module->address() < 1 || module->address() > 255) {
        error = "--hold: slave address " + std::to_string(module->address()) + " is outside 1..255";
        return false;
    }
    if (module->baudCode() < 0 || module->baudCode() > 3) {
        error = "--hold: baud code " + std::to_string(module->baudCode()) + " is outside 0..3";
        return false;
    }
    options = result;
    return true;
}
