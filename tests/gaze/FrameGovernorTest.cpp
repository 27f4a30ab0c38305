#include "gaze/FrameGovernor.h"

#include <gtest/gtest.h>

#include <vector>

using namespace helm;

TEST(FrameGovernor, AtRestReadsEverySecondFrameOfThirtyFps) {
    FrameGovernor g;
    std::vector<bool> admitted;
    for (int i = 0; i < 12; ++i) {
        double t = 100 + i / 30.0;
        bool run = g.shouldRun(t);
        admitted.push_back(run);
        if (run) {
            g.saw(Angle{0, 0}, t);
        }
    }
    EXPECT_EQ(admitted, (std::vector<bool>{true, false, true, false, true, false, true, false, true,
                                           false, true, false}));
}

TEST(FrameGovernor, BurstRule) {
    // The move is the sum of the yaw and pitch changes between two read frames.
    struct Case {
        const char* name;
        std::optional<Angle> first;
        bool headlessBetween; // a read frame without a head in between
        Angle second;
        bool burst;
    };
    const Case cases[] = {
        {"two degrees", Angle{0, 0}, false, Angle{2, 0}, true},
        {"exactly the threshold", Angle{0, 0}, false, Angle{1.5, 0}, false},
        {"sum, not distance", Angle{0, 0}, false, Angle{1, 1}, true},
        {"pitch alone", Angle{0, 0}, false, Angle{0, -1.6}, true},
        {"frame without a head between", Angle{0, 0}, true, Angle{10, 0}, false},
        {"first frame ever", std::nullopt, false, Angle{10, 0}, false},
    };
    for (const auto& c : cases) {
        FrameGovernor g;
        double t = 10;
        ASSERT_TRUE(g.shouldRun(t));
        g.saw(c.first, t);
        if (c.headlessBetween) {
            t += 0.1;
            ASSERT_TRUE(g.shouldRun(t));
            g.saw(std::nullopt, t);
        }
        t += 0.1;
        ASSERT_TRUE(g.shouldRun(t));
        g.saw(c.second, t);
        // During a burst frames 1/60 s apart pass; at rest the second of them does not.
        bool next = g.shouldRun(t + 1.0 / 60);
        bool after = g.shouldRun(t + 2.0 / 60);
        EXPECT_EQ(c.burst, next && after) << c.name;
        EXPECT_EQ(c.burst, g.burstUntil > 0) << c.name;
    }
}

TEST(FrameGovernor, BurstLastsItsLengthThenFallsBackToRest) {
    FrameGovernor g;
    ASSERT_TRUE(g.shouldRun(0));
    g.saw(Angle{0, 0}, 0);
    ASSERT_TRUE(g.shouldRun(0.1));
    g.saw(Angle{5, 0}, 0.1);
    EXPECT_DOUBLE_EQ(0.4, g.burstUntil);
    int read = 0;
    // Frames every 1/60 s from 0.1 to 0.4: all pass at the burst rate.
    for (int i = 1; i <= 17; ++i) {
        read += g.shouldRun(0.1 + i / 60.0) ? 1 : 0;
    }
    EXPECT_EQ(17, read);
    // After the burst the interval is the rest one again.
    ASSERT_TRUE(g.shouldRun(0.5));
    EXPECT_FALSE(g.shouldRun(0.5 + 1.0 / 60));
    EXPECT_TRUE(g.shouldRun(0.5 + 1.0 / 15));
}
