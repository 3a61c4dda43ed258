#pragma once

// The two resistance transmitter windows attached through a simulated line to
// a simulated resistance transmitter, as the scan leaves them: address 1,
// 19200 baud, a module of the window's versions.
#include "compact_window.h"
#include "resistance_window.h"
#include "window_fixture.h"
#include "zero_span_calibration.h"
#include "zero_span_dialog.h"

#include <QScrollBar>
#include <QTabWidget>

// What a test needs to know of each window's modules.
template<class Window>
struct Variant;

template<>
struct Variant<TForm4>
{
    static constexpr int version = 5;
    static constexpr int otherVersion = 4; // a compact module
    static constexpr int model = 7;
    static constexpr int otherModel = 8;
    static constexpr int block = 36;
    static constexpr int bound = 1500;
};

template<>
struct Variant<TForm10>
{
    static constexpr int version = 3;
    static constexpr int otherVersion = 5;
    static constexpr int model = 6;
    static constexpr int otherModel = 7; // no 25-point mode on a compact module
    static constexpr int block = 30;
    static constexpr int bound = 50;
};

template<class Window>
struct ResistanceFixture : FamilyFixture<Window>
{
    using V = Variant<Window>;

    // The confirmation dialog the program shares between both windows.
    std::unique_ptr<TForm6> dialog;

    void SetUp() override
    {
        FamilyFixture<Window>::SetUp();
        dialog = std::make_unique<TForm6>();
        this->form->setConfirmation(dialog.get());
    }

    void TearDown() override
    {
        FamilyFixture<Window>::TearDown();
        dialog.reset();
    }

    void attachModule(int version = V::version, int model = V::model)
    {
        FamilyFixture<Window>::attach(version, model);
    }

    // A button pressed (nothing happens when it is disabled), and the chain it starts.
    void click(const char *name)
    {
        this->template child<QPushButton>(name)->click();
        this->runChain();
    }

    // A value typed into a field, which is then left.
    void leave(const char *name, const QString &text)
    {
        auto *field = this->template child<ExitEdit>(name);
        field->setText(text);
        emit field->exited();
    }

    ZeroSpanCalibration &zeroSpan() { return this->form->zeroSpan(); }

    // The command buttons that BtnAllOFF and BtnAllON switch (the trim
    // controls follow them through the trim binding).
    bool commandsEnabled(bool enabled) const
    {
        for (const char *name : {"BtnP1", "BtnP2", "Btn71", "Btn72", "Button1"})
            if (this->enabled(name) != enabled)
                return false;
        return true;
    }
};
