#include "gaze/EyeReader.h"
#include "gaze/FrameReading.h"

#include <gtest/gtest.h>

#include <vector>

using namespace helm;

namespace {

struct EyeSpec {
    double centreX = 0.3; // in the face box
    double width = 0.2;   // in the face box
    double pupilX = 0;    // eye widths right of the middle
    double pupilY = 0;    // in face-box units above the middle
    int points = 6;
    bool pupil = true;
};

// An eye outline with its corners first-found at the extremes, and a pupil placed by offset.
void placeEye(const EyeSpec& e, std::optional<std::vector<Point2>>& eye,
              std::optional<std::vector<Point2>>& pupil) {
    std::vector<Point2> pts;
    double lo = e.centreX - e.width / 2, hi = e.centreX + e.width / 2;
    pts.push_back({lo, 0.6});
    for (int i = 1; i + 1 < e.points; ++i) {
        pts.push_back({lo + e.width * i / e.points, i % 2 ? 0.62 : 0.58});
    }
    if (e.points > 1) {
        pts.push_back({hi, 0.6});
    }
    eye = pts;
    if (e.pupil) {
        pupil = std::vector<Point2>{{e.centreX + e.pupilX * e.width, 0.6 + e.pupilY}, {0, 0}};
    } else {
        pupil = std::vector<Point2>{};
    }
}

FaceObservation face(std::optional<EyeSpec> left, std::optional<EyeSpec> right, double boxW = 0.2,
                     double boxH = 0.25) {
    FaceObservation f;
    f.box = {0.4, 0.4, boxW, boxH};
    f.confidence = 0.9;
    f.yaw = 0;
    f.pitch = 0;
    EyeLandmarks m;
    if (left) {
        placeEye(*left, m.leftEye, m.leftPupil);
    }
    if (right) {
        placeEye(*right, m.rightEye, m.rightPupil);
    }
    f.landmarks = m;
    return f;
}

} // namespace

TEST(EyeReader, OffsetsBecomeClampedDegrees) {
    struct Case {
        const char* name;
        FaceObservation obs;
        std::optional<Angle> want;
    };
    EyeSpec right02{0.7, 0.2, 0.2};
    EyeSpec left02{0.3, 0.2, 0.2};
    const Case cases[] = {
        {"a fifth of an eye width right", face(left02, right02), Angle{22, 0}},
        {"half an eye width is clamped", face(EyeSpec{0.3, 0.2, 0.5}, EyeSpec{0.7, 0.2, 0.5}),
         Angle{33, 0}},
        {"clamped the other way", face(EyeSpec{0.3, 0.2, -0.5}, EyeSpec{0.7, 0.2, -0.5}),
         Angle{-33, 0}},
        {"the mean of both eyes", face(EyeSpec{0.3, 0.2, 0.2}, EyeSpec{0.7, 0.2, 0.0}),
         Angle{11, 0}},
        // W 0.2 × eye 0.2 = span 0.04; H 0.25 × 0.016 / 0.04 = 0.1 eye widths up.
        {"pitch from the vertical offset", face(EyeSpec{0.3, 0.2, 0, 0.016}, std::nullopt),
         Angle{0, 11}},
        {"only the left eye readable", face(left02, EyeSpec{0.7, 0.2, -0.2, 0, 3}), Angle{22, 0}},
        {"a right eye without pupil points is skipped",
         face(left02, EyeSpec{0.7, 0.2, -0.2, 0, 6, false}), Angle{22, 0}},
        {"four outline points are enough", face(EyeSpec{0.3, 0.2, 0.2, 0, 4}, std::nullopt),
         Angle{22, 0}},
        // 0.2 of the image × 0.02 of the face box = 0.004 of the image: too narrow to read.
        {"an eye too narrow", face(EyeSpec{0.3, 0.02, 0.2}, std::nullopt), std::nullopt},
        // Half the image × 0.01 of the face box is exactly 0.005: still too narrow.
        {"an eye exactly at the narrow limit", face(EyeSpec{0.005, 0.01, 0.2}, std::nullopt, 0.5),
         std::nullopt},
        {"an eye just wider than the limit", face(EyeSpec{0.3, 0.0102, 0.2}, std::nullopt, 0.5),
         Angle{22, 0}},
        {"no eyes at all", face(std::nullopt, std::nullopt), std::nullopt},
    };
    for (const auto& c : cases) {
        EyeReader r;
        auto got = r.read(c.obs);
        ASSERT_EQ(c.want.has_value(), got.has_value()) << c.name;
        if (got) {
            EXPECT_NEAR(c.want->yaw, got->yaw, 1e-9) << c.name;
            EXPECT_NEAR(c.want->pitch, got->pitch, 1e-9) << c.name;
        }
    }
}

TEST(EyeReader, SmoothsAndKeepsTheLastValueThroughUnreadableFrames) {
    EyeReader r;
    auto first = r.read(face(EyeSpec{0.3, 0.2, 0.2}, std::nullopt));
    ASSERT_TRUE(first);
    EXPECT_NEAR(22, first->yaw, 1e-9);
    auto second = r.read(face(EyeSpec{0.3, 0.2, 0.0}, std::nullopt));
    EXPECT_NEAR(0.6 * 22, second->yaw, 1e-9);
    FaceObservation blind = face(std::nullopt, std::nullopt);
    EXPECT_EQ(second, r.read(blind));
    blind.landmarks.reset();
    EXPECT_EQ(second, r.read(blind));
    r.reset();
    EXPECT_NEAR(22, r.read(face(EyeSpec{0.3, 0.2, 0.2}, std::nullopt))->yaw, 1e-9);
}

TEST(FrameReading, PicksTheWidestFaceAndConvertsItsPose) {
    auto obs = [](double width, double yaw, double pitch) {
        FaceObservation f;
        f.box = {0.3, 0.3, width, width};
        f.confidence = 0.8;
        f.yaw = yaw;
        f.pitch = pitch;
        return f;
    };
    EyeReader eyes;
    auto r = readFrame({obs(0.2, 0.1, 0.2), obs(0.3, 0.5, -0.5)}, eyes);
    ASSERT_TRUE(r.face && r.head);
    EXPECT_DOUBLE_EQ(0.3, r.face->box.width);
    EXPECT_NEAR(0.5 * 180 / std::numbers::pi, r.head->yaw, 1e-9);
    EXPECT_NEAR(0.5 * 180 / std::numbers::pi, r.head->pitch, 1e-9); // positive up
    EXPECT_FALSE(r.eye);                                            // no landmarks yet

    r = readFrame({obs(0.25, 0.1, 0), obs(0.25, 0.2, 0)}, eyes);
    EXPECT_NEAR(0.1 * 180 / std::numbers::pi, r.head->yaw, 1e-9); // equal widths: the first

    EXPECT_EQ(std::nullopt, widestFace({}));
}

TEST(FrameReading, EyeSmoothingAcrossFrames) {
    EyeReader eyes;
    FaceObservation looking = face(EyeSpec{0.3, 0.2, 0.2}, std::nullopt);
    FaceObservation noPose = looking;
    noPose.yaw.reset();
    FaceObservation brokenPose = looking;
    brokenPose.pitch = std::nan("");
    FaceObservation straight = face(EyeSpec{0.3, 0.2, 0.0}, std::nullopt);

    auto r = readFrame({looking}, eyes);
    EXPECT_NEAR(22, r.eye->yaw, 1e-9);

    // A face without a pose still gives the face, but no angles, and keeps the smoothing.
    r = readFrame({noPose}, eyes);
    EXPECT_TRUE(r.face);
    EXPECT_FALSE(r.head);
    EXPECT_FALSE(r.eye);
    r = readFrame({brokenPose}, eyes);
    EXPECT_TRUE(r.face);
    EXPECT_FALSE(r.head);
    r = readFrame({straight}, eyes);
    EXPECT_NEAR(0.6 * 22, r.eye->yaw, 1e-9);

    // A frame without a face ends the smoothing: the next eye angle starts afresh.
    r = readFrame({}, eyes);
    EXPECT_FALSE(r.face || r.head || r.eye);
    r = readFrame({looking}, eyes);
    EXPECT_NEAR(22, r.eye->yaw, 1e-9);
}
