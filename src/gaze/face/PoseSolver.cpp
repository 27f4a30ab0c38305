#include "gaze/face/PoseSolver.h"

#include <opencv2/calib3d.hpp>

#include <cmath>

namespace helm {

PoseSolver::PoseSolver(int width, int height, double hFov)
    : width_(width), height_(height), focal_(width / 2.0 / std::tan(hFov / 2)) {}

const std::array<std::array<double, 3>, 6>& PoseSolver::model() {
    // An average adult face; only the proportions matter for the angles.
    static const std::array<std::array<double, 3>, 6> points{{
        {0.0, 0.0, 0.0},
        {0.0, -330.0, -65.0},
        {-225.0, 170.0, -135.0},
        {225.0, 170.0, -135.0},
        {-150.0, -150.0, -125.0},
        {150.0, -150.0, -125.0},
    }};
    return points;
}

std::optional<PoseSolver::Pose> PoseSolver::solve(const Points& image,
                                                  const std::optional<Pose>& start) const {
    std::vector<cv::Point3d> object;
    std::vector<cv::Point2d> projected;
    for (std::size_t i = 0; i < image.size(); ++i) {
        const auto& m = model()[i];
        object.emplace_back(m[0], m[1], m[2]);
        if (!std::isfinite(image[i][0]) || !std::isfinite(image[i][1]))
            return std::nullopt;
        projected.emplace_back(image[i][0], image[i][1]);
    }
    const cv::Matx33d camera(focal_, 0, width_ / 2.0, 0, focal_, height_ / 2.0, 0, 0, 1);
    // Start from a face looking straight at the camera at arm's length, so the iterative fit
    // settles on the solution in front of the camera rather than a mirrored one behind it.
    cv::Mat rvec = (cv::Mat_<double>(3, 1) << M_PI, 0, 0);
    cv::Mat tvec = (cv::Mat_<double>(3, 1) << 0, 0, 600);
    if (start) {
        rvec =
            (cv::Mat_<double>(3, 1) << start->rotation[0], start->rotation[1], start->rotation[2]);
        tvec = (cv::Mat_<double>(3, 1) << start->translation[0], start->translation[1],
                start->translation[2]);
    }
    bool ok = false;
    try {
        ok = cv::solvePnP(object, projected, camera, cv::noArray(), rvec, tvec, true,
                          cv::SOLVEPNP_ITERATIVE);
    } catch (const cv::Exception&) {
        return std::nullopt;
    }
    if (!ok || tvec.at<double>(2) <= 0)
        return std::nullopt;
    cv::Matx33d rotation;
    cv::Rodrigues(rvec, rotation);
    // Where the nose points, in camera coordinates (x right, y down, z away from the camera),
    // and the way from the face to the camera. The angles are the nose's turn away from the
    // camera, so a face that looks into the camera reads (0, 0) wherever it sits in the image.
    const cv::Vec3d forward = rotation * cv::Vec3d(0, 0, 1);
    const cv::Vec3d toCamera =
        -cv::Vec3d(tvec.at<double>(0), tvec.at<double>(1), tvec.at<double>(2));
    auto yawOf = [](const cv::Vec3d& v) { return std::atan2(-v[0], -v[2]); };
    auto pitchOf = [](const cv::Vec3d& v) { return std::atan2(v[1], std::hypot(v[0], v[2])); };
    Pose pose;
    // The user's right shows on the image's left, so turning right sends the nose towards -x.
    pose.yaw = yawOf(forward) - yawOf(toCamera);
    pose.pitch = pitchOf(forward) - pitchOf(toCamera);
    for (int i = 0; i < 3; ++i) {
        pose.rotation[static_cast<std::size_t>(i)] = rvec.at<double>(i);
        pose.translation[static_cast<std::size_t>(i)] = tvec.at<double>(i);
    }
    if (!std::isfinite(pose.yaw) || !std::isfinite(pose.pitch))
        return std::nullopt;
    return pose;
}

} // namespace helm
