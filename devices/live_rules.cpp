#include "live_rules.h"

#include "link.h"

#include "resistance_registers.h"
#include "transmitter_registers.h"
#include "vma_distributor_registers.h"

const LiveRules &liveRules(ModuleFamily family)
{
    static const LiveRules transmitter{TransmitterCommandCell, 40, 4096, 1, true, true, true, 500};
    static const LiveRules converter{21, 40, 4096, 3, false, true, true, 600};
    static const LiveRules resistance{ResistanceCommandCell, 40, 4096, 1, true, false, true, 500};
    static const LiveRules distributor{21, 40, 4096, 2, false, false, true, 500};
    static const LiveRules vmaDistributor{
        VmaDistributorCommandCell, 40, 4096, 3, false, false, false, 500};
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
        chain.write(5, rules.commandRegister, rules.startCode)
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
