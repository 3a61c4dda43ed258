#pragma once

// The V/mA range distributor window attached through a simulated line to a
// simulated range distributor, as the scan leaves them: address 1, 19200 baud.
#include "vma_distributor_window.h"
#include "window_fixture.h"

struct VmaFixture : WindowFixture<TForm7>
{
    void attach(int version = 3, int model = 50)
    {
        WindowFixture::attach({5, model, version, 703070001, 1, 2});
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
    bool red(const char *name) const { return child<ExitEdit>(name)->isRed(); }
};
