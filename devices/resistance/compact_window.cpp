#include "compact_window.h"

TForm10::TForm10(Link &link, TForm3 &scan)
    : ResistanceBase("TForm10", CompactResistanceTransmitter, compactZeroSpan(), link, scan)
{}

TForm10::~TForm10() = default;
