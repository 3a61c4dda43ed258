#pragma once

#include "configuration_file.h"
#include "request_chain.h"

#include <vector>

// The code that starts the live values, and the first live value (input
// registers), the same in every family.
inline constexpr int LiveStartCode = 40;
inline constexpr int LiveValueRegister = 4096;

// What differs between the families' live values.
struct LiveRules
{
    int commandRegister = 21; // the start code goes here; -1 for a window that sends none
    int startCode = LiveStartCode;
    int reg = LiveValueRegister;
    int count = 3;
    bool drainBeforePoll = false; // a ReadReply before every poll request
    bool drainOnStop = true;      // "Stop" drains the last poll reply
    bool drainBeforeRetry = true; // a ReadReply before a refused start code goes out again
    int intervalMs = 500;         // the poll's repeating timer
};

// The live values of a family's window.
const LiveRules &liveRules(ModuleFamily family);

// The start of live values: the start code to the command register (after a
// drain, echo checked, sent once more with whatever comes back accepted).
void appendLiveStart(RequestChain &chain, const LiveRules &rules);
// The poll request that follows it.
Poll::Request livePollRequest(const LiveRules &rules);
// The live registers of the poll reply in the link's reply area, as
// unsigned words.
std::vector<int> liveWords(const Link &link, const LiveRules &rules);
