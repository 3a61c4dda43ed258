#pragma once

#include "link.h"
#include "message_sink.h"
#include "sim_module.h"
#include "simulated_line.h"

#include <memory>

// A module on a simulated line behind the real link, exchanged with the way
// the windows do it: drain, send, receive.
struct TestBench
{
    std::unique_ptr<SimModule> module;
    SimulatedLine *line = nullptr; // owned by the link
    std::unique_ptr<Link> link;

    explicit TestBench(const ModuleConfig &config)
        : module(SimModule::create(config))
    {
        auto owned = std::make_unique<SimulatedLine>(module.get());
        line = owned.get();
        link = std::make_unique<Link>(std::move(owned));
        link->ComBuf[cb::ComNo] = 1; // COM1, so that Reopen finds the port
        link->OpenCom(0, config.baudCode);
    }

    // Marks the reply area as empty (no byte value is -1), so a missing reply
    // cannot pass for the one before it.
    void clearReply()
    {
        for (int i = cb::Reply; i <= cb::ReplyLast; ++i)
            link->ComBuf[i] = -1;
    }

    void exchange(int address, int function, int reg, int value)
    {
        link->ReadReply();
        clearReply();
        link->SendCmd(address, function, reg, value);
        link->ReadReply();
    }

    // Something arrived in answer to the last request.
    bool answered() const { return link->ComBuf[cb::Reply + 1] != -1; }
    int replyByte(int k) const { return link->ComBuf[cb::Reply + k]; }

    // A read whose reply passes the CRC check of its length.
    bool read(int address, int function, int reg, int count)
    {
        exchange(address, function, reg, count);
        return link->CrcCheck(3 + 2 * count);
    }
    // A write whose echo passes.
    bool write(int address, int function, int reg, int value)
    {
        exchange(address, function, reg, value);
        return answered() && link->EchoOk();
    }
    int reg(int i) const { return link->replyRegister(i); }
};
