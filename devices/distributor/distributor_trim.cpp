#include "distributor_trim.h"

#include "trim_binding.h"

TrimBinding *makeDistributorTrim(ActivityOwner &owner, int commandRegister,
                                 const DistributorTrimControls &controls)
{
    auto *trim = new TrimBinding(owner, {commandRegister, false, true});
    for (std::size_t i = 0; i < 4; ++i) {
        TrimPoint point;
        point.reg = 10 + static_cast<int>(i);
        point.code = 27 + static_cast<int>(i);
        point.count = controls.counts[i];
        point.bar = controls.bars[i];
        point.upDown = controls.upDowns[i];
        point.selector = controls.selectors[i];
        point.drainOnStep = i < 2;
        trim->addPoint(point);
    }
    trim->addNormal({31, controls.normals[0], nullptr});
    trim->addNormal({32, controls.normals[1], nullptr});
    return trim;
}
