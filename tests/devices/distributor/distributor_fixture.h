#pragma once

// The universal distributor window attached through a simulated line to a
// simulated universal distributor, as the scan leaves them: port open at
// 19200 baud, address 1.
#include "universal_distributor_window.h"
#include "window_fixture.h"

using DistributorFixture = FamilyFixture<TForm5>;
