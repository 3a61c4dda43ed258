#pragma once

#include "numtext.h"

#include <string>

// What a window shows when the input type or unit selection changes: unit
// captions, the maximal range fields, the offset bounds, the output range
// bounds and the captions of the two unit choices.
struct RangeDisplay
{
    // False for a temperature type with no unit chosen: the unit captions and
    // the maximal range fields are left as they are (unitCaption, lowText and
    // highText are then empty).
    bool showLimits = true;
    std::string unitCaption;      // "deg C", "deg F", "mV", "V" or "mA"
    std::string lowText;          // maximal lower limit, e.g. "-58" or "-60.00"
    std::string highText;         // maximal upper limit
    std::string offsetLowText;    // lower offset bound, e.g. "-127.8"
    std::string offsetHighText;   // upper offset bound, e.g. "+127.8"
    std::string outputBoundsText; // output measuring range bounds, e.g. "-3000.0~3000.0"
    std::string unitChoice0;      // caption of unit choice 0: "deg C", or "com +" for current
    std::string unitChoice1;      // caption of unit choice 1: "deg F", or "com -" for current
};

// The range display of an input type (0..12) under a unit selection (0, 1 or none).
RangeDisplay rangeDisplay(int type, int unit);
// The offset bound of a type and unit, exactly: 5 % of the maximal span in shown units.
Decimal offsetBound(int type, int unit);
// The offset bound as shown beside the offset fields, with the type's offset decimals.
std::int64_t shownOffsetBound(int type, int unit);
