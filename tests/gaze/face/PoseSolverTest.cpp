#include "gaze/face/PoseSolver.h"

#include <gtest/gtest.h>
#include <opencv2/calib3d.hpp>

#include <cmath>

namespace helm {
namespace {

constexpr double kDeg = M_PI / 180.0;
constexpr int kWidth = 640;
constexpr int kHeight = 480;
const double kFov = 65 * kDeg;

cv::Matx33d rotX(double a) {
    return {1, 0, 0, 0, std::cos(a), -std::sin(a), 0, std::sin(a), std::cos(a)};
}
cv::Matx33d rotY(double a) {
    return {std::cos(a), 0, std::sin(a), 0, 1, 0, -std::sin(a), 0, std::cos(a)};
}

// Projects the generic face turned by yaw (towards the user's right) and pitch (down), relative
// to the line from the face to the camera, placed at `at` (millimetres, camera coordinates).
PoseSolver::Points project(double yawDeg, double pitchDeg, cv::Vec3d at) {
    // A face looking along -z (into the camera) from straight in front of it…
    const cv::Matx33d facing(1, 0, 0, 0, -1, 0, 0, 0, -1);
    // …turned so it looks at the camera from where it sits…
    const double toYaw = std::atan2(at[0], at[2]);
    const double toPitch = -std::atan2(at[1], std::hypot(at[0], at[2]));
    const cv::Matx33d rotation =
        rotY(yawDeg * kDeg + toYaw) * rotX(pitchDeg * kDeg + toPitch) * facing;
    cv::Vec3d rvec;
    cv::Rodrigues(rotation, rvec);
    std::vector<cv::Point3d> object;
    for (const auto& m : PoseSolver::model())
        object.emplace_back(m[0], m[1], m[2]);
    const PoseSolver solver(kWidth, kHeight, kFov);
    const cv::Matx33d camera(solver.focal(), 0, kWidth / 2.0, 0, solver.focal(), kHeight / 2.0, 0,
                             0, 1);
    std::vector<cv::Point2d> image;
    cv::projectPoints(object, rvec, at, camera, cv::noArray(), image);
    PoseSolver::Points points;
    for (std::size_t i = 0; i < points.size(); ++i)
        points[i] = {image[i].x, image[i].y};
    return points;
}

TEST(PoseSolver, RecoversKnownYawAndPitchWithinOneDegree) {
    struct Case {
        double yaw, pitch;
        cv::Vec3d at;
    };
    const Case cases[] = {
        {0, 0, {0, 0, 600}},     {20, 0, {0, 0, 600}},     {-20, 0, {0, 0, 600}},
        {0, 15, {0, 0, 600}},    {0, -15, {0, 0, 600}},    {30, -10, {0, 0, 700}},
        {-35, 12, {0, 0, 500}},  {10, 5, {150, -80, 650}}, {-25, -8, {-200, 60, 550}},
        {0, 0, {250, 120, 900}}, {40, 0, {0, 0, 600}},
    };
    const PoseSolver solver(kWidth, kHeight, kFov);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "yaw " << c.yaw << " pitch " << c.pitch << " at "
                                        << c.at[0] << "," << c.at[1] << "," << c.at[2]);
        const auto pose = solver.solve(project(c.yaw, c.pitch, c.at));
        ASSERT_TRUE(pose.has_value());
        EXPECT_NEAR(pose->yaw / kDeg, c.yaw, 1.0);
        EXPECT_NEAR(pose->pitch / kDeg, c.pitch, 1.0);
    }
}

TEST(PoseSolver, RefusesPointsThatAreNotNumbers) {
    auto points = project(0, 0, {0, 0, 600});
    points[2][0] = std::nan("");
    EXPECT_FALSE(PoseSolver(kWidth, kHeight, kFov).solve(points).has_value());
}

} // namespace
} // namespace helm
