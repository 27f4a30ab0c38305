#pragma once

#include "desk/Angle.h"
#include "gaze/FaceObservation.h"

#include <optional>

namespace helm {

// Turns where the pupils sit inside the eyes into an eye angle in degrees, smoothed from frame
// to frame so that landmark jitter does not shake the gaze.
class EyeReader {
public:
    // The smoothed eye angle of this face, or the last one when this frame's eyes are
    // unreadable (which may be nothing).
    std::optional<Angle> read(const FaceObservation& face);

    // Forgets the smoothing, so the next face starts afresh.
    void reset() { smooth.reset(); }

    const std::optional<Angle>& smoothed() const { return smooth; }

private:
    std::optional<Angle> smooth;
};

} // namespace helm
