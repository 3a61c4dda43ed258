#pragma once

// The universal distributor window attached through a simulated line to a
// simulated universal distributor, as the scan leaves them: port open at
// 19200 baud, address 1.
#include "universal_distributor_window.h"
#include "window_fixture.h"

struct DistributorFixture : WindowFixture<TForm5>
{
    // A universal distributor found by the scan, its version known.
    void attach(int version = 3, int model = 49)
    {
        WindowFixture::attach({4, model, version, 703070001, 1, 2});
    }

    void read()
    {
        form->BtnP1Click();
        runChain();
    }

    void write()
    {
        form->BtnP2Click();
        runChain();
    }

    RadioGroup *group(const char *name) const { return child<RadioGroup>(name); }
};
