// What the live trend costs: the converter's live values polled from
// quorelsim through the real serial port, as the windows and `quorelctl live`
// poll them, for the same time with the trend hidden and with it shown (full
// with ten minutes of values, so every redraw is as large as it gets). The
// figure is the process's CPU time with the trend shown minus without, as a
// share of one core; the trend's own time (taking each poll's values and
// drawing) is measured beside it. Fails above 1 % of one core.
//
// Options: --seconds N (each of the four measuring rounds, default 15).
#include "link.h"
#include "live_display.h"
#include "live_rules.h"
#include "message_sink.h"
#include "port_tables.h"
#include "qt_serial_line.h"
#include "request_chain.h"
#include "trend_plot.h"

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

double cpuMs(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// The trend, its own drawing time counted.
class TimedTrend : public TrendPlot
{
public:
    double ownMs = 0;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        const double start = cpuMs(CLOCK_THREAD_CPUTIME_ID);
        TrendPlot::paintEvent(event);
        ownMs += cpuMs(CLOCK_THREAD_CPUTIME_ID) - start;
    }
};

struct Round
{
    double wallMs = 0;
    double cpuMs = 0;
    double ownMs = 0;
    int polls = 0;
};

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
    sim.setArguments({"--link", tty, "--family", "2", "--hold", "0=1"});
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
    link.ComBuf[cb::DevAddr] = 1;
    link.OpenCom(0, 2);
    const LiveRules &rules = liveRules(ModuleFamily::Converter);
    const LiveDisplay display(ModuleFamily::Converter, {{0, 1}, {1, 0}});

    // The live values started as "Read" starts them.
    ChainRunner runner(link);
    RequestChain start;
    appendLiveStart(start, rules);
    bool started = false;
    QEventLoop wait;
    runner.start(std::move(start), [&](bool ok) {
        started = ok;
        wait.quit();
    });
    if (runner.isRunning())
        wait.exec();
    if (!started) {
        std::fprintf(stderr, "the module refused the start of live values\n");
        return 1;
    }

    TimedTrend trend;
    std::vector<TrendLine> lines;
    for (const LiveValue &value : display.values())
        lines.push_back({value.name, value.unit});
    trend.setLines(lines);
    trend.resize(420, 170); // about its size in a "Measuring Value" group
    // Ten minutes of values before the first poll: a slow wave on PV1.
    const std::int64_t now = QDateTime::currentMSecsSinceEpoch();
    for (std::int64_t t = now - TrendSeries::SpanMs; t < now; t += rules.intervalMs)
        trend.addValues({std::to_string(std::lround(500 + 400 * std::sin(t / 20000.0))), "OPEN",
                         std::to_string((t / 1000) % 100)},
                        t);

    QTimer timer;
    timer.setInterval(rules.intervalMs);
    Poll poll(link, &timer);
    Round *round = nullptr;
    QObject::connect(&timer, &QTimer::timeout, &trend, [&] { poll.tick(); });
    poll.start(
        livePollRequest(rules),
        [&](bool sound) {
            std::vector<std::string> texts(display.values().size());
            if (sound) {
                texts = display.texts(liveWords(link, rules));
            }
            const double before = cpuMs(CLOCK_THREAD_CPUTIME_ID);
            trend.addValues(texts);
            if (round) {
                round->ownMs += cpuMs(CLOCK_THREAD_CPUTIME_ID) - before;
                ++round->polls;
            }
        },
        true);

    const auto measure = [&](bool shown) {
        trend.setVisible(shown);
        QApplication::processEvents();
        Round r;
        round = &r;
        trend.ownMs = 0;
        QElapsedTimer clock;
        clock.start();
        const double cpu = cpuMs(CLOCK_PROCESS_CPUTIME_ID);
        QEventLoop loop;
        QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
        loop.exec();
        r.cpuMs = cpuMs(CLOCK_PROCESS_CPUTIME_ID) - cpu;
        r.wallMs = static_cast<double>(clock.elapsed());
        r.ownMs += trend.ownMs;
        round = nullptr;
        return r;
    };
    // Hidden and shown in turn, twice, so that drift affects both alike.
    Round hidden, shown;
    for (int i = 0; i < 2; ++i)
        for (const bool visible : {false, true}) {
            const Round r = measure(visible);
            Round &sum = visible ? shown : hidden;
            sum.wallMs += r.wallMs;
            sum.cpuMs += r.cpuMs;
            sum.ownMs += r.ownMs;
            sum.polls += r.polls;
        }
    poll.stop();
    link.CloseCom();
    portTable().clear();
    sim.terminate();
    sim.waitForFinished(2000);

    const auto percent = [](double ms, const Round &r) { return 100.0 * ms / r.wallMs; };
    const double added = percent(shown.cpuMs, shown) - percent(hidden.cpuMs, hidden);
    std::printf("live trend, converter, %d ms polls, %d s each way\n", rules.intervalMs,
                2 * seconds);
    std::printf("%-14s %6s %12s %14s %16s\n", "trend", "polls", "CPU ms", "CPU % of core",
                "trend's own %");
    for (const auto &[name, r] : {std::pair{"hidden", hidden}, std::pair{"shown", shown}})
        std::printf("%-14s %6d %12.1f %14.3f %16.3f\n", name, r.polls, r.cpuMs, percent(r.cpuMs, r),
                    percent(r.ownMs, r));
    std::printf("added by the shown trend: %.3f %% of one core (limit 1 %%)\n", added);
    const bool ok =
        shown.polls > 0 && hidden.polls > 0 && added < 1.0 && percent(shown.ownMs, shown) < 1.0;
    std::printf("%s\n", ok ? "within the limit" : "OUT OF LIMITS");
    return ok ? 0 : 1;
}
