#include "gaze/face/PoseSolver.h"

#include <opencv2/calib3d.hpp>

#include <algorithm>
#include <cmath>

namespace helm {

namespace {

std::vector<cv::Point3d> modelPoints() {
    std::vector<cv::Point3d> object;
    for (const auto& m : PoseSolver::model())
        object.emplace_back(m[0], m[1], m[2]);
    return object;
}

cv::Mat column(const std::array<double, 3>& v) {
    return (cv::Mat_<double>(3, 1) << v[0], v[1], v[2]);
}

// The distance between the outer eye corners: how big the face is in the image.
double faceWidth(const PoseSolver::Points& p) {
    return std::max(std::hypot(p[3][0] - p[2][0], p[3][1] - p[2][1]), 1.0);
}

double farthestMove(const PoseSolver::Points& a, const PoseSolver::Points& b) {
    double most = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        most = std::max(most, std::hypot(a[i][0] - b[i][0], a[i][1] - b[i][1]));
    return most;
}

} // namespace

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

PoseSolver::Pose PoseSolver::placed(double yaw, double pitch, const std::array<double, 3>& at) {
    auto rotX = [](double a) {
        return cv::Matx33d(1, 0, 0, 0, std::cos(a), -std::sin(a), 0, std::sin(a), std::cos(a));
    };
    auto rotY = [](double a) {
        return cv::Matx33d(std::cos(a), 0, std::sin(a), 0, 1, 0, -std::sin(a), 0, std::cos(a));
    };
    // A face looking into a camera straight in front of it, turned to look at the camera from
    // where it sits, then turned away by the angles.
    const cv::Matx33d facing(1, 0, 0, 0, -1, 0, 0, 0, -1);
    const double toYaw = std::atan2(at[0], at[2]);
    const double toPitch = -std::atan2(at[1], std::hypot(at[0], at[2]));
    cv::Vec3d rvec;
    cv::Rodrigues(rotY(yaw + toYaw) * rotX(pitch + toPitch) * facing, rvec);
    Pose pose;
    pose.yaw = yaw;
    pose.pitch = pitch;
    pose.rotation = {rvec[0], rvec[1], rvec[2]};
    pose.translation = at;
    return pose;
}

PoseSolver::Points PoseSolver::project(const Pose& pose) const {
    const cv::Matx33d camera(focal_, 0, width_ / 2.0, 0, focal_, height_ / 2.0, 0, 0, 1);
    std::vector<cv::Point2d> image;
    cv::projectPoints(modelPoints(), column(pose.rotation), column(pose.translation), camera,
                      cv::noArray(), image);
    Points points{};
    for (std::size_t i = 0; i < points.size() && i < image.size(); ++i)
        points[i] = {image[i].x, image[i].y};
    return points;
}

std::optional<PoseSolver::Pose> PoseSolver::solve(const Points& image,
                                                  const std::optional<Pose>& start) const {
    std::optional<Pose> warm;
    if (start) {
        warm = fit(image, start);
        const double size = faceWidth(image);
        if (warm && warm->error <= poorFit * size &&
            farthestMove(image, start->image) <= farMove * size)
            return warm;
    }
    // The fit from the previous pose may have stayed in that pose's valley: fit afresh and keep
    // whichever lands closer to the points.
    std::optional<Pose> cold = fit(image, std::nullopt);
    if (!warm || (cold && cold->error < warm->error))
        return cold;
    return warm;
}

std::optional<PoseSolver::Pose> PoseSolver::fit(const Points& image,
                                                const std::optional<Pose>& start) const {
    std::vector<cv::Point2d> projected;
    for (const auto& p : image) {
        if (!std::isfinite(p[0]) || !std::isfinite(p[1]))
            return std::nullopt;
        projected.emplace_back(p[0], p[1]);
    }
    const cv::Matx33d camera(focal_, 0, width_ / 2.0, 0, focal_, height_ / 2.0, 0, 0, 1);
    // Start from a face looking straight at the camera at arm's length, so the iterative fit
    // settles on the solution in front of the camera rather than a mirrored one behind it.
    cv::Mat rvec = (cv::Mat_<double>(3, 1) << M_PI, 0, 0);
    cv::Mat tvec = (cv::Mat_<double>(3, 1) << 0, 0, 600);
    if (start) {
        rvec = column(start->rotation);
        tvec = column(start->translation);
    }
    bool ok = false;
    try {
        ok = cv::solvePnP(modelPoints(), projected, camera, cv::noArray(), rvec, tvec, true,
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
    pose.image = image;
    const Points landed = project(pose);
    double sum = 0;
    for (std::size_t i = 0; i < image.size(); ++i)
        sum += std::pow(landed[i][0] - image[i][0], 2) + std::pow(landed[i][1] - image[i][1], 2);
    pose.error = std::sqrt(sum / static_cast<double>(image.size()));
    return pose;
}

} // namespace helm
