#pragma once

// Any family window of the program on its own simulated module, behind one
// interface: the program-wide tests walk tables of rows that name a window
// by its class name, and each row gets a fresh rig. Built on WindowFixture,
// so a window is attached, driven and timed exactly as in its own tests.
#include "compact_window.h"
#include "converter_window.h"
#include "resistance_window.h"
#include "transmitter_window.h"
#include "universal_distributor_window.h"
#include "vma_distributor_window.h"
#include "window_fixture.h"
#include "zero_span_dialog.h"

#include <QAbstractButton>

#include <functional>
#include <memory>
#include <string_view>
#include <type_traits>

class Rig
{
public:
    virtual ~Rig() = default;

    virtual DeviceWindow &window() = 0;
    virtual SimulatedLine &line() = 0;
    virtual Link &link() = 0;
    virtual SimModule &module() = 0;
    virtual TForm3 &scan() = 0;
    // The zero/span confirmation dialog of the resistance windows, else nullptr.
    virtual TForm6 *dialog() = 0;
    virtual std::vector<QString> &errors() = 0;
    virtual std::vector<std::string> &messages() = 0;
    // The module replaced by a fresh one, the line plugged in again and
    // reopened, the window's work stopped (Scan > Start), as if the window
    // were attached anew.
    virtual void reattach(const ModuleConfig &config) = 0;
    // Drives the window's chain to its end (WindowFixture::runChain).
    virtual void runChain() = 0;
    // A named timer's interval passes, then its handler runs.
    virtual void fire(QTimer *timer) = 0;

    // An exception that leaves a handler goes to the application's error box,
    // as Application::notify sends it there in the program.
    template<class Call>
    void handled(Call call)
    {
        try {
            call();
        } catch (const std::exception &error) {
            Application::showException(error);
        }
    }

    // Set when the operator gave the work up through Scan > Start.
    bool leftThroughScan = false;

    template<class T>
    T *find(const QString &name)
    {
        return window().findChild<T *>(name);
    }
    QTimer *timer(const QString &name) { return find<QTimer>(name); }
    // Requests logged since the last clearLog(), as (function, register, value).
    Requests requests()
    {
        Requests out;
        for (const LoggedRequest &r : line().log())
            out.emplace_back(r.function, r.reg, r.value);
        return out;
    }

    // The button clicked as the operator clicks it (a disabled one does
    // nothing), then the chain it started run to its end; a confirmation
    // the click raised is answered "Yes".
    void press(const QString &name)
    {
        auto *button = find<QAbstractButton>(name);
        EXPECT_NE(button, nullptr) << name.toStdString();
        if (button)
            handled([&] { button->click(); });
        settle();
    }
    void settle()
    {
        handled([&] { runChain(); });
        if (TForm6 *confirmation = dialog(); confirmation && confirmation->isVisible()) {
            handled([&] { confirmation->Button1Click(); });
            handled([&] { runChain(); });
        }
    }
    // n ticks of every repeating timer that runs and no chain step awaits
    // (the polls), each followed by the chains it started.
    void ticks(int n)
    {
        for (int i = 0; i < n; ++i) {
            for (QTimer *t : window().timers())
                if (t->isActive() && t != window().chain().awaitedTimer())
                    handled([&] { fire(t); });
            settle();
        }
    }
    // Every timer that still runs ticks until it stops (a progress bar, the
    // result labels), at most `limit` rounds.
    void runTimersOut(int limit = 400)
    {
        for (int i = 0; i < limit; ++i) {
            bool any = false;
            for (QTimer *t : window().timers())
                if (t->isActive()) {
                    any = true;
                    handled([&] { fire(t); });
                }
            settle();
            if (!any)
                return;
        }
    }
    // Text typed into a field, which is then left.
    void leave(const QString &name, const QString &text)
    {
        auto *field = find<ExitEdit>(name);
        EXPECT_NE(field, nullptr) << name.toStdString();
        if (!field)
            return;
        field->setText(text);
        handled([&] { emit field->exited(); });
    }
};

template<class W>
class RigOf final
    : public Rig
    , public WindowFixture<W>
{
public:
    explicit RigOf(const ModuleConfig &config)
    {
        WindowFixture<W>::SetUp();
        if constexpr (std::is_base_of_v<ResistanceBase, W>) {
            m_dialog = std::make_unique<TForm6>();
            this->form->setConfirmation(m_dialog.get());
            // The dialog answers only a window that is shown; shown without
            // becoming active, it does not read the module on its own.
            this->form->setAttribute(Qt::WA_ShowWithoutActivating);
            this->form->show();
        }
        this->attach(config);
    }
    ~RigOf() override
    {
        WindowFixture<W>::TearDown();
        m_dialog.reset();
    }

    void TestBody() override {}

    DeviceWindow &window() override { return *this->form; }
    SimulatedLine &line() override { return *WindowFixture<W>::line; }
    Link &link() override { return *WindowFixture<W>::link; }
    SimModule &module() override { return *WindowFixture<W>::module; }
    TForm3 &scan() override { return *WindowFixture<W>::scan; }
    TForm6 *dialog() override { return m_dialog.get(); }
    std::vector<QString> &errors() override { return WindowFixture<W>::errors; }
    std::vector<std::string> &messages() override { return WindowFixture<W>::messages; }
    void reattach(const ModuleConfig &config) override
    {
        handled([&] { this->form->stopWork(); });
        SimulatedLine &wire = *WindowFixture<W>::line;
        wire.setPulled(false);
        link().CloseCom();
        for (int i = cb::Reply; i <= cb::ReplyLast; ++i)
            link().ComBuf[i] = 0;
        this->attach(config);
        wire.clearLog();
        WindowFixture<W>::errors.clear();
        WindowFixture<W>::messages.clear();
        leftThroughScan = false;
    }
    void runChain() override { WindowFixture<W>::runChain(); }
    void fire(QTimer *timer) override { WindowFixture<W>::fire(timer); }

private:
    std::unique_ptr<TForm6> m_dialog;
};

// A rig of the window with this class name ("TForm1".."TForm10") on a module
// of the given configuration.
inline std::unique_ptr<Rig> makeRig(const QString &window, const ModuleConfig &config)
{
    if (window == "TForm1")
        return std::make_unique<RigOf<TForm1>>(config);
    if (window == "TForm2")
        return std::make_unique<RigOf<TForm2>>(config);
    if (window == "TForm4")
        return std::make_unique<RigOf<TForm4>>(config);
    if (window == "TForm10")
        return std::make_unique<RigOf<TForm10>>(config);
    if (window == "TForm5")
        return std::make_unique<RigOf<TForm5>>(config);
    if (window == "TForm7")
        return std::make_unique<RigOf<TForm7>>(config);
    ADD_FAILURE() << "no window " << window.toStdString();
    return nullptr;
}

// A control name or text kept in the tables as UTF-8.
inline QString qs(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
