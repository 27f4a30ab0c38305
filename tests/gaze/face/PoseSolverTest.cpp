#include "gaze/face/PoseSolver.h"

#include <gtest/gtest.h>
#include <opencv2/calib3d.hpp>

#include <cmath>

namespace helm {
namespace {

constexpr double kDeg = M_PI / 180.0;
const PoseSolver solver(640, 480, 65 * kDeg);

// The generic face turned by yaw (towards the user's right) and pitch (down), relative to the
// line from the face to the camera, placed at `at` (millimetres, camera coordinates).
PoseSolver::Points project(double yawDeg, double pitchDeg, std::array<double, 3> at) {
    return solver.project(PoseSolver::placed(yawDeg * kDeg, pitchDeg * kDeg, at));
}

TEST(PoseSolver, RecoversKnownYawAndPitchWithinOneDegree) {
    struct Case {
        double yaw, pitch;
        std::array<double, 3> at;
    };
    const Case cases[] = {
        {0, 0, {0, 0, 600}},     {20, 0, {0, 0, 600}},     {-20, 0, {0, 0, 600}},
        {0, 15, {0, 0, 600}},    {0, -15, {0, 0, 600}},    {30, -10, {0, 0, 700}},
        {-35, 12, {0, 0, 500}},  {10, 5, {150, -80, 650}}, {-25, -8, {-200, 60, 550}},
        {0, 0, {250, 120, 900}}, {40, 0, {0, 0, 600}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "yaw " << c.yaw << " pitch " << c.pitch << " at "
                                        << c.at[0] << "," << c.at[1] << "," << c.at[2]);
        const auto pose = solver.solve(project(c.yaw, c.pitch, c.at));
        ASSERT_TRUE(pose.has_value());
        EXPECT_NEAR(pose->yaw / kDeg, c.yaw, 1.0);
        EXPECT_NEAR(pose->pitch / kDeg, c.pitch, 1.0);
        EXPECT_LT(pose->error, 0.01) << "the generic face fits itself";
    }
}

TEST(PoseSolver, RefusesPointsThatAreNotNumbers) {
    auto points = project(0, 0, {0, 0, 600});
    points[2][0] = std::nan("");
    EXPECT_FALSE(solver.solve(points).has_value());
}

// A real face is not the generic one: here the nose sits flatter and the eyes and mouth corners
// unevenly. Turned from 40° one way to 40° the other in place (the picture mirrored), a fit
// started from the old pose stays in its valley with a worse fit than a fresh one.
TEST(PoseSolver, AStartThePoseHasLeftDoesNotHoldIt) {
    const std::vector<cv::Point3d> face = {{1, -16, -4},     {11, -335, -135}, {-215, 210, -32},
                                           {210, 153, -127}, {-87, -149, -82}, {141, -143, -161}};
    const std::array<double, 3> at{40, 30, solver.focal() * 450 / 100};
    auto seen = [&](double yaw, double pitch) {
        const auto pose = PoseSolver::placed(yaw * kDeg, pitch * kDeg, at);
        const cv::Matx33d camera(solver.focal(), 0, 320, 0, solver.focal(), 240, 0, 0, 1);
        std::vector<cv::Point2d> image;
        cv::projectPoints(face, cv::Vec3d(pose.rotation.data()), cv::Vec3d(at.data()), camera,
                          cv::noArray(), image);
        PoseSolver::Points p;
        for (std::size_t i = 0; i < p.size(); ++i)
            p[i] = {image[i].x, image[i].y};
        return p;
    };
    for (double pitch : {-10.0, 0.0, 10.0}) {
        SCOPED_TRACE(pitch);
        std::optional<PoseSolver::Pose> last;
        for (int k = 0; k < 5; ++k)
            last = solver.solve(seen(40, pitch), last);
        ASSERT_TRUE(last);
        EXPECT_GT(last->yaw / kDeg, 30);
        const auto fresh = solver.solve(seen(-40, pitch));
        const auto warm = solver.solve(seen(-40, pitch), last);
        ASSERT_TRUE(fresh && warm);
        EXPECT_LT(fresh->yaw / kDeg, -30);
        EXPECT_NEAR(warm->yaw, fresh->yaw, 1e-9);
        EXPECT_LE(warm->error, fresh->error);
    }
}

} // namespace
} // namespace helm
