#include "windows/MapGeometry.h"

#include "DeskSample.h"

#include <gtest/gtest.h>

namespace helm {
namespace {

using namespace MapGeometry;

TEST(MapGeometry, FitsTheDeskWithMarginsAndCentresIt) {
    struct Case {
        const char* name;
        double w, h;
        Fit want;
    };
    const Case cases[] = {
        // 84 × 64 degrees: the defaults and 12 to spare on every side.
        {"exact", 840, 640, {-42, 32, 10}},
        {"wider map shows more yaw", 1000, 640, {-50, 32, 10}},
        {"taller map shows more pitch", 840, 840, {-42, 42, 10}},
    };
    for (const Case& c : cases) {
        std::optional<Fit> f = fit(Layout(), std::nullopt, c.w, c.h);
        ASSERT_TRUE(f) << c.name;
        EXPECT_DOUBLE_EQ(f->minX, c.want.minX) << c.name;
        EXPECT_DOUBLE_EQ(f->maxY, c.want.maxY) << c.name;
        EXPECT_DOUBLE_EQ(f->scale, c.want.scale) << c.name;
    }
}

TEST(MapGeometry, KeepsTheGazeInsideMirrorsYawAndRefusesAMapWithoutArea) {
    Layout l;
    l.screens = {test::sampleScreen("mac/a", 1, std::nullopt, 0, 0)};
    for (Angle gaze : {Angle{70, 0}, Angle{-5, -50}}) {
        Fit f = *fit(l, gaze, 558, 513);
        Point g = point(f, 1, gaze.yaw, gaze.pitch);
        const double inset = 12 * f.scale - 1e-9;
        EXPECT_TRUE(g.x >= inset && g.x <= 558 - inset && g.y >= inset && g.y <= 513 - inset)
            << gaze.yaw << "," << gaze.pitch;
    }

    l.screens.push_back(test::sampleScreen("mac/b", 2, std::nullopt, 40, 0));
    l.rightSign = -1;
    Fit f = *fit(l, std::nullopt, 558, 513);
    EXPECT_LT(box(f, -1, l.screens[1]).x, box(f, -1, l.screens[0]).x);
    EXPECT_GE(box(f, -1, l.screens[1]).x, 0);

    for (auto [w, h] : {std::pair{0.0, 300.0}, {300.0, 0.0}, {-5.0, 10.0}}) {
        EXPECT_FALSE(fit(l, std::nullopt, w, h)) << w << "x" << h;
    }
}

TEST(MapGeometry, MoveAndResizeFollowTheDragWithinTheLimits) {
    Screen start = test::sampleScreen("mac/a", 1, std::nullopt, 10, 5, 30, 18);
    const Fit f{-60, 40, 10};
    struct Case {
        const char* name;
        bool resize;
        double sign, dx, dy;
        double yaw, pitch, w, h;
    };
    const Case cases[] = {
        {"move right", false, 1, 50, 20, 15, 3, 30, 18},
        {"move right, mirrored", false, -1, 50, 20, 5, 3, 30, 18},
        {"grow", true, 1, 100, 50, 15, 2.5, 40, 23},
        {"grow, mirrored", true, -1, 100, 50, 5, 2.5, 40, 23},
        {"floor", true, 1, -1000, -1000, -2, 11.5, 6, 5},
        {"cap", true, -1, 5000, 5000, -60, -71, 170, 170},
    };
    for (const Case& c : cases) {
        Screen s = c.resize ? resized(start, c.sign, c.dx, c.dy, f.scale)
                            : moved(start, c.sign, c.dx, c.dy, f.scale);
        EXPECT_DOUBLE_EQ(s.yaw, c.yaw) << c.name;
        EXPECT_DOUBLE_EQ(s.pitch, c.pitch) << c.name;
        EXPECT_DOUBLE_EQ(s.width, c.w) << c.name;
        EXPECT_DOUBLE_EQ(s.height, c.h) << c.name;
        if (c.resize) { // the top-left corner stays under the pointer's start
            EXPECT_NEAR(box(f, c.sign, s).x, box(f, c.sign, start).x, 1e-9) << c.name;
            EXPECT_NEAR(box(f, c.sign, s).y, box(f, c.sign, start).y, 1e-9) << c.name;
        }
    }
}

TEST(MapGeometry, LabelSizesAndTheEyeLevelLine) {
    for (auto [height, size] : {std::pair{35.5, 16.0}, {100.0, 45.0}, {120.0, 54.0}}) {
        EXPECT_DOUBLE_EQ(numberSize(height), size) << height;
    }
    EXPECT_FALSE(showsComputerName(70));
    EXPECT_TRUE(showsComputerName(70.5));

    struct Case {
        double maxY;
        bool eyeLevel;
    };
    for (Case c : {Case{32, true}, Case{-1, false}, Case{90, false}}) {
        Fit f{-42, c.maxY, 10};
        int found = 0;
        for (const Level& l : horizontalLines(f, 640)) {
            if (l.eyeLevel) {
                ++found;
                EXPECT_DOUBLE_EQ(l.y, point(f, 1, 0, 0).y);
            }
        }
        EXPECT_EQ(found, c.eyeLevel ? 1 : 0) << c.maxY;
    }
    // A hand-edited desk at absurd angles draws no grid rather than hang.
    EXPECT_TRUE(verticalLines(Fit{-1e300, 0, 1e-297}, 558).empty());
}

TEST(MapGeometry, APressGoesToTheTopmostBoxAndItsHandle) {
    const std::vector<Box> one = {{0, 0, 100, 100}};
    const std::vector<Box> two = {{0, 0, 100, 100}, {50, 50, 100, 100}};
    struct Case {
        const char* name;
        const std::vector<Box>* boxes;
        bool editable;
        double x, y;
        std::optional<Hit> want;
    };
    const Case cases[] = {
        {"handle", &one, true, 85, 85, Hit{0, true}},
        {"no handle when only shown", &one, false, 85, 85, Hit{0, false}},
        {"box", &one, true, 10, 10, Hit{0, false}},
        {"outside", &one, true, 200, 10, std::nullopt},
        {"a later box covers the handle", &two, true, 85, 85, Hit{1, false}},
        {"the earlier box where uncovered", &two, true, 30, 30, Hit{0, false}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(hit(*c.boxes, c.editable, c.x, c.y), c.want) << c.name;
    }
}

} // namespace
} // namespace helm
