#pragma once

#include "configuration_chains.h"
#include "link.h"
#include "request_chain.h"

#include <QTimer>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

// Exit codes of quorelctl.
enum ExitCode {
    Done = 0,
    Failed = 1,   // the module refused or failed, or a file could not be written
    Usage = 2,    // the command line or the file given is wrong; nothing was sent
    NoModule = 3, // no adapter, or no module answered the probe
};

// A command's failure: its message and exit code.
struct CommandError
{
    ExitCode code;
    std::string message;
};

// How the module is found: the scan's probe (which broadcasts address 1 and
// 19200 baud to every module on the line), or a module whose address and
// rate are known, asked directly.
struct ModuleAccess
{
    bool probe = true;
    int address = 1;   // without the probe
    int baudIndex = 2; // without the probe
};

// What the probe found, as the family's window takes it.
struct FoundModule
{
    ModuleFamily family = ModuleFamily::Converter;
    InfoBlock info;
    int devVer = 0; // version index the family's window works with
    int blockCount = 0;
};

// One open serial line, the module behind it and the chains run on it,
// without windows: each chain runs on the event loop with the named timers
// the windows wait for, at the same intervals.
class Session
{
public:
    Session(bool trace, bool progress);
    ~Session();

    Link &link() { return *m_link; }

    // The adapter's port: "COMn", a number n, a device path or its stable
    // name under /dev/serial/by-id/; empty for the only USB-to-serial adapter
    // (several are refused with their list). A port this user may not open is
    // refused with the fix. Throws CommandError.
    void selectPort(const std::string &port);
    // The scan's probe, then the window's activation restore of the module's
    // own address and rate; or, without the probe, the information block read
    // at the address and rate given. Throws CommandError.
    const FoundModule &findModule(const ModuleAccess &access);
    const FoundModule &module() const { return m_module; }
    // False when the probe forced the module to address 1 and 19200 baud and
    // its own address and rate could not be read back: a write must not make
    // the probe's settings its own.
    bool ownSettingsKnown() const { return m_ownSettingsKnown; }

    // Runs a chain to its end; false when it failed.
    bool run(RequestChain chain, const char *what = nullptr);
    // The step that failed the last chain and why, for messages:
    // "function 5, register 8, value 1: exception code 4".
    std::string failedStepText() const;
    // Why the last check of a reply failed ("no reply", "CRC error",
    // "exception code 2", "line lost"...); empty when it passed.
    std::string failureKind() const;

    QTimer *readWait() { return &m_read; }
    QTimer *writeWait() { return &m_write; }
    QTimer *storingWait() { return &m_storing; }
    QTimer *liveTimer() { return &m_live; }

    // Prints the traffic lines recorded since the last call (with --trace).
    void flushTrace();
    std::string portName() const { return m_portName; }

private:
    std::unique_ptr<Link> m_link;
    QTimer m_read;
    QTimer m_write;
    QTimer m_storing;
    QTimer m_live;
    std::unique_ptr<ChainRunner> m_runner;
    RequestChain m_last;
    FoundModule m_module;
    std::string m_portName;
    std::uint64_t m_traced = 0;
    bool m_ownSettingsKnown = true;
    bool m_trace = false;
    bool m_progress = false;
};
