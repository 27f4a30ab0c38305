#pragma once

#include <array>
#include <optional>

namespace helm {

// Head yaw and pitch from six facial landmarks, by fitting a generic 3-D face to them.
class PoseSolver {
public:
    // Image points in pixels (origin top left, y down), in this order: nose tip, chin, outer
    // corner of the eye on the image's left, outer corner of the eye on the image's right,
    // mouth corner on the image's left, mouth corner on the image's right.
    using Points = std::array<std::array<double, 2>, 6>;

    struct Pose {
        double yaw = 0;   // radians, grows as the user turns towards their right
        double pitch = 0; // radians, grows as the user looks down
        // The fitted placement of the generic face (axis-angle rotation, translation in mm),
        // from which the next frame's fit can start.
        std::array<double, 3> rotation{};
        std::array<double, 3> translation{};
    };

    // hFov is the camera's horizontal field of view in radians; the focal length follows from it
    // and the image width, the principal point is the image centre.
    PoseSolver(int width, int height, double hFov);

    // start: the previous frame's pose of the same face, if any. Starting from it keeps the fit
    // in the same solution from frame to frame instead of hopping between nearby ones.
    std::optional<Pose> solve(const Points& image,
                              const std::optional<Pose>& start = std::nullopt) const;

    // The generic face (millimetres, x towards the image's right, y up, z out of the face), in
    // the order of Points. Exposed so tests can project it.
    static const std::array<std::array<double, 3>, 6>& model();
    double focal() const { return focal_; }

private:
    int width_;
    int height_;
    double focal_;
};

} // namespace helm
