#pragma once

// The configuration a read of a simulated module with its default registers
// gives, with some registers changed: what the configuration-file tests write
// into modules and check.
#include "configuration_chains.h"
#include "configuration_file.h"
#include "sim_module.h"
#include "sim_options.h"

#include <map>

inline Configuration defaultConfiguration(int family, const std::map<int, int> &changes = {})
{
    ModuleConfig config;
    config.family = family;
    config.model = defaultModelOf(family);
    config.version = defaultVersionOf(family);
    const auto module = SimModule::create(config);
    const auto view = acceptedModule(static_cast<ModuleFamily>(family),
                                     {config.model, config.version, 703070001u});
    Configuration configuration;
    configuration.family = family;
    configuration.model = config.model;
    configuration.version = view->version;
    configuration.values = configurationValues(
        static_cast<ModuleFamily>(family), view->version,
        [&](int reg) { return module->holding(reg); }, view->blockCount);
    for (const auto &[reg, value] : changes)
        configuration.values[reg] = value;
    return configuration;
}
