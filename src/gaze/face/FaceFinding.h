#pragma once

#include <vector>

namespace helm {

// A point in the face box's own frame: 0…1 across, 0…1 up from the box's bottom edge.
struct FacePoint {
    double x = 0;
    double y = 0;
};

// A rectangle in normalised image coordinates, origin at the bottom left, y up.
struct FaceBox {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
};

// What the face reader finds of the user's face in one frame, in the coordinate conventions
// the gaze pipeline works in. Left and right are the user's own (the user's left eye shows on
// the right of an unmirrored camera image).
struct FaceFinding {
    FaceBox box;
    double confidence = 0;
    // Radians. Yaw grows as the user turns towards their right; pitch grows as the user looks
    // down (the pipeline negates it so that up is positive).
    double yaw = 0;
    double pitch = 0;
    bool hasPose = false;
    std::vector<FacePoint> leftEye;
    std::vector<FacePoint> rightEye;
    std::vector<FacePoint> leftPupil;
    std::vector<FacePoint> rightPupil;
};

} // namespace helm
