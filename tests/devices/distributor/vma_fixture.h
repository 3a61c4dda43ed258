#pragma once

// The V/mA range distributor window attached through a simulated line to a
// simulated range distributor, as the scan leaves them: address 1, 19200 baud.
#include "vma_distributor_window.h"
#include "window_fixture.h"

using VmaFixture = FamilyFixture<TForm7>;
