// Converter window benchmark: "Read From Device" and "Write To Device" against
// quorelsim through the real serial port, each as a ratio to its floor (the
// line's read time-outs, the chain's timers and the wire time at 19200 baud).
#include "converter_window.h"
#include "device_enumerator.h"
#include "link.h"
#include "message_sink.h"
#include "port_tables.h"
#include "qt_serial_line.h"
#include "scan_window.h"
#include "status_label.h"
#include "traffic_window.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
struct NoDevices : DeviceEnumerator
{
    Enumeration enumerate() override { return {}; }
};

constexpr int Baud = 19200;
constexpr double Timeout = QtSerialLine::TimeoutMs;

double wireMs(int bytes)
{
    return bytes * 10 * 1000.0 / Baud;
}

// Runs the event loop until the status label shows text; milliseconds taken,
// or -1 after 10 s.
double until(StatusLabel *status, const QString &text, QElapsedTimer &clock)
{
    while (status->text() != text) {
        if (clock.elapsed() > 10000)
            return -1;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return clock.nsecsElapsed() / 1e6;
}
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setMessageSink([](const std::string &text) { std::fprintf(stderr, "%s\n", text.c_str()); });

    const QString tty =
        QDir::temp().filePath(QString("quorel-bench-%1").arg(QCoreApplication::applicationPid()));
    QProcess sim;
    sim.setProgram(QDir(QCoreApplication::applicationDirPath()).filePath("quorelsim"));
    sim.setArguments({"--link", tty});
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
    link.ComBuf[cb::DevVer] = 9;
    link.OpenCom(0, 2);
    // --no-traffic: the same run without the link's record of the traffic.
    const bool traffic = !app.arguments().contains("--no-traffic");
    link.traffic().setEnabled(traffic);
    TForm3 scan(link, std::make_unique<NoDevices>());
    TForm1 form(link, scan);
    auto *status = form.findChild<StatusLabel *>("Lab83");
    // --traffic-window: the traffic window open and following the record.
    if (app.arguments().contains("--traffic-window"))
        scan.TrafficClick();

    // Read: drain and information block (two time-outs and its wire time),
    // the 300 ms decode timer during which the block arrives, the silence
    // after it.
    const double readFloor = 2 * Timeout + wireMs(8 + 13) + 300 + Timeout;
    // Write: the 500 ms timer, a drain, fifteen echoed writes, then filter,
    // address and baud writes each after a drain.
    const double writeFloor =
        500 + Timeout + 15 * (wireMs(16) + Timeout) + 3 * (Timeout + wireMs(16) + Timeout);

    std::vector<double> reads, writes;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer clock;
        clock.start();
        form.BtnP1Click();
        reads.push_back(until(status, "Read Success", clock));
        clock.start();
        form.BtnP2Click();
        writes.push_back(until(status, "Write Success", clock));
    }
    sim.terminate();
    sim.waitForFinished(2000);

    if (std::count(reads.begin(), reads.end(), -1) ||
        std::count(writes.begin(), writes.end(), -1)) {
        std::printf("converter chains did not finish\n");
        return 1;
    }
    std::sort(reads.begin(), reads.end());
    std::sort(writes.begin(), writes.end());
    const double readRatio = reads[1] / readFloor;
    const double writeRatio = writes[1] / writeFloor;
    std::printf("traffic record %s, %zu entries\n", traffic ? "on" : "off", link.traffic().size());
    std::printf("converter read:  median %.0f ms, floor %.0f ms, ratio %.3f\n", reads[1], readFloor,
                readRatio);
    std::printf("converter write: median %.0f ms, floor %.0f ms, ratio %.3f\n", writes[1],
                writeFloor, writeRatio);
    const bool ok = readRatio < 1.10 && writeRatio < 1.10;
    std::printf("%s\n", ok ? "within 10 % of the floor" : "OUT OF LIMITS");
    return ok ? 0 : 1;
}
