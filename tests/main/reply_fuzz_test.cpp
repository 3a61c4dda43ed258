// Damaged and forged replies through the simulated line into every reply
// decoder of the program: the information block, each family window's
// configuration block, live values, calibration counts, the storing result and
// the scan's identification. The line hands the link mutated replies (bit
// flips, truncation, extension, random bytes, a changed header, noise; about
// half with a CRC that matches). Nothing may crash; the link's state words
// (ComBuf beyond the reply area) keep their values; and a reply that fails the
// address, function, byte count or CRC check changes nothing a window shows.
// The generator is seeded: every run feeds the same replies.
#include "window_rig.h"

#include "calibration_points.h"
#include "reply_mutator.h"
#include "settings_chains.h"
#include "vma_distributor_registers.h"
#include "zero_span_tables.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>

namespace {

// Mutates the replies to one kind of request (a function, at one register or
// at any: -1) on a line and keeps the score of what it fed.
class Fuzzer
{
public:
    Fuzzer(std::uint64_t seed, int function, int reg)
        : m_random(seed)
        , m_function(function)
        , m_reg(reg)
    {}

    void install(SimulatedLine &line)
    {
        line.setReplyFilter(
            [this](const std::vector<std::uint8_t> &request, std::vector<std::uint8_t> &reply) {
                if (!m_on || request.size() < 8 || request[1] != m_function ||
                    (m_reg >= 0 && (request[2] << 8 | request[3]) != m_reg))
                    return;
                mutateReply(m_random, reply);
                ++mutated;
                if (soundReadReply(request, reply))
                    ++sound;
            });
    }
    void setOn(bool on) { m_on = on; }

    long mutated = 0;
    long sound = 0; // mutated replies that still pass every check

private:
    FuzzRandom m_random;
    int m_function;
    int m_reg;
    bool m_on = true;
};

// What a window shows, as one hash: every field, label, choice, position and
// progress; the status label is left out (it reports the failure).
class Shown
{
public:
    explicit Shown(const QWidget &window)
    {
        for (const QWidget *w : window.findChildren<QWidget *>())
            if (!qobject_cast<const StatusLabel *>(w))
                m_widgets.push_back(w);
    }

    std::uint64_t hash() const
    {
        std::uint64_t h = 14695981039346656037ull;
        const auto mix = [&h](const QString &text) {
            for (const QChar c : text)
                h = (h ^ c.unicode()) * 1099511628211ull;
            h = (h ^ 0xFFFF) * 1099511628211ull;
        };
        const auto number = [&h](qint64 n) {
            h = (h ^ static_cast<std::uint64_t>(n)) * 1099511628211ull;
        };
        for (const QWidget *w : m_widgets) {
            if (const auto *edit = qobject_cast<const QLineEdit *>(w)) {
                mix(edit->text());
            } else if (const auto *label = qobject_cast<const QLabel *>(w)) {
                mix(label->text());
                number(label->pixmap().cacheKey());
            } else if (const auto *button = qobject_cast<const QAbstractButton *>(w)) {
                number(button->isChecked());
            } else if (const auto *combo = qobject_cast<const QComboBox *>(w)) {
                number(combo->currentIndex());
            } else if (const auto *slider = qobject_cast<const QAbstractSlider *>(w)) {
                number(slider->value());
            } else if (const auto *bar = qobject_cast<const QProgressBar *>(w)) {
                number(bar->value());
            }
        }
        return h;
    }

private:
    std::vector<const QWidget *> m_widgets;
};

using StateWords = std::array<std::int16_t, cb::Size - cb::ReplyLast - 1>;
StateWords stateWords(const Link &link)
{
    StateWords words{};
    std::copy(link.ComBuf.begin() + cb::ReplyLast + 1, link.ComBuf.end(), words.begin());
    return words;
}

struct FuzzWindow
{
    QString name;
    ModuleConfig config;
    const char *liveStart;
    const CalibrationTable *calibration; // nullptr: zero/span points
    const ZeroSpanSet *zeroSpan = nullptr;
};

const std::vector<FuzzWindow> &fuzzWindows()
{
    static const std::vector<FuzzWindow> windows = {
        {"TForm1", {2, 32, 9, 703070001, 1, 2}, "Btn71", &converterCalibration()},
        {"TForm2", {1, 1, 9, 703070001, 1, 2}, "Btn71", &transmitterCalibration()},
        {"TForm4", {3, 7, 5, 703070001, 1, 2}, "Btn71", nullptr, &resistanceZeroSpan()},
        {"TForm10", {3, 6, 3, 703070001, 1, 2}, "Btn71", nullptr, &compactZeroSpan()},
        {"TForm5", {4, 49, 3, 703070001, 1, 2}, "Btn71", &distributorCalibration()},
        {"TForm7", {5, 50, 3, 703070001, 1, 2}, "Btn11", &vmaDistributorCalibration()},
    };
    return windows;
}

// Drives `runs` steps on a window with the fuzzer on. After each step the
// state words are as before (the version index may follow a sound
// information block) and, unless a sound reply came in since the step before
// the last (a poll shows a reply one tick after it came), so are the values
// the window shows.
template<class Step>
void fuzzWindow(Rig &rig, Fuzzer &fuzzer, int runs, Step step)
{
    const Shown shown(rig.window());
    std::uint64_t before = shown.hash();
    StateWords words = stateWords(rig.link());
    // The first step may show a reply that was on its way before the fuzzer
    // started: it is not held to the rule.
    long soundBefore = fuzzer.sound, soundTwoBefore = -1;
    constexpr int version = cb::DevVer - cb::ReplyLast - 1;
    for (int i = 0; i < runs; ++i) {
        step();
        const std::uint64_t after = shown.hash();
        const StateWords now = stateWords(rig.link());
        const bool anySound = fuzzer.sound != soundTwoBefore;
        StateWords expected = words;
        if (anySound)
            expected[version] = now[version];
        ASSERT_EQ(now, expected) << rig.window().objectName().toStdString() << " step " << i;
        if (!anySound) {
            ASSERT_EQ(after, before) << rig.window().objectName().toStdString() << " step " << i;
        }
        ASSERT_TRUE(rig.errors().empty()) << rig.errors().front().toStdString();
        before = after;
        words = now;
        soundTwoBefore = soundBefore;
        soundBefore = fuzzer.sound;
    }
}

// How many mutated replies each decoder gets. The window decoders cost a
// chain through a real window per reply, the others an exchange. Live values
// and calibration counts share one decoder per kind across the windows.
constexpr int ReadsPerWindow = 100000;     // configuration block, per window
constexpr int InfoReadsPerWindow = 1000;   // information block in each window's read
constexpr int TicksPerWindow = 17000;      // live values, per window
constexpr int CountTicksPerWindow = 17000; // calibration counts, per window
constexpr int Exchanges = 100000;          // the decoders without a window

void report(const std::string &decoder, const Fuzzer &fuzzer, double seconds)
{
    std::printf("[ fuzz     ] %-34s %7ld replies, %6ld sound, %.2f s\n", decoder.c_str(),
                fuzzer.mutated, fuzzer.sound, seconds);
}

double since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The configuration block and the information block of one window's read,
// each window a test of its own so that ctest runs them side by side.
class ReplyFuzzReads : public ::testing::TestWithParam<const char *>
{};

TEST_P(ReplyFuzzReads, ConfigurationAndInformationBlock)
{
    const auto kind = std::find_if(fuzzWindows().begin(), fuzzWindows().end(),
                                   [](const FuzzWindow &w) { return w.name == GetParam(); });
    ASSERT_NE(kind, fuzzWindows().end());
    for (const auto &[decoder, function, reg, runs] :
         {std::tuple{"information block", 4, InfoBlockRegister, InfoReadsPerWindow},
          std::tuple{"configuration block", 3, 0, ReadsPerWindow}}) {
        auto rig = makeRig(kind->name, kind->config);
        Fuzzer fuzzer(0x5EED0000u + static_cast<unsigned>(reg + kind->name.size()), function, reg);
        fuzzer.install(rig->line());
        fuzzer.setOn(false);
        rig->press("BtnP1");
        fuzzer.setOn(true);
        auto *read = rig->find<QAbstractButton>("BtnP1");
        const auto started = std::chrono::steady_clock::now();
        fuzzWindow(*rig, fuzzer, runs, [&] {
            read->click();
            rig->settle();
            rig->line().clearLog();
        });
        EXPECT_EQ(fuzzer.mutated, runs) << decoder;
        report(std::string(decoder) + " " + qPrintable(kind->name), fuzzer, since(started));
    }
}

INSTANTIATE_TEST_SUITE_P(Windows, ReplyFuzzReads,
                         ::testing::Values("TForm1", "TForm2", "TForm4", "TForm10", "TForm5",
                                           "TForm7"),
                         [](const auto &info) { return std::string(info.param); });

// The live values' poll of every window, one mutated reply per tick.
TEST(ReplyFuzz, LiveValuesOfEveryWindow)
{
    for (const FuzzWindow &kind : fuzzWindows()) {
        auto rig = makeRig(kind.name, kind.config);
        Fuzzer fuzzer(0x11FE0000u + static_cast<unsigned>(kind.name.size()), 4, -1);
        fuzzer.install(rig->line());
        fuzzer.setOn(false);
        rig->press("BtnP1");
        rig->press(kind.liveStart);
        rig->ticks(2);
        fuzzer.setOn(true);
        const auto started = std::chrono::steady_clock::now();
        fuzzWindow(*rig, fuzzer, TicksPerWindow, [&] {
            rig->ticks(1);
            rig->line().clearLog();
        });
        ASSERT_GT(fuzzer.mutated, TicksPerWindow / 2) << "the poll stopped";
        report(std::string("live values ") + qPrintable(kind.name), fuzzer, since(started));
    }
}

// Starts the first calibration point of a window: an input calibration point,
// or the first zero/span point of the module's table with rising values in
// the value fields.
void startFirstPoint(Rig &rig, const FuzzWindow &kind)
{
    rig.window().serviceModeChanged(true);
    rig.press("BtnP1");
    if (kind.calibration) {
        rig.press(qs(kind.calibration->front().start));
        return;
    }
    // The table of the module's model code.
    const ZeroSpanTable &table = *tableOfMode(*kind.zeroSpan, kind.config.model);
    const int n = static_cast<int>(table.points.size());
    for (int k = 0; k < n; ++k) {
        const ZeroSpanPoint &point = table.points[static_cast<std::size_t>(k)];
        if (point.fixed.empty())
            rig.leave(QString::fromStdString(point.value), QString::number(100 + 1000 * k));
    }
    rig.press(QString::fromStdString(table.points.front().set));
}

// The count poll of the first calibration point of every window.
TEST(ReplyFuzz, CalibrationCountsOfEveryWindow)
{
    for (const FuzzWindow &kind : fuzzWindows()) {
        auto rig = makeRig(kind.name, kind.config);
        Fuzzer fuzzer(0xC0C00000u + static_cast<unsigned>(kind.name.size()), 4, -1);
        fuzzer.install(rig->line());
        fuzzer.setOn(false);
        startFirstPoint(*rig, kind);
        rig->ticks(2);
        fuzzer.setOn(true);
        const auto started = std::chrono::steady_clock::now();
        fuzzWindow(*rig, fuzzer, CountTicksPerWindow, [&] {
            rig->ticks(1);
            rig->line().clearLog();
        });
        ASSERT_GT(fuzzer.mutated, CountTicksPerWindow / 2) << "the poll stopped";
        report(std::string("calibration counts ") + qPrintable(kind.name), fuzzer, since(started));
    }
}

// The scan's identification: the information block read from address 1 decides
// the family, the version and the serial number only when the reply is sound.
TEST(ReplyFuzz, ScanIdentification)
{
    auto rig = makeRig("TForm1", fuzzWindows().front().config);
    Fuzzer fuzzer(0x1D000001u, 4, InfoBlockRegister);
    fuzzer.install(rig->line());
    Link &link = rig->link();
    const StateWords clean = stateWords(link);
    const auto started = std::chrono::steady_clock::now();
    long identified = 0;
    for (int i = 0; i < Exchanges; ++i) {
        link.ComBuf[cb::DevFamily] = 0;
        link.ComBuf[cb::DevVer] = -1;
        link.ComBuf[cb::DevModel] = -1;
        link.SerialNo = 1;
        StateWords before = stateWords(link);
        const long sound = fuzzer.sound;
        rig->scan().GetSerialN(1);
        rig->line().clearLog();
        const StateWords after = stateWords(link);
        if (fuzzer.sound == sound) {
            ASSERT_EQ(after, before) << "reply " << i;
            ASSERT_EQ(link.SerialNo, 1u) << "reply " << i;
        } else if (link.ComBuf[cb::DevFamily] != 0) {
            ++identified;
            ASSERT_EQ(link.ComBuf[cb::DevVer], link.ComBuf[24] & 0xFF) << "reply " << i;
        }
    }
    EXPECT_EQ(stateWords(link)[cb::ComNo - cb::ReplyLast - 1],
              clean[cb::ComNo - cb::ReplyLast - 1]);
    EXPECT_GT(identified, 0);
    report("identification (scan)", fuzzer, since(started));
}

// Drives a chain of model steps on a bare link to its end, its named timer
// passing on the line's clock.
void runToEnd(ChainRunner &runner, SimulatedLine &line)
{
    while (runner.isRunning()) {
        if (runner.continuing()) {
            runner.continueNow();
        } else if (QTimer *timer = runner.awaitedTimer()) {
            line.wait(timer->interval());
            runner.timerFired(timer);
        } else {
            break;
        }
    }
}

struct BareLine
{
    explicit BareLine(const ModuleConfig &config)
        : module(SimModule::create(config))
    {
        auto owned = std::make_unique<SimulatedLine>(module.get());
        line = owned.get();
        link = std::make_unique<Link>(std::move(owned));
        link->traffic().setEnabled(false);
        link->ComBuf[cb::ComNo] = 1;
        link->ComBuf[cb::DevAddr] = static_cast<std::int16_t>(config.address);
        link->OpenCom(0, config.baudCode);
    }
    std::unique_ptr<SimModule> module;
    SimulatedLine *line = nullptr;
    std::unique_ptr<Link> link;
};

// The first read of every window: only a sound information block reaches
// the window's judgement, decoded byte for byte.
TEST(ReplyFuzz, InformationBlockRead)
{
    BareLine bare({2, 32, 9, 703070001, 1, 2});
    Fuzzer fuzzer(0x1F000002u, 4, InfoBlockRegister);
    fuzzer.install(*bare.line);
    ChainRunner runner(*bare.link);
    const StateWords clean = stateWords(*bare.link);
    const auto started = std::chrono::steady_clock::now();
    for (int i = 0; i < Exchanges; ++i) {
        const long sound = fuzzer.sound;
        std::optional<InfoBlock> judged;
        RequestChain chain;
        appendInfoRead(chain, *bare.link, [&judged](const InfoBlock &info) {
            judged = info;
            return true;
        });
        bool ok = false;
        runner.start(std::move(chain), [&ok](bool passed) { ok = passed; });
        runToEnd(runner, *bare.line);
        bare.line->clearLog();
        ASSERT_EQ(judged.has_value(), fuzzer.sound != sound) << "reply " << i;
        ASSERT_EQ(ok, judged.has_value()) << "reply " << i;
        if (judged) {
            const std::vector<std::uint8_t> &frame = bare.link->lastFrame();
            ASSERT_EQ(judged->model, frame[3]);
            ASSERT_EQ(judged->version, frame[4]);
            ASSERT_EQ(judged->serial, static_cast<std::uint32_t>(frame[7] << 24 | frame[8] << 16 |
                                                                 frame[9] << 8 | frame[10]));
        }
        ASSERT_EQ(stateWords(*bare.link), clean) << "reply " << i;
    }
    report("information block (read chain)", fuzzer, since(started));
}

// The storing result after a configuration write: stored only for a sound
// reply whose low byte is 0.
TEST(ReplyFuzz, StoringResult)
{
    BareLine bare({1, 1, 9, 703070001, 1, 2});
    Fuzzer fuzzer(0x57000003u, 4, StoreResultRegister);
    fuzzer.install(*bare.line);
    ChainRunner runner(*bare.link);
    QTimer timer;
    timer.setInterval(2000);
    const StateWords clean = stateWords(*bare.link);
    const auto started = std::chrono::steady_clock::now();
    long stored = 0;
    for (int i = 0; i < Exchanges; ++i) {
        const long sound = fuzzer.sound;
        std::optional<bool> result;
        RequestChain chain;
        appendStoringCheck(chain, *bare.link, &timer, [&result](bool ok) { result = ok; });
        runner.start(std::move(chain), [](bool) {});
        runToEnd(runner, *bare.line);
        bare.line->clearLog();
        ASSERT_TRUE(result.has_value()) << "reply " << i;
        if (*result) {
            ++stored;
            ASSERT_NE(fuzzer.sound, sound) << "unsound reply " << i << " counted as stored";
            ASSERT_EQ(bare.link->lastFrame()[4], 0) << "reply " << i;
        }
        ASSERT_EQ(stateWords(*bare.link), clean) << "reply " << i;
    }
    EXPECT_GT(stored, 0);
    report("storing result", fuzzer, since(started));
}

} // namespace
