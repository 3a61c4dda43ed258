#include "live_rules.h"

#include "link.h"
#include "modbus_functions.h"

#include "converter_registers.h"
#include "distributor_registers.h"
#include "resistance_registers.h"
#include "transmitter_registers.h"
#include "vma_distributor_registers.h"

const LiveRules &liveRules(ModuleFamily family)
{
    static const LiveRules transmitter{.commandRegister = TransmitterCommandCell,
                                       .count = 1,
                                       .drainBeforePoll = true,
                                       .drainOnStop = true};
    static const LiveRules converter{.commandRegister = ConverterCommandCell,
                                     .count = 3,
                                     .drainOnStop = true,
                                     .intervalMs = 600};
    static const LiveRules resistance{.commandRegister = ResistanceCommandCell,
                                      .count = 1,
                                      .drainBeforePoll = true,
                                      .drainOnStop = false};
    static const LiveRules distributor{
        .commandRegister = DistributorCommandCell, .count = 2, .drainOnStop = false};
    static const LiveRules vmaDistributor{.commandRegister = VmaDistributorCommandCell,
                                          .count = 3,
                                          .drainOnStop = false,
                                          .drainBeforeRetry = false};
    switch (family) {
    case ModuleFamily::Transmitter: return transmitter;
    case ModuleFamily::Converter: return converter;
    case ModuleFamily::Resistance: return resistance;
    case ModuleFamily::Distributor: return distributor;
    case ModuleFamily::VmaDistributor: return vmaDistributor;
    }
    return converter;
}

void appendLiveStart(RequestChain &chain, const LiveRules &rules)
{
    if (rules.commandRegister >= 0)
        chain.write(Modbus::WriteCoil, rules.commandRegister, rules.startCode)
            .drained(true, rules.drainBeforeRetry)
            .retryUnchecked();
}

Poll::Request livePollRequest(const LiveRules &rules)
{
    return {4, rules.reg, rules.count, rules.drainBeforePoll};
}

std::vector<int> liveWords(const Link &link, const LiveRules &rules)
{
    std::vector<int> words;
    for (int i = 0; i < rules.count; ++i)
        words.push_back(link.replyRegister(i));
    return words;
}
