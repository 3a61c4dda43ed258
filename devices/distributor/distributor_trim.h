#pragma once

#include <array>

class ActivityOwner;
class QAbstractButton;
class QLineEdit;
class ScrollBar;
class TrimBinding;
class UpDown;

// The output trim groups of both distributor windows, CH-1 then CH-2, each
// with its 0/4 mA and 20 mA points.
struct DistributorTrimControls
{
    std::array<QLineEdit *, 4> counts{};
    std::array<ScrollBar *, 4> bars{};
    std::array<UpDown *, 4> upDowns{};
    std::array<QAbstractButton *, 4> selectors{};
    std::array<QAbstractButton *, 2> normals{};
};

// The trim controls, which both distributor pages name alike but for the
// CH-2 up-downs.
template<class Page>
DistributorTrimControls distributorTrimControls(Page &ui, UpDown *ch2Low, UpDown *ch2High)
{
    return {{ui.Edit6, ui.Edit7, ui.Edit13, ui.Edit14},
            {ui.ScrollBar1, ui.ScrollBar2, ui.ScrollBar3, ui.ScrollBar4},
            {ui.UpDown9, ui.UpDown10, ch2Low, ch2High},
            {ui.RBtn1, ui.RBtn2, ui.RBtn4, ui.RBtn5},
            {ui.RBtn3, ui.RBtn6}};
}

// The distributors' output trim: counts in registers 10..13, codes 27..30
// for the points and 31/32 for "Normal" on the command register. The CH-1
// up-downs drain the line before their write, the CH-2 ones do not. A scroll
// bar drains once, before the write its release makes, never while it is
// dragged: each wait would hold the window for a reply time-out per position.
TrimBinding *makeDistributorTrim(ActivityOwner &owner, int commandRegister,
                                 const DistributorTrimControls &controls);
