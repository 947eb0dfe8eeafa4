// The ammunition bar's rule, shared by a shot and by the options dialog's OK.
#pragma once

#include <cmath>

namespace gombocok {

// The width of the ammunition bar `width` after one step: the share of the full width `teljes`
// that one of the `loszer` rounds left stands for, floored; no rounds left, or a step not
// shorter than what is left, empties it. So the bar empties before the rounds do.
inline float ammunitionBarAfterStep(float width, int teljes, int loszer) {
    if (loszer == 0) return 0;
    const double step = static_cast<double>(teljes) / loszer;
    return width > step ? static_cast<float>(std::floor(width - step)) : 0.0f;
}

}  // namespace gombocok
