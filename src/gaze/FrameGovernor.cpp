#include "gaze/FrameGovernor.h"

#include <cmath>

namespace helm {

bool FrameGovernor::shouldRun(double t) {
    double hz = t < burstUntil ? burstHz : restHz;
    // A little slack, so frames arriving at exactly the target rate are not skipped by jitter.
    double interval = 1.0 / hz - 0.002;
    if (t - lastRun >= interval) {
        lastRun = t;
        return true;
    }
    return false;
}

void FrameGovernor::saw(const std::optional<Angle>& angle, double t) {
    if (angle && last) {
        double moved = std::abs(angle->yaw - last->yaw) + std::abs(angle->pitch - last->pitch);
        if (moved > moveDeg) {
            burstUntil = t + burstFor;
        }
    }
    // Also when absent: the first head after a frame without one has nothing to compare with.
    last = angle;
}

} // namespace helm
