// What the live trend costs: the converter window's live values ("Read" in
// its Measuring Value group) polled from quorelsim through the real serial
// port, for the same time with the window's trend hidden and shown (full with
// ten minutes of values, so every redraw is as large as it gets). The figure
// is the process's CPU time with the trend shown minus without, as a share of
// one core. Fails at 1 % of one core or more.
//
// Options: --seconds N (each of the four measuring rounds, default 15).
#include "commissioning.h"
#include "converter_window.h"
#include "device_enumerator.h"
#include "link.h"
#include "live_poll.h"
#include "live_trace.h"
#include "message_sink.h"
#include "port_tables.h"
#include "qt_serial_line.h"
#include "scan_window.h"
#include "status_label.h"
#include "trend_plot.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <ctime>

namespace {

struct NoDevices : DeviceEnumerator
{
    Enumeration enumerate() override { return {}; }
};

double processCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

struct Round
{
    double wallMs = 0;
    double cpuMs = 0;
};

// Runs the event loop for ms milliseconds.
void run(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setMessageSink([](const std::string &text) { std::fprintf(stderr, "%s\n", text.c_str()); });
    const qsizetype secondsAt = app.arguments().indexOf("--seconds");
    const int seconds = secondsAt > 0 && secondsAt + 1 < app.arguments().size()
                            ? std::max(1, app.arguments()[secondsAt + 1].toInt())
                            : 15;

    const QString tty = QDir::temp().filePath(
        QString("quorel-trend-bench-%1").arg(QCoreApplication::applicationPid()));
    QProcess sim;
    sim.setProgram(QDir(QCoreApplication::applicationDirPath()).filePath("quorelsim"));
    sim.setArguments({"--link", tty, "--family", "2", "--version", "9", "--hold", "0=1"});
    sim.setStandardOutputFile(QProcess::nullDevice());
    sim.start();
    for (int i = 0; i < 100 && !QFileInfo::exists(tty); ++i)
        QThread::msleep(20);
    if (!QFileInfo::exists(tty)) {
        std::fprintf(stderr, "quorelsim did not start\n");
        return 1;
    }

    portTable().setPath(0, tty.toStdString());
    Link link(std::make_unique<QtSerialLine>());
    link.ComBuf[cb::ComNo] = 1;
    link.ComBuf[cb::DevAddr] = 1;
    link.ComBuf[cb::DevFamily] = 2;
    link.ComBuf[cb::DevVer] = 9;
    link.ComBuf[cb::DevModel] = 32;
    link.OpenCom(0, 2);
    TForm3 scan(link, std::make_unique<NoDevices>());
    TForm1 window(link, scan);
    window.show(); // its activation reads the module
    for (int i = 0; i < 100 && window.statusLabel()->text() != "Read Success"; ++i)
        run(50);

    // Ten minutes of values before the first poll: a slow wave on PV1.
    TrendPlot *trend = window.commissioning().liveTrace()->trend();
    trend->setLines({{"PV1", "deg C"}, {"PV2", "deg C"}, {"F(PV1,PV2)", "deg C"}});
    const std::int64_t now = QDateTime::currentMSecsSinceEpoch() - 1000;
    for (std::int64_t t = now - TrendSeries::SpanMs; t < now; t += 600)
        trend->addValues({std::to_string(std::lround(500 + 400 * std::sin(t / 20000.0))), "OPEN",
                          std::to_string((t / 1000) % 100)},
                         t);
    window.findChild<QAbstractButton *>("Btn71")->click();
    run(2000);
    if (trend->series().samples().size() < 900 || trend->isHidden()) {
        std::fprintf(stderr, "the live values did not start (%s, %zu samples)\n",
                     qPrintable(window.statusLabel()->text()), trend->series().samples().size());
        return 1;
    }

    const auto measure = [&](bool shown) {
        trend->setVisible(shown);
        run(100);
        Round r;
        QElapsedTimer clock;
        clock.start();
        const double cpu = processCpuMs();
        run(seconds * 1000);
        r.cpuMs = processCpuMs() - cpu;
        r.wallMs = static_cast<double>(clock.elapsed());
        return r;
    };
    // Hidden and shown in turn, twice, so that drift affects both alike.
    Round hidden, shown;
    std::size_t polls = 0;
    QObject::connect(window.findChild<LivePoll *>(), &LivePoll::polled, &app, [&] { ++polls; });
    for (int i = 0; i < 2; ++i)
        for (const bool visible : {false, true}) {
            const Round r = measure(visible);
            Round &sum = visible ? shown : hidden;
            sum.wallMs += r.wallMs;
            sum.cpuMs += r.cpuMs;
        }
    window.findChild<QAbstractButton *>("Btn72")->click();
    link.CloseCom();
    portTable().clear();
    sim.terminate();
    sim.waitForFinished(2000);

    const auto percent = [](const Round &r) { return 100.0 * r.cpuMs / r.wallMs; };
    const double added = percent(shown) - percent(hidden);
    std::printf("live trend of the converter window, %d s each way, %zu polls\n", 2 * seconds,
                polls);
    std::printf("%-8s %12s %16s\n", "trend", "CPU ms", "CPU % of a core");
    std::printf("%-8s %12.1f %16.3f\n", "hidden", hidden.cpuMs, percent(hidden));
    std::printf("%-8s %12.1f %16.3f\n", "shown", shown.cpuMs, percent(shown));
    std::printf("added by the shown trend: %.3f %% of one core (limit 1 %%)\n", added);
    const bool ok = polls > 0 && added < 1.0;
    std::printf("%s\n", ok ? "within the limit" : "OUT OF LIMITS");
    return ok ? 0 : 1;
}
