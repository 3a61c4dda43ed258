#include "configuration_file.h"

#include "converter_registers.h"
#include "distributor_registers.h"
#include "resistance_registers.h"
#include "transmitter_registers.h"
#include "vma_distributor_registers.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <algorithm>
#include <cmath>
#include <set>
#include <sstream>

namespace {
// The marker that tells a configuration file from any other JSON file, and
// the version of the layout this program writes and reads.
constexpr char FormatName[] = "QuorelWin configuration";
constexpr int FormatVersion = 1;

using Kind = ConfigurationFileError::Kind;

const std::vector<FamilyRegisters> &catalogue()
{
    static const std::vector<FamilyRegisters> families = {
        {ModuleFamily::Transmitter, "transmitter", "transmitter", {&transmitterRegisters()}},
        {ModuleFamily::Converter, "converter", "converter", {&converterRegisters()}},
        {ModuleFamily::Resistance,
         "resistance-transmitter",
         "resistance transmitter",
         {&resistanceRegisters()}},
        {ModuleFamily::Distributor,
         "universal-distributor",
         "universal distributor",
         {&distributorChannelRegisters(0), &distributorChannelRegisters(1),
          &distributorCommonRegisters()}},
        {ModuleFamily::VmaDistributor,
         "vma-distributor",
         "V/mA range distributor",
         {&vmaDistributorRegisters()}},
    };
    return families;
}

[[noreturn]] void refuse(const std::string &reason, Kind kind = Kind::Damaged)
{
    throw ConfigurationFileError(kind, reason);
}

// A whole number within [low, high] at key of object; `what` names it in a refusal.
int wholeNumber(const QJsonObject &object, const char *key, const std::string &what, double low,
                double high)
{
    const QJsonValue value = object.value(QString::fromLatin1(key));
    if (value.isUndefined())
        refuse(what + " is missing");
    const double number = value.toDouble(std::nan(""));
    if (!value.isDouble() || std::floor(number) != number || number < low || number > high) {
        refuse(what + " is not a whole number from " + std::to_string(static_cast<long long>(low)) +
               " to " + std::to_string(static_cast<long long>(high)));
    }
    return static_cast<int>(number);
}

std::string jsonString(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            static constexpr char Hex[] = "0123456789abcdef";
            out += "\\u00";
            out += Hex[(c >> 4) & 0xF];
            out += Hex[c & 0xF];
        } else {
            out += c;
        }
    }
    return out + '"';
}

std::string registerName(const RegisterField &field)
{
    return "register " + std::to_string(field.reg) + " (" + std::string(field.meaning) + ")";
}
} // namespace

ConfigurationFileError::ConfigurationFileError(Kind kind, const std::string &reason)
    : std::runtime_error(reason)
    , m_kind(kind)
{}

const FamilyRegisters *familyRegisters(int family)
{
    for (const FamilyRegisters &entry : catalogue())
        if (static_cast<int>(entry.family) == family)
            return &entry;
    return nullptr;
}

const FamilyRegisters &familyRegisters(ModuleFamily family)
{
    return *familyRegisters(static_cast<int>(family));
}

bool inConfigurationFile(const RegisterField &field)
{
    return field.writeOrder >= 0 || field.writeOrder == SettingsStep;
}

std::vector<const RegisterField *> configurationFields(const FamilyRegisters &family, int devVer)
{
    std::vector<const RegisterField *> fields;
    for (const RegisterTable *table : family.tables)
        for (const RegisterField &field : *table)
            if (inConfigurationFile(field) && present(field, devVer))
                fields.push_back(&field);
    std::stable_sort(
        fields.begin(), fields.end(),
        [](const RegisterField *a, const RegisterField *b) { return a->reg < b->reg; });
    return fields;
}

const RegisterField *configurationField(const FamilyRegisters &family, int reg)
{
    for (const RegisterTable *table : family.tables)
        for (const RegisterField &field : *table)
            if (field.reg == reg && inConfigurationFile(field))
                return &field;
    return nullptr;
}

std::string configurationText(const Configuration &configuration)
{
    const FamilyRegisters *family = familyRegisters(configuration.family);
    if (!family)
        throw std::logic_error("configuration of no family");
    std::ostringstream out;
    out << "{\n"
        << "  \"format\": " << jsonString(FormatName) << ",\n"
        << "  \"formatVersion\": " << FormatVersion << ",\n"
        << "  \"family\": " << configuration.family << ",\n"
        << "  \"familyName\": " << jsonString(family->title) << ",\n"
        << "  \"model\": " << configuration.model << ",\n"
        << "  \"version\": " << configuration.version << ",\n"
        << "  \"serialNumber\": " << configuration.serial << ",\n"
        << "  \"date\": " << jsonString(configuration.date) << ",\n"
        << "  \"registers\": [";
    const char *separator = "\n";
    for (const auto &[reg, value] : configuration.values) {
        const RegisterField *field = configurationField(*family, reg);
        if (!field)
            throw std::logic_error("register " + std::to_string(reg) +
                                   " is not in a configuration file");
        out << separator << "    {\"register\": " << reg << ", \"value\": " << value
            << ", \"control\": " << jsonString(field->control)
            << ", \"meaning\": " << jsonString(field->meaning) << "}";
        separator = ",\n";
    }
    out << "\n  ]\n}\n";
    return out.str();
}

Configuration parseConfiguration(std::string_view text, ModuleFamily expected)
{
    if (text.size() > MaxConfigurationFileSize)
        refuse("the file is far larger than a configuration file");
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(
        QByteArray(text.data(), static_cast<qsizetype>(text.size())), &error);
    if (error.error != QJsonParseError::NoError)
        refuse("the file is not complete JSON (" + error.errorString().toStdString() +
               " at character " + std::to_string(error.offset) + ")");
    if (!document.isObject())
        refuse("the file is not a configuration file");
    const QJsonObject root = document.object();
    if (root.value("format").toString() != QLatin1String(FormatName))
        refuse("the file is not a configuration file (no \"format\": \"" + std::string(FormatName) +
               "\")");
    const int format = wholeNumber(root, "formatVersion", "the format version", 1, 1000);
    if (format != FormatVersion)
        refuse("the file has format version " + std::to_string(format) +
               ", which this program does not know");

    Configuration configuration;
    configuration.family = wholeNumber(root, "family", "the family", 0, 1000);
    const FamilyRegisters *family = familyRegisters(configuration.family);
    if (!family)
        refuse("the file names family " + std::to_string(configuration.family) +
               ", which does not exist");
    if (family->family != expected)
        refuse("the file holds the configuration of a " + std::string(family->title) +
                   ", not of a " + std::string(familyRegisters(expected).title),
               Kind::OtherFamily);
    configuration.model = wholeNumber(root, "model", "the model code", 0, 255);
    configuration.version = wholeNumber(root, "version", "the version", 0, 255);
    if (root.contains("serialNumber"))
        configuration.serial = static_cast<std::uint32_t>(
            wholeNumber(root, "serialNumber", "the serial number", 0, 4294967295.0));
    if (root.contains("date"))
        configuration.date = root.value("date").toString().toStdString();

    const QJsonValue registers = root.value("registers");
    if (!registers.isArray())
        refuse("the file has no list of registers");
    for (const QJsonValue &entry : registers.toArray()) {
        if (!entry.isObject())
            refuse("an entry of the register list is not a register");
        const QJsonObject object = entry.toObject();
        const int reg = wholeNumber(object, "register", "a register number", 0, 65535);
        const std::string name = "register " + std::to_string(reg);
        const RegisterField *field = configurationField(*family, reg);
        if (!field)
            refuse(name + " is not a configuration register of a " + std::string(family->title) +
                   " (trim counts and calibration values are never taken from a file)");
        if (configuration.values.contains(reg))
            refuse(name + " is listed twice");
        configuration.values[reg] =
            wholeNumber(object, "value", "the value of " + name, -32768, 65535);
    }
    for (const RegisterField *field : configurationFields(*family, configuration.version))
        if (!field->optional && !configuration.values.contains(field->reg))
            refuse(registerName(*field) + " is missing");
    return configuration;
}
