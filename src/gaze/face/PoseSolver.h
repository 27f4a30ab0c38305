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
        // The points fitted, and how far the fitted face lands from them: root mean square, in
        // pixels.
        Points image{};
        double error = 0;
    };

    // hFov is the camera's horizontal field of view in radians; the focal length follows from it
    // and the image width, the principal point is the image centre.
    PoseSolver(int width, int height, double hFov);

    // start: the previous frame's pose of the same face, if any. Starting from it keeps the fit
    // in the same solution from frame to frame instead of hopping between nearby ones; when
    // that fit is poor or the face moved far, a fresh fit is made too and the closer one kept,
    // so a start from a pose the face has left never holds it there.
    std::optional<Pose> solve(const Points& image,
                              const std::optional<Pose>& start = std::nullopt) const;

    // The generic face (millimetres, x towards the image's right, y up, z out of the face), in
    // the order of Points.
    static const std::array<std::array<double, 3>, 6>& model();
    // The placement of the generic face at `at` (camera coordinates: x right, y down, z away,
    // millimetres) that reads as yaw and pitch (radians), and where its points land in the
    // image.
    static Pose placed(double yaw, double pitch, const std::array<double, 3>& at);
    Points project(const Pose& pose) const;
    double focal() const { return focal_; }

    // A fit whose points land farther off than this share of the face's width is doubted.
    static constexpr double poorFit = 0.03;
    // Landmarks that moved by more than this share of the face's width since the start were
    // not one frame of a steady turn.
    static constexpr double farMove = 0.15;

private:
    int width_;
    int height_;
    double focal_;

    std::optional<Pose> fit(const Points& image, const std::optional<Pose>& start) const;
};

} // namespace helm
