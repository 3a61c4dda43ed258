#pragma once

// A link on a simulated line with one module, and a chain runner driven by
// hand on the line's virtual clock (no window, no event loop).
#include "link.h"
#include "request_chain.h"
#include "sim_module.h"
#include "simulated_line.h"

#include <memory>
#include <tuple>
#include <vector>

struct ChainDriver
{
    std::unique_ptr<SimModule> module;
    SimulatedLine *line = nullptr;
    std::unique_ptr<Link> link;
    std::unique_ptr<ChainRunner> runner;

    explicit ChainDriver(const ModuleConfig &config)
        : module(SimModule::create(config))
    {
        auto owned = std::make_unique<SimulatedLine>(module.get());
        line = owned.get();
        link = std::make_unique<Link>(std::move(owned));
        link->ComBuf[cb::ComNo] = 1;
        link->ComBuf[cb::DevAddr] = static_cast<std::int16_t>(config.address);
        link->OpenCom(0, config.baudCode);
        runner = std::make_unique<ChainRunner>(*link);
    }

    // Runs a chain to its end; returns its result (false also when it never ended).
    bool run(RequestChain chain)
    {
        bool result = false;
        runner->start(std::move(chain), [&result](bool ok) { result = ok; });
        for (int i = 0; i < 10000 && runner->isRunning(); ++i) {
            if (runner->continuing()) {
                runner->continueNow();
            } else if (QTimer *timer = runner->awaitedTimer()) {
                line->wait(timer->interval());
                runner->timerFired(timer);
            } else {
                break;
            }
        }
        return result && !runner->isRunning();
    }

    // (address, function, register, value) of every request since the last clear.
    std::vector<std::tuple<int, int, int, int>> requests() const
    {
        std::vector<std::tuple<int, int, int, int>> out;
        for (const LoggedRequest &r : line->log())
            out.emplace_back(r.address, r.function, r.reg, r.value);
        return out;
    }
};
