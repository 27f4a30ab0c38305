#pragma once

#include "desk/Angle.h"

#include <optional>

namespace helm {

// Decides which camera frames are worth reading: a slow pace while the head is still, a fast
// one for a moment after it moves, so detection cost follows how much is happening.
struct FrameGovernor {
    double restHz = 15;
    double burstHz = 60;
    double burstFor = 0.3;
    double moveDeg = 1.5;
    double burstUntil = 0;

    FrameGovernor() = default;
    FrameGovernor(double restHz, double burstHz = 60, double burstFor = 0.3, double moveDeg = 1.5)
        : restHz(restHz), burstHz(burstHz), burstFor(burstFor), moveDeg(moveDeg) {}

    // True when the frame at time t (seconds) should be read; admitting it restarts the interval.
    bool shouldRun(double t);

    // Tells the pacer the head angle of the frame just read (absent when no head was found).
    void saw(const std::optional<Angle>& angle, double t);

private:
    std::optional<Angle> last;
    double lastRun = -1e9;
};

} // namespace helm
