#include "platform/ScreenScale.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace helm;

namespace {

using P = ScreenScale::Point;

// A plain 1920 × 1080 primary and, right of it, a 2560 × 1440 panel at twice the density,
// which the toolkit shows as 1280 × 720 logical pixels at the same corner.
ScreenScale desk() {
    return ScreenScale({{0, 0, 1920, 1080, 0, 0, 1}, {1920, 0, 1280, 720, 1920, 0, 2}});
}

} // namespace

TEST(ScreenScaleTest, ConvertsThroughTheScreenHoldingOrNearestThePoint) {
    struct Case {
        P device;
        P logical;
        double ratio;
        const char* what;
    } cases[] = {
        {{100, 50}, {100, 50}, 1, "on the primary"},
        {{2400, 600}, {2160, 300}, 2, "on the dense screen"},
        {{1920, 100}, {1920, 50}, 2, "on the shared edge: the screen right of it"},
        {{1919, 100}, {1919, 100}, 1, "just left of the edge"},
        {{5000, 200}, {3460, 100}, 2, "right of every screen: the nearest"},
        {{100, 1500}, {100, 1500}, 1, "below the primary"},
    };
    const ScreenScale s = desk();
    for (const Case& c : cases) {
        EXPECT_EQ(c.logical, s.toLogical(c.device)) << c.what;
        EXPECT_EQ(c.device, s.toDevice(c.logical)) << c.what;
        EXPECT_EQ(c.ratio, s.ratioAt(c.device)) << c.what;
    }
    // In the logical gap under the dense screen the primary is nearer.
    EXPECT_EQ((P{2000, 900}), s.toDevice({2000, 900}));
}

TEST(ScreenScaleTest, WithoutScreensOrRatiosPointsAreUnchanged) {
    const P p{123.5, -40};
    for (const ScreenScale& s : {ScreenScale(), ScreenScale({{0, 0, 800, 600, 0, 0, 0}}),
                                 ScreenScale({{0, 0, 800, 600, 0, 0, std::nan("")}}),
                                 ScreenScale({{0, 0, 800, 600, 0, 0, 1}})}) {
        EXPECT_EQ(p, s.toLogical(p));
        EXPECT_EQ(p, s.toDevice(p));
        EXPECT_EQ(1, s.ratioAt(p));
    }
}
