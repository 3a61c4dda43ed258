#include "resistance_window.h"

TForm4::TForm4(Link &link, TForm3 &scan)
    : ResistanceBase("TForm4", ResistanceTransmitter, resistanceZeroSpan(), link, scan)
{}

TForm4::~TForm4() = default;
