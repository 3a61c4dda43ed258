#include "distributor_trim.h"

#include "distributor_registers.h"
#include "trim_binding.h"
#include "trim_step.h"

TrimBinding *makeDistributorTrim(ActivityOwner &owner, int commandRegister,
                                 const DistributorTrimControls &controls)
{
    auto *trim =
        new TrimBinding(owner, {.commandRegister = commandRegister, .drainOnScroll = true});
    for (std::size_t i = 0; i < 4; ++i) {
        TrimPoint point;
        point.reg = DistributorTrimCounts[i];
        point.code = TrimHoldCodes[i];
        point.count = controls.counts[i];
        point.bar = controls.bars[i];
        point.upDown = controls.upDowns[i];
        point.selector = controls.selectors[i];
        point.drainOnStep = i < 2;
        trim->addPoint(point);
    }
    trim->addNormal({.code = TrimNormalCodes[0], .selector = controls.normals[0]});
    trim->addNormal({.code = TrimNormalCodes[1], .selector = controls.normals[1]});
    return trim;
}
