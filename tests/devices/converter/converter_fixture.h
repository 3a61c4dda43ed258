#pragma once

// The converter window attached through a simulated line to a simulated
// converter, as the scan leaves them: port open at 19200 baud, address 1.
#include "activation_tracker.h"
#include "application.h"
#include "converter_window.h"
#include "device_enumerator.h"
#include "exit_edit.h"
#include "link.h"
#include "message_sink.h"
#include "print_qstring.h"
#include "radio_group.h"
#include "scan_window.h"
#include "sim_module.h"
#include "simulated_line.h"
#include "status_label.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

struct NoDevices : DeviceEnumerator
{
    Enumeration enumerate() override { return {}; }
};

struct ConverterFixture : ::testing::Test
{
    SimulatedLine *line = nullptr;
    std::unique_ptr<Link> link;
    std::unique_ptr<TForm3> scan;
    std::unique_ptr<TForm1> form;
    std::unique_ptr<SimModule> module;
    std::vector<QString> errors;

    void SetUp() override
    {
        setMessageSink([](const std::string &) {});
        Application::setErrorHook([this](const QString &text) { errors.push_back(text); });
        auto ownedLine = std::make_unique<SimulatedLine>();
        line = ownedLine.get();
        link = std::make_unique<Link>(std::move(ownedLine));
        scan = std::make_unique<TForm3>(*link, std::make_unique<NoDevices>());
        form = std::make_unique<TForm1>(*link, *scan);
        scan->setFamilyWindows({nullptr, form.get(), nullptr, nullptr, nullptr, nullptr});
    }

    void TearDown() override
    {
        setMessageSink(nullptr);
        Application::setErrorHook(nullptr);
    }

    // A converter found by the scan: address 1, 19200 baud, its version known.
    void attach(int version = 9, int model = 32)
    {
        module = SimModule::create({2, model, version, 703070001, 1, 2});
        line->setModule(module.get());
        link->ComBuf[cb::ComNo] = 1;
        link->ComBuf[cb::DevAddr] = 1;
        link->ComBuf[cb::DevFamily] = 2;
        link->ComBuf[cb::DevVer] = static_cast<std::int16_t>(version);
        link->OpenCom(0, 2);
    }

    // Holding registers 0..23 of a module in Thermocouple K, deg C.
    void configure(std::initializer_list<std::pair<int, int>> registers)
    {
        for (const auto &[reg, value] : registers)
            module->setHolding(reg, value & 0xFFFF);
    }

    // "Read From Device" and the tick of its decode timer.
    void read()
    {
        form->BtnP1Click();
        ASSERT_TRUE(form->Timer4->isActive());
        form->Timer4Timer();
    }

    // "Write To Device" and the tick of its write timer, if it started.
    void write()
    {
        form->BtnP2Click();
        if (form->Timer1->isActive())
            form->Timer1Timer();
    }

    template<class T>
    T *child(const char *name) const
    {
        T *control = form->findChild<T *>(name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    QString text(const char *name) const
    {
        if (auto *edit = form->findChild<QLineEdit *>(name))
            return edit->text();
        return child<QLabel>(name)->text();
    }
    void setText(const char *name, const QString &value) { child<QLineEdit>(name)->setText(value); }
    StatusLabel *status() const { return child<StatusLabel>("Lab83"); }

    // Requests logged since the last clearLog(), as (function, register, value).
    std::vector<std::tuple<int, int, int>> requests() const
    {
        std::vector<std::tuple<int, int, int>> out;
        for (const LoggedRequest &r : line->log())
            out.emplace_back(r.function, r.reg, r.value);
        return out;
    }
};
