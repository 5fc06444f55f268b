// The round step of a linear axis.
#pragma once

#include "../canvas/kurvo_export.h"

namespace kurvo {

/// Placement of the long and short ticks of a linear axis.
struct TNiceStep {
    double First = 0.0;  ///< first long tick, not more than 0.001 step before A
    double Step = 0.0;   ///< signed distance between long ticks; 0 for an empty range
    int S = 1;           ///< short-tick intervals per long step: 1, 4 or 5
};

/// Step for at least N long intervals over A ... B (N = 0: unit steps).
KURVO_EXPORT TNiceStep NiceStep(int N, double A, double B);

/// The double nearest to 10^exponent (0 below the denormals, +inf above the
/// largest double); unlike pow, exact for every exponent.
KURVO_EXPORT double PowerOfTen(int exponent);

}  // namespace kurvo
