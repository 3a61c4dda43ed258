// Family window benchmark: for each window its "Read From Device", its
// "Write To Device" and one period of its live values, against quorelsim
// through the real serial port, each as a ratio to its floor.
//
// The floor of a command is the same command run on the simulated line's
// virtual clock, where time passes only for what the line and the module need:
// the bytes on the wire at the rate, the module's answer time, the link's
// 100 ms of silence that ends each receive, and the window's own timers. The
// live values' floor is one period of the poll timer, or one tick on the
// virtual clock when a tick needs longer. One harness for every window: a row
// names the window, the module behind it (quorelsim's options, which also
// build the virtual module) and its live-values button.
//
// Options: --no-traffic (the link keeps no record of the traffic),
// --traffic-window (the traffic window open and following the record),
// --only TFormN (one window).
#include "compact_window.h"
#include "converter_window.h"
#include "device_enumerator.h"
#include "device_settings.h"
#include "device_window.h"
#include "link.h"
#include "message_sink.h"
#include "port_tables.h"
#include "qt_serial_line.h"
#include "resistance_window.h"
#include "scan_window.h"
#include "sim_module.h"
#include "sim_options.h"
#include "simulated_line.h"
#include "status_label.h"
#include "transmitter_window.h"
#include "universal_distributor_window.h"
#include "vma_distributor_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

struct NoDevices : DeviceEnumerator
{
    Enumeration enumerate() override { return {}; }
};

using MakeWindow = std::function<std::unique_ptr<DeviceWindow>(Link &, TForm3 &)>;

template<class W>
MakeWindow maker()
{
    return [](Link &link, TForm3 &scan) { return std::make_unique<W>(link, scan); };
}

struct BenchRow
{
    const char *window;
    const char *family;
    std::vector<std::string> module; // quorelsim's options
    const char *liveStart;
    MakeWindow make;
};

// The modules hold a configuration every window reads and writes back as it is.
std::vector<BenchRow> rows()
{
    return {
        {"TForm1",
         "converter",
         {"--family", "2",      "--model", "32",     "--version", "9",      "--hold",
          "0=1",      "--hold", "2=-50",   "--hold", "3=1370",    "--hold", "18=1",
          "--hold",   "23=3",   "--hold",  "24=5",   "--hold",    "25=1"},
         "Btn71",
         maker<TForm1>()},
        {"TForm2",
         "transmitter",
         {"--family", "1", "--model", "1", "--version", "9", "--hold", "0=1", "--hold", "2=-50",
          "--hold", "3=1370"},
         "Btn71",
         maker<TForm2>()},
        {"TForm4",
         "resistance",
         {"--family", "3", "--model", "7", "--version", "5"},
         "Btn71",
         maker<TForm4>()},
        {"TForm10",
         "compact resistance",
         {"--family", "3", "--model", "6", "--version", "3"},
         "Btn71",
         maker<TForm10>()},
        {"TForm5",
         "universal distributor",
         {"--family", "4",       "--model", "49",     "--version", "3",    "--hold", "0=1",
          "--hold",   "2=-50",   "--hold",  "3=1370", "--hold",    "23=1", "--hold", "25=-50",
          "--hold",   "26=1370", "--hold",  "29=2",   "--hold",    "30=5", "--hold", "31=1"},
         "Btn71",
         maker<TForm5>()},
        {"TForm7",
         "V/mA distributor",
         {"--family", "5",      "--model", "50",     "--version", "3",      "--hold",
          "0=8",      "--hold", "3=100",   "--hold", "23=8",      "--hold", "26=100",
          "--hold",   "29=2",   "--hold",  "30=5",   "--hold",    "31=1"},
         "Btn11",
         maker<TForm7>()},
    };
}

// The scan's hand-over: the module found at its address and rate, the port open.
void attach(Link &link, const SimModule &module, int family, int model)
{
    link.ComBuf[cb::ComNo] = 1;
    link.ComBuf[cb::DevAddr] = static_cast<std::int16_t>(module.address());
    link.ComBuf[cb::DevFamily] = static_cast<std::int16_t>(family);
    link.ComBuf[cb::DevVer] = static_cast<std::int16_t>(module.version());
    link.ComBuf[cb::DevModel] = static_cast<std::int16_t>(model);
    link.SerialNo = module.serialNumber();
    link.OpenCom(0, module.baudCode());
}

void click(DeviceWindow &window, const char *name)
{
    if (auto *button = window.findChild<QAbstractButton *>(name))
        button->click();
    else
        std::fprintf(stderr, "%s has no %s\n", qPrintable(window.objectName()), name);
}

// The repeating timer that runs while no chain waits for it: the live poll's.
QTimer *pollTimer(DeviceWindow &window)
{
    for (QTimer *timer : window.timers())
        if (timer->isActive() && timer != window.chain().awaitedTimer())
            return timer;
    return nullptr;
}

struct Figures
{
    double read = 0, write = 0, period = 0;
    bool ok = false;
    // On the simulated line: the requests of the read, the write and four
    // live ticks, and a checksum of every request with its time.
    std::size_t readRequests = 0, writeRequests = 0, liveRequests = 0;
    std::uint64_t requestSum = 0;
};

// The floors: every command on the simulated line's virtual clock.
Figures floors(const BenchRow &row)
{
    SimOptions options;
    std::string error;
    if (!parseSimOptions(row.module, options, error)) {
        std::fprintf(stderr, "%s: %s\n", row.window, error.c_str());
        return {};
    }
    const std::unique_ptr<SimModule> module = SimModule::create(options.config);
    applySimOptions(options, *module);
    auto owned = std::make_unique<SimulatedLine>(module.get());
    SimulatedLine &line = *owned;
    Link link(std::move(owned));
    attach(link, *module, options.config.family, options.config.model);
    TForm3 scan(link, std::make_unique<NoDevices>());
    const std::unique_ptr<DeviceWindow> window = row.make(link, scan);

    // Runs a chain to its end: a continuation at once, a named timer after
    // its interval on the clock.
    const auto drive = [&] {
        ChainRunner &chain = window->chain();
        for (int i = 0; i < 100000 && chain.isRunning(); ++i) {
            if (chain.continuing()) {
                chain.continueNow();
            } else if (QTimer *timer = chain.awaitedTimer()) {
                line.wait(timer->interval());
                window->fireTimer(timer);
            } else {
                break;
            }
        }
    };
    const auto timed = [&](const char *button, const QString &success) {
        const std::int64_t start = line.clockUs();
        click(*window, button);
        drive();
        const double ms = (line.clockUs() - start) / 1000.0;
        return window->statusLabel()->text() == success ? ms : -1;
    };

    Figures f;
    f.read = timed("BtnP1", "Read Success");
    f.readRequests = line.log().size();
    f.write = timed("BtnP2", "Write Success");
    f.writeRequests = line.log().size() - f.readRequests;
    click(*window, row.liveStart);
    drive();
    QTimer *poll = pollTimer(*window);
    if (!poll)
        return f;
    double tick = 0;
    for (int i = 0; i < 4; ++i) {
        const std::int64_t start = line.clockUs();
        window->fireTimer(poll);
        drive();
        tick = std::max(tick, (line.clockUs() - start) / 1000.0);
        line.wait(poll->interval());
    }
    f.period = std::max<double>(poll->interval(), tick);
    f.liveRequests = line.log().size() - f.readRequests - f.writeRequests;
    f.requestSum = 1469598103934665603ULL;
    for (const LoggedRequest &r : line.log())
        for (const std::int64_t v : {std::int64_t(r.address), std::int64_t(r.function),
                                     std::int64_t(r.reg), std::int64_t(r.value), r.timeMs})
            f.requestSum = (f.requestSum ^ static_cast<std::uint64_t>(v)) * 1099511628211ULL;
    f.ok = f.read > 0 && f.write > 0 && window->statusLabel()->text() == "Read Success";
    window->TimerAllOFF();
    return f;
}

// Runs the event loop until the status label shows text; milliseconds taken,
// or -1 after 15 s.
double until(StatusLabel *status, const QString &text, const QElapsedTimer &clock)
{
    while (status->text() != text) {
        if (clock.elapsed() > 15000)
            return -1;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return clock.nsecsElapsed() / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The same commands through the real port against quorelsim, in real time:
// the median of three reads and writes, and the mean period of the live
// values' requests over several ticks.
Figures measured(const BenchRow &row, bool traffic, bool trafficWindow)
{
    const QString tty = QDir::temp().filePath(
        QString("quorel-bench-%1-%2").arg(QCoreApplication::applicationPid()).arg(row.window));
    QStringList args{"--link", tty};
    for (const std::string &option : row.module)
        args << QString::fromStdString(option);
    QProcess sim;
    sim.setProgram(QDir(QCoreApplication::applicationDirPath()).filePath("quorelsim"));
    sim.setArguments(args);
    sim.setStandardOutputFile(QProcess::nullDevice());
    sim.start();
    for (int i = 0; i < 100 && !QFileInfo::exists(tty); ++i)
        QThread::msleep(20);
    if (!QFileInfo::exists(tty)) {
        std::fprintf(stderr, "quorelsim did not start\n");
        return {};
    }

    SimOptions options;
    std::string error;
    parseSimOptions(row.module, options, error);
    const std::unique_ptr<SimModule> module = SimModule::create(options.config);
    applySimOptions(options, *module);

    portTable().setPath(0, tty.toStdString());
    Figures f;
    {
        Link link(std::make_unique<QtSerialLine>());
        attach(link, *module, options.config.family, options.config.model);
        link.traffic().setEnabled(traffic);
        TForm3 scan(link, std::make_unique<NoDevices>());
        const std::unique_ptr<DeviceWindow> window = row.make(link, scan);
        if (trafficWindow)
            scan.TrafficClick();
        StatusLabel *status = window->statusLabel();

        std::vector<double> reads, writes;
        for (int i = 0; i < 3; ++i) {
            QElapsedTimer clock;
            clock.start();
            click(*window, "BtnP1");
            reads.push_back(until(status, "Read Success", clock));
            clock.start();
            click(*window, "BtnP2");
            writes.push_back(until(status, "Write Success", clock));
        }
        f.read = median(reads);
        f.write = median(writes);

        // Live values: the times of the poll requests, from the record (kept
        // for this even with --no-traffic).
        link.traffic().setEnabled(true);
        link.traffic().clear();
        click(*window, row.liveStart);
        QElapsedTimer clock;
        clock.start();
        const auto pollRequests = [&link] {
            std::vector<std::int64_t> times;
            for (std::size_t i = 0; i < link.traffic().size(); ++i) {
                const TrafficEntry &e = link.traffic().at(i);
                // Reads of input registers other than the information block.
                if (e.kind == TrafficEntry::Kind::Request && e.bytes[1] == 4 &&
                    (e.bytes[2] << 8 | e.bytes[3]) != InfoBlockRegister)
                    times.push_back(e.timeMs);
            }
            return times;
        };
        while (pollRequests().size() < 10 && clock.elapsed() < 20000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        window->TimerAllOFF();
        const std::vector<std::int64_t> times = pollRequests();
        // The first request goes out with the start; periods from the second.
        if (times.size() >= 4)
            f.period = static_cast<double>(times.back() - times[1]) /
                       static_cast<double>(times.size() - 2);
        f.ok = std::min(f.read, f.write) > 0 && f.period > 0;
        link.CloseCom();
    }
    portTable().clear();
    sim.terminate();
    sim.waitForFinished(2000);
    return f;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setMessageSink([](const std::string &text) { std::fprintf(stderr, "%s\n", text.c_str()); });
    const QStringList arguments = app.arguments();
    const bool traffic = !arguments.contains("--no-traffic");
    const bool trafficWindow = arguments.contains("--traffic-window");
    const qsizetype only = arguments.indexOf("--only");
    const QString onlyWindow = only > 0 && only + 1 < arguments.size() ? arguments[only + 1] : "";

    constexpr double Limit = 1.05;
    bool allOk = true;
    std::printf("traffic record %s%s\n", traffic ? "on" : "off",
                trafficWindow ? ", traffic window open" : "");
    std::printf("%-8s %-22s %22s %22s %22s\n", "window", "", "read ms (floor) ratio",
                "write ms (floor) ratio", "live period (floor) ratio");
    for (const BenchRow &row : rows()) {
        if (!onlyWindow.isEmpty() && onlyWindow != row.window)
            continue;
        const Figures floor = floors(row);
        const Figures real = measured(row, traffic, trafficWindow);
        if (!floor.ok || !real.ok) {
            std::printf("%-8s %-22s did not finish (floor %s, real %s)\n", row.window, row.family,
                        floor.ok ? "ok" : "failed", real.ok ? "ok" : "failed");
            allOk = false;
            continue;
        }
        const auto cell = [&](double ms, double floorMs) {
            const double ratio = ms / floorMs;
            allOk = allOk && ratio <= Limit;
            char text[64];
            std::snprintf(text, sizeof text, "%6.0f (%6.0f) %5.3f", ms, floorMs, ratio);
            return std::string(text);
        };
        const std::string read = cell(real.read, floor.read);
        const std::string write = cell(real.write, floor.write);
        const std::string period = cell(real.period, floor.period);
        std::printf("%-8s %-22s %22s %22s %22s\n", row.window, row.family, read.c_str(),
                    write.c_str(), period.c_str());
        std::printf("%-8s requests on the simulated line: read %zu, write %zu, 4 live ticks %zu, "
                    "checksum %016llx\n",
                    row.window, floor.readRequests, floor.writeRequests, floor.liveRequests,
                    static_cast<unsigned long long>(floor.requestSum));
        std::fflush(stdout);
    }
    std::printf("%s\n", allOk ? "every window within 5 % of its floor" : "OUT OF LIMITS");
    return allOk ? 0 : 1;
}
