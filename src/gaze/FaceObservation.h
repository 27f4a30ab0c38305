#pragma once

#include "gaze/Face.h"

#include <optional>
#include <vector>

namespace helm {

// A landmark point, normalised to the face's box (0 to 1 across it, origin bottom left).
struct Point2 {
    double x = 0;
    double y = 0;

    bool operator==(const Point2&) const = default;
};

// The eye outlines and pupils a landmark detector found for one face. A region is absent when
// the detector could not place it.
struct EyeLandmarks {
    std::optional<std::vector<Point2>> leftEye;
    std::optional<std::vector<Point2>> rightEye;
    std::optional<std::vector<Point2>> leftPupil;
    std::optional<std::vector<Point2>> rightPupil;
};

// What a face detector reports for one face in one frame. Every detector (the live camera's,
// a recording's, a test's script) hands these to readFrame, so all of them share one reading.
struct FaceObservation {
    Box box;
    double confidence = 0;
    // Radians, as detectors report them; the pitch is positive with the head down.
    std::optional<double> yaw;
    std::optional<double> pitch;
    // Absent when landmarks were not found (or not asked for: a detector may fill them only
    // for the face widestFace picks, since that is the only one read).
    std::optional<EyeLandmarks> landmarks;
};

} // namespace helm
