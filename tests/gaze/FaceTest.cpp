#include "gaze/Face.h"
#include "gaze/Head.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace helm;

TEST(Face, HintTakesTheFirstRuleThatApplies) {
    struct Case {
        Face face;
        std::optional<std::string> hint;
    };
    const Case cases[] = {
        // Confidence is tested before anything about the box.
        {{{0.5, 0.5, 0.01, 0.01}, 0.4}, "Not clear: more light on your face"},
        {{{0.4, 0.4, 0.2, 0.2}, 0.5}, std::nullopt},
        {{{0.45, 0.45, 0.10, 0.10}, 0.9}, "Too far from the camera"},
        {{{0.2, 0.2, 0.56, 0.56}, 0.9}, "Too close to the camera"},
        {{{0.0, 0.4, 0.3, 0.2}, 0.9}, "Move a little left"},              // midX 0.15
        {{{0.7, 0.4, 0.3, 0.2}, 0.9}, "Move a little right"},             // midX 0.85
        {{{0.4, 0.0, 0.2, 0.3}, 0.9}, "Centre your face in the camera"},  // midY 0.15
        {{{0.4, 0.6, 0.2, 0.3}, 0.9}, std::nullopt},                      // midY 0.75
        {{{0.4, 0.75, 0.2, 0.3}, 0.9}, "Centre your face in the camera"}, // midY 0.90
        // Each bound itself is still fine (the box is built so the middle is exactly on it).
        {{{0.445, 0.4, 0.11, 0.2}, 0.9}, std::nullopt},
        {{{0.225, 0.2, 0.55, 0.55}, 0.9}, std::nullopt},
        {{{0.18 - 0.0625, 0.4, 0.125, 0.2}, 0.9}, std::nullopt},
        {{{0.82 - 0.0625, 0.4, 0.125, 0.2}, 0.9}, std::nullopt},
        {{{0.4, 0.18 - 0.0625, 0.2, 0.125}, 0.9}, std::nullopt},
        {{{0.4, 0.88 - 0.0625, 0.2, 0.125}, 0.9}, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.hint, c.face.hint()) << c.face.box.x << "," << c.face.box.y << " w "
                                         << c.face.box.width << " conf " << c.face.confidence;
    }
}

TEST(Head, PositionFromTheFaceBox) {
    struct Case {
        Box box;
        double x, y, z;
    };
    const double t = std::tan(Head::hFov / 2);
    const Case cases[] = {
        {{0.4, 0.4, 0.2, 0.2}, 0, 0, 15 / (0.4 * t)},
        // Narrower than 0.02 counts as 0.02, so the distance stays finite.
        {{0.5, 0.5, 0, 0}, 0, 0, 15 / (0.04 * t)},
        // Left of the image centre is to the user's right, above it is up.
        {{0.1, 0.6, 0.2, 0.2},
         0.3 * 2 * t * 15 / (0.4 * t),
         0.2 * 2 * t / (4.0 / 3) * 15 / (0.4 * t),
         15 / (0.4 * t)},
    };
    for (const auto& c : cases) {
        V3 p = Head::position(c.box);
        EXPECT_NEAR(c.x, p.x, 1e-9);
        EXPECT_NEAR(c.y, p.y, 1e-9);
        EXPECT_NEAR(c.z, p.z, 1e-9);
    }
    EXPECT_NEAR(58.87, Head::position({0.4, 0.4, 0.2, 0.2}).z, 0.01);
    EXPECT_NEAR(588.7, Head::position({0.5, 0.5, 0, 0}).z, 0.1);
}

TEST(Head, DirectionTurnsFromTheCameraByTheAngleLessTheBias) {
    struct Case {
        const char* name;
        V3 from;
        Angle angle, bias;
        double rightSign;
        V3 want;
    };
    const double s10 = std::sin(10 * std::numbers::pi / 180),
                 c10 = std::cos(10 * std::numbers::pi / 180);
    const Case cases[] = {
        {"at the bias it points at the camera", {0, 0, 60}, {7, -3}, {7, -3}, 1, {0, 0, -1}},
        {"yaw turns right", {0, 0, 60}, {10, 0}, {0, 0}, 1, {s10, 0, -c10}},
        {"the yaw sign flips only the yaw",
         {0, 0, 60},
         {10, 10},
         {0, 0},
         -1,
         {-s10 * c10, s10, -c10 * c10}},
        {"from beside the camera", {30, 0, 0}, {0, 0}, {0, 0}, 1, {-1, 0, 0}},
    };
    for (const auto& c : cases) {
        V3 d = Head::direction(c.from, c.angle, c.bias, c.rightSign);
        EXPECT_NEAR(c.want.x, d.x, 1e-9) << c.name;
        EXPECT_NEAR(c.want.y, d.y, 1e-9) << c.name;
        EXPECT_NEAR(c.want.z, d.z, 1e-9) << c.name;
    }
    EXPECT_NEAR(90, Head::degrees({1, 0, 0}, {0, 0, 5}), 1e-9);
    EXPECT_NEAR(0, Head::degrees({2, 2, 0}, {1, 1, 0}), 1e-5);
}
