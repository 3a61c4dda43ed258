#include "configuration_chains.h"

#include "converter_registers.h"
#include "distributor_registers.h"
#include "link.h"
#include "register_values.h"
#include "resistance_registers.h"
#include "transmitter_registers.h"
#include "vma_distributor_registers.h"

#include <algorithm>

namespace {
// Model codes of the converter and the V/mA range distributor.
constexpr int FirstConverterModel = 32;
constexpr int LastConverterModel = 36;
constexpr int FirstVmaModel = 50;
constexpr int LastVmaModel = 54;
// The resistance family stores its configuration and reports it above this version index.
constexpr int ResistanceStoringAbove = 2;

const ResistanceVariant &resistanceVariant(int version)
{
    return version > LastCompactVersion ? ResistanceTransmitter : CompactResistanceTransmitter;
}
} // namespace

const ConfigurationWaits &configurationWaits(ModuleFamily family)
{
    static const ConfigurationWaits transmitter{1000, 50, StoringWaitMs};
    static const ConfigurationWaits converter{300, 500, StoringWaitMs};
    static const ConfigurationWaits others{500, 500, StoringWaitMs};
    switch (family) {
    case ModuleFamily::Transmitter: return transmitter;
    case ModuleFamily::Converter: return converter;
    default: return others;
    }
}

std::optional<ModuleView> acceptedModule(ModuleFamily family, const InfoBlock &info)
{
    switch (family) {
    case ModuleFamily::Transmitter:
        if (!transmitterAccepts(info.model, info.version))
            return std::nullopt;
        return ModuleView{transmitterVersion(info.model, info.version), TransmitterBlockCount};
    case ModuleFamily::Converter:
        if (info.model < FirstConverterModel || info.model > LastConverterModel)
            return std::nullopt;
        return ModuleView{info.version, converterBlockCount(info.version)};
    case ModuleFamily::Resistance: {
        const ResistanceVariant &variant = resistanceVariant(info.version);
        if (!versionMatches(variant, info.version) || !modelAccepted(variant, info.model))
            return std::nullopt;
        return ModuleView{info.version, variant.blockCount};
    }
    case ModuleFamily::Distributor:
        if (!isUniversalDistributorModel(info.model))
            return std::nullopt;
        return ModuleView{info.version, distributorBlockCount(info.version)};
    case ModuleFamily::VmaDistributor:
        if (info.model < FirstVmaModel || info.model > LastVmaModel)
            return std::nullopt;
        return ModuleView{info.version, vmaDistributorBlockCount(info.version)};
    }
    return std::nullopt;
}

std::optional<int> ownSettingsRegister(ModuleFamily family, int devVer)
{
    switch (family) {
    case ModuleFamily::Converter:
        if (devVer >= ConverterRestoreMinVer)
            return ConverterOwnSettings;
        break;
    case ModuleFamily::Distributor:
        if (devVer >= DistributorRestoreMinVer)
            return DistributorOwnSettings;
        break;
    case ModuleFamily::VmaDistributor:
        if (devVer >= VmaDistributorFilterMinVer)
            return VmaDistributorOwnSettings;
        break;
    default: break;
    }
    return std::nullopt;
}

void appendConfigurationRead(RequestChain &chain, Link &link, ModuleFamily family,
                             std::function<bool(const InfoBlock &)> accept,
                             std::function<int()> count, QTimer *wait, std::function<bool()> decode)
{
    appendInfoRead(chain, link, std::move(accept));
    ChainStep &request = chain.send(3, 0, 0).valueFrom(std::move(count));
    if (family == ModuleFamily::Resistance)
        request.drained();
    chain.collect().waitFor(wait).andThen(std::move(decode));
}

bool hasStoringCheck(ModuleFamily family, int devVer)
{
    return (family == ModuleFamily::Transmitter && devVer >= TransmitterStoringMinVer) ||
           (family == ModuleFamily::Resistance && devVer > ResistanceStoringAbove);
}

bool writesAddressAndBaud(ModuleFamily family)
{
    return family != ModuleFamily::Transmitter && family != ModuleFamily::Resistance;
}

void appendConfigurationWrite(RequestChain &chain, Link &link, const ConfigurationWrite &write)
{
    const bool resistance = write.family == ModuleFamily::Resistance;
    const bool settings = writesAddressAndBaud(write.family);
    if (resistance)
        appendInfoRead(chain, link, write.moduleCheck);
    if (settings)
        chain.drain().waitFor(write.wait);
    for (const FieldWrite &field : write.writes) {
        ChainStep &step = chain.write(field.field->function, field.field->reg, field.value);
        if (resistance)
            step.drained(false, true);
        else
            step.drained(field.field->drain, field.field->drain);
        step.retryOnce();
        if (!settings && &field == &write.writes.front())
            step.waitFor(write.wait);
    }
    if (settings) {
        if (write.addressAndBaud)
            appendAddressAndBaud(chain, link, write.address, write.baudIndex, write.lost);
        return;
    }
    if (write.family == ModuleFamily::Transmitter && !hasStoringCheck(write.family, write.devVer))
        return;
    RequestChain storing;
    appendStoringCheck(storing, link, write.storingWait, write.stored);
    // The resistance window asks the version index when the check comes up.
    if (resistance)
        for (ChainStep &step : storing.steps())
            step.onlyIf([&link] {
                return hasStoringCheck(ModuleFamily::Resistance, link.ComBuf[cb::DevVer]);
            });
    chain.append(storing);
}

std::vector<FieldWrite> configurationWrites(const Configuration &configuration, int devVer)
{
    const FamilyRegisters *family = familyRegisters(configuration.family);
    std::vector<FieldWrite> writes;
    if (!family)
        return writes;
    for (const RegisterTable *table : family->tables)
        for (const RegisterField *field : writeOrder(*table)) {
            const auto value = configuration.values.find(field->reg);
            if (present(*field, devVer) && value != configuration.values.end())
                writes.push_back({field, value->second});
        }
    // The two channels and the common fields of the universal distributor
    // share one write order.
    std::stable_sort(writes.begin(), writes.end(), [](const FieldWrite &a, const FieldWrite &b) {
        return a.field->writeOrder < b.field->writeOrder;
    });
    return writes;
}

std::map<int, int> configurationValues(ModuleFamily family, int devVer,
                                       const std::function<int(int reg)> &word, int count)
{
    std::map<int, int> values;
    for (const RegisterField *field : configurationFields(familyRegisters(family), devVer)) {
        if (field->reg >= count)
            continue;
        const int value = word(field->reg);
        values[field->reg] =
            field->kind == FieldKind::Flag ? (value != 0 ? 1 : 0) : signedAbove32767(value);
    }
    return values;
}
