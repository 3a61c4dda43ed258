#pragma once

// The converter window attached through a simulated line to a simulated
// converter, as the scan leaves them: port open at 19200 baud, address 1.
#include "converter_window.h"
#include "window_fixture.h"

using ConverterFixture = FamilyFixture<TForm1>;
