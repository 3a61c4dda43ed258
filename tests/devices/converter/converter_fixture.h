#pragma once

// The converter window attached through a simulated line to a simulated
// converter, as the scan leaves them: port open at 19200 baud, address 1.
#include "converter_window.h"
#include "window_fixture.h"

struct ConverterFixture : WindowFixture<TForm1>
{
    // A converter found by the scan: address 1, 19200 baud, its version known.
    void attach(int version = 9, int model = 32)
    {
        WindowFixture::attach({2, model, version, 703070001, 1, 2});
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
};
