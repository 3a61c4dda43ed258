#pragma once

#include "resistance_base.h"

// The window of the compact resistance transmitter, version index 4 or less
// (family 3, model codes 3..6): reads the configuration block of 30 registers
// and writes output direction, offset (within ±50) and sensor-break signal;
// from version index 3 on the module's storing result ends the write.
class TForm10 : public ResistanceBase
{
    Q_OBJECT

public:
    TForm10(Link &link, TForm3 &scan);
    ~TForm10() override;
};
