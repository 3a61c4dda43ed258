#pragma once

#include "resistance_base.h"

// The window of the resistance transmitter with version index 5 or more
// (family 3, model codes 3..7, the model code being its calibration mode):
// reads the configuration block of 36 registers and writes output direction,
// offset (within ±1500) and sensor-break signal; the module's storing result
// ends the write.
class TForm4 : public ResistanceBase
{
    Q_OBJECT

public:
    TForm4(Link &link, TForm3 &scan);
    ~TForm4() override;
};
