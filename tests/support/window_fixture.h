#pragma once

// A family window attached through a simulated line to a simulated module, as
// the scan leaves them. Chains are driven by hand on the line's virtual clock:
// a named timer's interval passes on the clock, then its handler runs; a
// continuation runs at once. Every handler call is timed on the clock, so a
// test can ask for the longest time the window held the event loop.
#include "activation_tracker.h"
#include "application.h"
#include "device_enumerator.h"
#include "device_window.h"
#include "exit_edit.h"
#include "family_windows.h"
#include "link.h"
#include "message_sink.h"
#include "print_qstring.h"
#include "radio_group.h"
#include "scan_window.h"
#include "sim_module.h"
#include "simulated_line.h"
#include "status_label.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

struct NoDevices : DeviceEnumerator
{
    Enumeration enumerate() override { return {}; }
};

using Requests = std::vector<std::tuple<int, int, int>>;

template<class Window>
struct WindowFixture : ::testing::Test
{
    SimulatedLine *line = nullptr;
    std::unique_ptr<Link> link;
    std::unique_ptr<TForm3> scan;
    std::unique_ptr<Window> form;
    std::unique_ptr<SimModule> module;
    std::vector<QString> errors;       // texts of the standard error box
    std::vector<std::string> messages; // texts of message boxes
    std::int64_t longestStallMs = 0;   // longest handler call, on the virtual clock
    // Collisions a test provokes on purpose; any other fails it.
    int expectedCollisions = 0;

    void SetUp() override
    {
        setMessageSink([this](const std::string &text) { messages.push_back(text); });
        Application::setErrorHook([this](const QString &text) { errors.push_back(text); });
        auto ownedLine = std::make_unique<SimulatedLine>();
        line = ownedLine.get();
        link = std::make_unique<Link>(std::move(ownedLine));
        scan = std::make_unique<TForm3>(*link, std::make_unique<NoDevices>());
        form = std::make_unique<Window>(*link, *scan);
        TForm3::FamilyWindows windows;
        const QString name = form->objectName();
        QWidget *window = form.get();
        (name == "TForm1"    ? windows.converter
         : name == "TForm2"  ? windows.transmitter
         : name == "TForm4"  ? windows.resistance
         : name == "TForm10" ? windows.compact
         : name == "TForm5"  ? windows.distributor
                             : windows.vmaDistributor) = window;
        scan->setFamilyWindows(windows);
    }

    void TearDown() override
    {
        EXPECT_EQ(line->collisions(), expectedCollisions) << "requests collided on the line";
        form.reset();
        setMessageSink(nullptr);
        Application::setErrorHook(nullptr);
    }

    // A module found by the scan, the port open at its rate and address.
    void attach(const ModuleConfig &config)
    {
        module = SimModule::create(config);
        line->setModule(module.get());
        link->ComBuf[cb::ComNo] = 1;
        link->ComBuf[cb::DevAddr] = static_cast<std::int16_t>(config.address);
        link->ComBuf[cb::DevFamily] = static_cast<std::int16_t>(config.family);
        link->ComBuf[cb::DevVer] = static_cast<std::int16_t>(config.version);
        link->ComBuf[cb::DevModel] = static_cast<std::int16_t>(config.model);
        link->SerialNo = config.serial;
        link->OpenCom(0, config.baudCode);
    }

    void configure(std::initializer_list<std::pair<int, int>> registers)
    {
        for (const auto &[reg, value] : registers)
            module->setHolding(reg, value & 0xFFFF);
    }

    // Times one handler call on the virtual clock.
    template<class Call>
    void timed(Call call)
    {
        const std::int64_t start = line->clockMs();
        call();
        longestStallMs = std::max(longestStallMs, line->clockMs() - start);
    }

    // A named timer's interval passes, then its handler runs.
    void fire(QTimer *timer)
    {
        line->wait(timer->interval());
        timed([&] { form->fireTimer(timer); });
    }

    // Runs the window's chain until it has ended (or waits on a timer that no
    // chain step awaits, such as a poll's).
    void runChain(int limit = 10000)
    {
        ChainRunner &chain = form->chain();
        for (int i = 0; i < limit && chain.isRunning(); ++i) {
            if (chain.continuing())
                timed([&] { chain.continueNow(); });
            else if (QTimer *timer = chain.awaitedTimer())
                fire(timer);
            else
                break;
        }
    }

    // n ticks of a periodic timer (a poll).
    void tick(QTimer *timer, int n = 1)
    {
        for (int i = 0; i < n; ++i)
            fire(timer);
    }

    template<class T>
    T *child(const char *name) const
    {
        T *control = form->template findChild<T *>(name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    QString text(const char *name) const
    {
        if (auto *edit = form->template findChild<QLineEdit *>(name))
            return edit->text();
        return child<QLabel>(name)->text();
    }
    void setText(const char *name, const QString &value) { child<QLineEdit>(name)->setText(value); }
    StatusLabel *status() const { return form->statusLabel(); }
    bool enabled(const char *name) const { return child<QWidget>(name)->isEnabled(); }
    // A button clicked, then the chain it started run to its end.
    void press(const char *button)
    {
        child<QAbstractButton>(button)->click();
        runChain();
    }

    // Requests logged since the last clearLog(), as (function, register, value).
    Requests requests() const
    {
        Requests out;
        for (const LoggedRequest &r : line->log())
            out.emplace_back(r.function, r.reg, r.value);
        return out;
    }
};

// One family window on the module it serves, as the scan leaves them (the
// row of familyWindows()), with "Read From Device" and "Write To Device".
template<class Window>
struct FamilyFixture : WindowFixture<Window>
{
    static ModuleConfig moduleOf(int version, int model)
    {
        ModuleConfig config = familyWindow(windowName<Window>).module;
        config.version = version;
        config.model = model;
        return config;
    }
    // The module found by the scan, its model code and version known.
    void attach(int version = familyWindow(windowName<Window>).module.version,
                int model = familyWindow(windowName<Window>).module.model)
    {
        WindowFixture<Window>::attach(moduleOf(version, model));
    }

    // Runs the chain's continuations until it waits for a named timer or ends.
    void settle()
    {
        while (this->form->chain().continuing())
            this->timed([&] { this->form->chain().continueNow(); });
    }
    // "Read From Device" and its chain.
    void read()
    {
        this->form->BtnP1Click();
        this->runChain();
    }
    // "Write To Device" and its chain, if it started.
    void write()
    {
        this->form->BtnP2Click();
        this->runChain();
    }

    RadioGroup *group(const char *name) const { return this->template child<RadioGroup>(name); }
    bool red(const char *name) const { return this->template child<ExitEdit>(name)->isRed(); }
};
