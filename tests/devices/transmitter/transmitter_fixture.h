#pragma once

// The transmitter window attached through a simulated line to a simulated
// transmitter, as the scan leaves them: port open at 19200 baud, address 1.
#include "transmitter_window.h"
#include "window_fixture.h"

using TransmitterFixture = FamilyFixture<TForm2>;
