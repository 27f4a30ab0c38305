#pragma once

#include "desk/Angle.h"
#include "desk/V3.h"
#include "gaze/Face.h"

#include <numbers>

namespace helm {

// The head model: where the head is, from the face box, and where a head angle points.
struct Head {
    // Assumed real width of a face, cm.
    static constexpr double faceWidthCm = 15;
    // The camera's horizontal field of view, radians.
    static constexpr double hFov = 65 * std::numbers::pi / 180;
    // The camera image's width / height.
    static constexpr double aspect = 4.0 / 3.0;

    // The head's position in cm in the camera frame, from its box in the image.
    static V3 position(const Box& box);

    // The unit gaze direction from a head position. The bias is the head angle held while
    // looking at the camera, so an angle equal to it points at the camera.
    static V3 direction(const V3& from, const Angle& angle, const Angle& bias, double rightSign);

    // The angle between two directions in degrees.
    static double degrees(const V3& a, const V3& b);
};

} // namespace helm
