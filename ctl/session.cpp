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
    int comNo = 0;
    if (port.empty()) {
        // The adapter the scan window takes: the last USB-to-serial device.
        for (const std::string &name : devices.names)
            if (name.find("COM") != std::string::npos && isAdapter(name)) {
                comNo = comNumberOf(name);
                m_portName = name;
            }
        if (comNo < 1 || comNo > PortTable::Size)
            throw CommandError{NoModule, "No USB-to-serial adapter found (quorelctl ports lists "
                                         "the serial devices)."};
    } else {
        static const std::regex number(R"((?:COM|com)?(\d{1,2}))");
        std::smatch match;
        if (std::regex_match(port, match, number))
            comNo = std::stoi(match[1]);
        for (int i = 0; i < PortTable::Size && comNo == 0; ++i)
            if (!portTable().path(i).empty() && portTable().path(i) == port)
                comNo = i + 1;
        if (comNo < 1 || comNo > PortTable::Size || portTable().path(comNo - 1).empty())
            throw CommandError{
                Usage, "No serial device \"" + port +
                           "\" (quorelctl ports lists the serial devices; a device the system "
                           "does not list is added with QUORELWIN_EXTRA_PORTS)."};
        for (const std::string &name : devices.names)
            if (comNumberOf(name) == comNo)
                m_portName = name;
    }
    m_link->ComBuf[cb::ComNo] = static_cast<std::int16_t>(comNo);
}

const FoundModule &Session::findModule()
{
    const int family = probeModule(*m_link);
    flushTrace();
    if (family == NoFamily)
        throw CommandError{NoModule, "Device Not Found: no module answered on " + m_portName +
                                         " at any baud rate."};
    m_module.family = static_cast<ModuleFamily>(family);
    m_module.info = decodeInfoBlock(*m_link);
    const std::optional<ModuleView> view = acceptedModule(m_module.family, m_module.info);
    if (!view)
        throw CommandError{Failed, "The module (model code " + std::to_string(m_module.info.model) +
                                       ", version index " + std::to_string(m_module.info.version) +
                                       ") is one no window of its family reads."};
    // The scan forced address 1 and 19200 baud: the module is put back to its
    // own address and rate as its window's activation does.
    if (const auto reg = ownSettingsRegister(m_module.family, m_link->ComBuf[cb::DevVer])) {
        RequestChain restore;
        appendRestore(restore, *m_link, *reg, {});
        run(std::move(restore));
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
        return "function " + std::to_string(step.function) + ", register " +
               std::to_string(step.reg) + (read ? ", count " : ", value ") +
               (step.valueNow ? std::string("as computed") : std::to_string(step.value));
    }
    return {};
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
        std::fprintf(stderr, "%10s  %s  %-30s  %s\n", trafficTime(entry->timeMs).c_str(),
                     trafficDirection(*entry), trafficHex(*entry).c_str(), line.text.c_str());
    }
    m_traced = record.endSerial();
}
