#include "session.h"

#include "device_enumerator.h"
#include "module_probe.h"
#include "port_tables.h"
#include "qt_serial_line.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <regex>

namespace {
QTimer &named(QTimer &timer, const char *name, int interval, bool single)
{
    timer.setObjectName(name);
    timer.setInterval(interval);
    timer.setSingleShot(single);
    timer.setTimerType(Qt::PreciseTimer);
    return timer;
}

// The port number of a scan name "<description> (COMn)", 0 for none.
int comNumberOf(const std::string &name)
{
    static const std::regex com(R"(\(COM(\d+)\))");
    std::smatch match;
    if (!std::regex_search(name, match, com) || match[1].length() > 3)
        return 0;
    return std::stoi(match[1]);
}

bool isAdapter(const std::string &name)
{
    return name.find("USB-to-Serial") != std::string::npos ||
           name.find("USB to Serial") != std::string::npos;
}
} // namespace

Session::Session(bool trace, bool progress)
    : m_link(std::make_unique<Link>(std::make_unique<QtSerialLine>()))
    , m_trace(trace)
    , m_progress(progress)
{
    // The chain runner stops a timer when its step runs; the windows' chain
    // timers are repeating ones stopped that way.
    named(m_read, "read", 0, false);
    named(m_write, "write", 0, false);
    named(m_storing, "storing", StoringWaitMs, false);
    named(m_live, "live", 0, false);
    m_runner = std::make_unique<ChainRunner>(*m_link);
    for (QTimer *timer : {&m_read, &m_write, &m_storing})
        QObject::connect(timer, &QTimer::timeout, m_runner.get(),
                         [this, timer] { m_runner->timerFired(timer); });
}

Session::~Session()
{
    m_runner->stop();
    m_link->CloseCom();
}

void Session::selectPort(const std::string &port)
{
    const Enumeration devices = makeSystemEnumerator()->enumerate();
    if (devices.failure != Enumeration::None)
        throw CommandError{NoModule, enumerationMessage(devices)};
    struct Listed
    {
        int comNo;
        std::string name;
        std::string path;
    };
    std::vector<Listed> listed;
    for (const std::string &name : devices.names)
        if (const int comNo = comNumberOf(name); comNo >= 1 && comNo <= PortTable::Size)
            listed.push_back({comNo, name, portTable().path(comNo - 1)});

    const Listed *chosen = nullptr;
    if (port.empty()) {
        std::vector<const Listed *> adapters;
        for (const Listed &device : listed)
            if (isAdapter(device.name))
                adapters.push_back(&device);
        if (adapters.empty())
            throw CommandError{NoModule, "No USB-to-serial adapter found (quorelctl ports lists "
                                         "the serial devices)."};
        if (adapters.size() > 1) {
            std::string text = std::to_string(adapters.size()) +
                               " USB-to-serial adapters found; choose one with --port:";
            for (const Listed *device : adapters) {
                text += "\n  " + device->name;
                if (const auto stable = devices.stableNames.find(device->path);
                    stable != devices.stableNames.end())
                    text += "  " + stable->second;
            }
            throw CommandError{Usage, text};
        }
        chosen = adapters.front();
    } else {
        static const std::regex number(R"((?:COM|com)?(\d{1,2}))");
        std::smatch match;
        const int comNo = std::regex_match(port, match, number) ? std::stoi(match[1]) : 0;
        for (const Listed &device : listed)
            if (comNo ? device.comNo == comNo : sameDevice(port, device.path))
                chosen = &device;
        if (!chosen)
            throw CommandError{
                Usage, "No serial device \"" + port +
                           "\" (quorelctl ports lists the serial devices; a device the system "
                           "does not list is added with QUORELWIN_EXTRA_PORTS)."};
    }
    for (const DeniedDevice &denied : devices.denied)
        if (sameDevice(denied.path, chosen->path))
            throw CommandError{NoModule, permissionMessage({denied})};
    m_portName = chosen->name;
    m_link->ComBuf[cb::ComNo] = static_cast<std::int16_t>(chosen->comNo);
}

const FoundModule &Session::findModule(const ModuleAccess &access)
{
    int family = NoFamily;
    if (access.probe) {
        family = probeModule(*m_link);
    } else {
        m_link->ComBuf[cb::DevFamily] = 0;
        m_link->ComBuf[cb::DevAddr] = static_cast<std::int16_t>(access.address);
        m_link->Reopen(access.baudIndex);
        identifyModule(*m_link, access.address);
        family = m_link->ComBuf[cb::DevFamily];
    }
    flushTrace();
    if (family == NoFamily)
        throw CommandError{
            NoModule,
            "Device Not Found: no module answered on " + m_portName +
                (access.probe
                     ? std::string(" at any baud rate.")
                     : " at address " + std::to_string(access.address) + ", " +
                           std::to_string(BaudRates[static_cast<std::size_t>(access.baudIndex)]) +
                           " baud.")};
    m_module.family = static_cast<ModuleFamily>(family);
    m_module.info = decodeInfoBlock(*m_link);
    const std::optional<ModuleView> view = acceptedModule(m_module.family, m_module.info);
    if (!view)
        throw CommandError{Failed, "The module (model code " + std::to_string(m_module.info.model) +
                                       ", version index " + std::to_string(m_module.info.version) +
                                       ") is one no window of its family reads."};
    // The probe forced the families that can be forced to address 1 and 19200
    // baud: the module is put back to its own address and rate as its window's
    // activation does, where its version keeps a copy of them to read.
    const bool forced = access.probe && m_module.family != ModuleFamily::Transmitter &&
                        m_module.family != ModuleFamily::Resistance;
    m_ownSettingsKnown = !forced;
    const auto reg = ownSettingsRegister(m_module.family, m_link->ComBuf[cb::DevVer]);
    if (forced && reg) {
        RequestChain restore;
        appendRestore(restore, *m_link, *reg, [this](int) { m_ownSettingsKnown = true; });
        run(std::move(restore));
    }
    if (!m_ownSettingsKnown) {
        const std::string kind = failureKind();
        const std::string why =
            reg ? "its own address and rate (registers " + std::to_string(*reg) + ", " +
                      std::to_string(*reg + 1) + ") could not be read back" +
                      (kind.empty() ? "" : " (" + kind + ")")
                : "its version index " + std::to_string(m_module.info.version) +
                      " keeps no copy of its own address and rate to put it back to";
        std::fprintf(stderr,
                     "quorelctl: note: the probe set the module to address 1, 19200 baud and "
                     "%s; it stays there. A write leaves its address and baud step out "
                     "(--settings writes the file's).\n",
                     why.c_str());
    }
    m_module.devVer = view->version;
    m_module.blockCount = view->blockCount;
    m_link->ComBuf[cb::DevVer] = static_cast<std::int16_t>(view->version);
    const ConfigurationWaits &waits = configurationWaits(m_module.family);
    m_read.setInterval(waits.read);
    m_write.setInterval(waits.write);
    m_storing.setInterval(waits.storing);
    return m_module;
}

bool Session::run(RequestChain chain, const char *what)
{
    // A progress line on a terminal: one tick per step that passed.
    const std::size_t total = chain.size();
    if (m_progress && what) {
        for (std::size_t i = 0; i < total; ++i) {
            ChainStep &step = chain.steps()[i];
            step.then = [what, i, total, next = std::move(step.then)] {
                std::fprintf(stderr, "\r%s: step %zu of %zu ", what, i + 1, total);
                std::fflush(stderr);
                return next ? next() : true;
            };
        }
    }
    m_last = chain;
    bool finished = false;
    bool result = false;
    std::exception_ptr error;
    QEventLoop loop;
    m_runner->start(
        std::move(chain),
        [&](bool ok) {
            finished = true;
            result = ok;
            loop.quit();
        },
        [&](std::exception_ptr thrown) {
            finished = true;
            error = thrown;
            loop.quit();
        });
    if (!finished)
        loop.exec();
    if (error)
        std::rethrow_exception(error);
    if (m_progress && what)
        std::fprintf(stderr, "\r%*s\r", 40, "");
    flushTrace();
    return result;
}

std::string Session::failedStepText() const
{
    const int index = m_runner->failedStep();
    if (index < 0 || index >= static_cast<int>(m_last.size()))
        return {};
    // The request the failing step sent, or the one whose reply it collected.
    for (int i = index; i >= 0; --i) {
        const ChainStep &step = m_last.steps()[static_cast<std::size_t>(i)];
        if (!step.send)
            continue;
        const bool read = step.function == 3 || step.function == 4;
        const std::string why = failureKind();
        return "function " + std::to_string(step.function) + ", register " +
               std::to_string(step.reg) + (read ? ", count " : ", value ") +
               (step.valueNow ? std::string("as computed") : std::to_string(step.value)) +
               (why.empty() ? "" : ": " + why);
    }
    return failureKind();
}

std::string Session::failureKind() const
{
    const LinkFailure &failure = m_link->lastFailure();
    return failure.failed() ? failure.describe() : std::string();
}

void Session::flushTrace()
{
    const TrafficRecord &record = m_link->traffic();
    if (!m_trace) {
        m_traced = record.endSerial();
        return;
    }
    for (std::uint64_t serial = std::max(m_traced, record.firstSerial());
         serial < record.endSerial(); ++serial) {
        const TrafficEntry *entry = record.find(serial);
        if (!entry)
            continue;
        const TrafficLine line = describeTraffic(*entry);
        // A reply the link judged unsound carries why.
        const std::string verdict =
            entry->judged && entry->verdict.failed() ? "  [" + trafficVerdict(*entry) + "]" : "";
        std::fprintf(stderr, "%10s  %s  %-30s  %s%s\n", trafficTime(entry->timeMs).c_str(),
                     trafficDirection(*entry), trafficHex(*entry).c_str(), line.text.c_str(),
                     verdict.c_str());
    }
    m_traced = record.endSerial();
}
