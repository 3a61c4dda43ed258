#pragma once

// A scan window with stub family windows, attached to a simulated line.
#include "activation_tracker.h"
#include "application.h"
#include "device_enumerator.h"
#include "family_window.h"
#include "link.h"
#include "message_sink.h"
#include "print_qstring.h"
#include "scan_window.h"
#include "sim_module.h"
#include "simulated_line.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

struct FakeEnumerator : DeviceEnumerator
{
    std::vector<std::string> names;
    std::vector<DeniedDevice> denied;
    Enumeration::Failure failure = Enumeration::None;
    int calls = 0;

    Enumeration enumerate() override
    {
        ++calls;
        Enumeration result;
        result.names = names;
        result.denied = denied;
        result.failure = failure;
        result.code = 0x80041003;
        return result;
    }
};

struct StubWindow : FamilyWindow
{
    int activations = 0;
    int stops = 0;

    StubWindow(const QString &name, Link &link, TForm3 &scan)
        : FamilyWindow(name, link, scan)
    {}
    void FormActivate() override { ++activations; }
    void stopWork() override { ++stops; }
};

struct AppFixture : ::testing::Test
{
    SimulatedLine *line = nullptr;
    std::unique_ptr<Link> link;
    FakeEnumerator *enumerator = nullptr;
    std::unique_ptr<TForm3> scan;
    std::unique_ptr<StubWindow> form1, form2, form4, form5, form7, form10;
    std::unique_ptr<SimModule> module;
    std::vector<std::string> messages;
    std::vector<QString> errors;

    void SetUp() override
    {
        setMessageSink([this](const std::string &text) { messages.push_back(text); });
        Application::setErrorHook([this](const QString &text) { errors.push_back(text); });
        ActivationTracker::instance().reset();

        auto ownedLine = std::make_unique<SimulatedLine>();
        line = ownedLine.get();
        link = std::make_unique<Link>(std::move(ownedLine));
        auto ownedEnumerator = std::make_unique<FakeEnumerator>();
        enumerator = ownedEnumerator.get();
        enumerator->names = {"Communications Port (COM1)", "USB-to-Serial Comm Port (COM7)"};
        scan = std::make_unique<TForm3>(*link, std::move(ownedEnumerator));
        form1 = std::make_unique<StubWindow>("TForm1", *link, *scan);
        form2 = std::make_unique<StubWindow>("TForm2", *link, *scan);
        form4 = std::make_unique<StubWindow>("TForm4", *link, *scan);
        form5 = std::make_unique<StubWindow>("TForm5", *link, *scan);
        form7 = std::make_unique<StubWindow>("TForm7", *link, *scan);
        form10 = std::make_unique<StubWindow>("TForm10", *link, *scan);
        scan->setFamilyWindows(
            {form2.get(), form1.get(), form4.get(), form10.get(), form5.get(), form7.get()});
        scan->show();
        QApplication::processEvents();
    }

    void TearDown() override
    {
        EXPECT_EQ(line->collisions(), 0) << "requests collided on the line";
        setMessageSink(nullptr);
        Application::setErrorHook(nullptr);
    }

    void attach(const ModuleConfig &config)
    {
        module = SimModule::create(config);
        line->setModule(module.get());
    }

    // Start pressed, and the probe that the timer's first tick runs.
    void scanNow()
    {
        scan->Button1Click();
        if (scan->Timer1->isActive())
            scan->Timer1Timer();
        QApplication::processEvents();
    }

    std::vector<StubWindow *> familyWindows() const
    {
        return {form1.get(), form2.get(), form4.get(), form5.get(), form7.get(), form10.get()};
    }
    // The family window the scan handed over to, if any.
    StubWindow *shownWindow() const
    {
        StubWindow *shown = nullptr;
        for (StubWindow *window : familyWindows()) {
            if (window->isVisible()) {
                EXPECT_EQ(shown, nullptr) << "two family windows shown";
                shown = window;
            }
        }
        return shown;
    }
};
