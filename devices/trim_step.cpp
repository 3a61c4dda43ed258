#include "trim_step.h"

#include <algorithm>

int trimStep(int count, StepDirection direction)
{
    if (direction == StepDirection::Up)
        StepUp = true;
    else if (direction == StepDirection::Down)
        StepUp = false;
    const int stepped = std::clamp(count, 0, TrimCountMax) + (StepUp ? 1 : -1);
    StepValue = static_cast<std::int16_t>(std::clamp(stepped, 0, TrimCountMax));
    return StepValue;
}
