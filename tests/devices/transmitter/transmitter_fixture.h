#pragma once

// The transmitter window attached through a simulated line to a simulated
// transmitter, as the scan leaves them: port open at 19200 baud, address 1.
#include "transmitter_window.h"
#include "window_fixture.h"

struct TransmitterFixture : WindowFixture<TForm2>
{
    // A transmitter found by the scan, its model code and version known.
    void attach(int version = 9, int model = 1)
    {
        WindowFixture::attach({1, model, version, 703070001, 1, 2});
    }

    // Runs the chain's continuations until it waits for a named timer or ends.
    void settle()
    {
        while (form->chain().continuing())
            timed([&] { form->chain().continueNow(); });
    }

    // "Read From Device" and its chain.
    void read()
    {
        form->BtnP1Click();
        runChain();
    }

    // "Write To Device" and its chain, if it started.
    void write()
    {
        form->BtnP2Click();
        runChain();
    }

    RadioGroup *group(const char *name) const { return child<RadioGroup>(name); }
};
