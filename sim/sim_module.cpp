#include "sim_module.h"

#include "converter_module.h"
#include "range_distributor_module.h"
#include "resistance_module.h"
#include "transmitter_module.h"
#include "universal_distributor_module.h"

std::unique_ptr<SimModule> SimModule::create(const ModuleConfig &config)
{
    switch (config.family) {
    case 1: return std::make_unique<TransmitterModule>(config);
    case 2: return std::make_unique<ConverterModule>(config);
    case 3: return std::make_unique<ResistanceModule>(config);
    case 4: return std::make_unique<UniversalDistributorModule>(config);
    case 5: return std::make_unique<RangeDistributorModule>(config);
    default: return nullptr;
    }
}
