#include "gaze/Calibrator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace helm;

namespace {

using Corner = Calibrator::Corner;
using Target = Calibrator::Target;
using Step = Calibrator::Step;
using Event = Calibrator::Event;

Screen screen(std::string id, int number) {
    Screen s;
    s.id = std::move(id);
    s.number = number;
    return s;
}

std::vector<std::string> prompts(const Calibrator& c) {
    std::vector<std::string> out;
    for (const auto& s : c.steps) {
        out.push_back(s.prompt);
    }
    return out;
}

// Feeds the same head angle every 1/16 s (exact in binary, so window edges are not blurred by
// rounding) from `from` until something is captured or `until` passes; answers the time of the
// capturing frame, or -1.
double holdUntilCaptured(Calibrator& c, Angle head, double from, double until = 10) {
    for (int i = 0;; ++i) {
        double t = from + i / 16.0;
        if (t > until) {
            return -1;
        }
        if (c.feed(head, t)) {
            return t;
        }
    }
}

} // namespace

TEST(Calibrator, StepListsAndPrompts) {
    Calibrator c({screen("two", 2), screen("one", 1)}, true, 0);
    EXPECT_EQ(prompts(c), (std::vector<std::string>{"Look at the camera.", "Turn your head right.",
                                                    "Look at your keyboard.", "Screen 1, top left.",
                                                    "Top right.", "Bottom right.", "Bottom left.",
                                                    "Screen 2, top left.", "Top right.",
                                                    "Bottom right.", "Bottom left."}));
    EXPECT_EQ(Target::camera(), c.steps[0].target);
    EXPECT_EQ(Target::turnRight(), c.steps[1].target);
    EXPECT_EQ(Target::keyboard(), c.steps[2].target);
    EXPECT_EQ(Target::corner("one", Corner::tl), c.steps[3].target);
    EXPECT_EQ(Target::corner("two", Corner::bl), c.steps[10].target);
    EXPECT_DOUBLE_EQ(0.4, c.steadyFor);

    Calibrator precise({screen("one", 1)}, false, 0, true);
    EXPECT_EQ(prompts(precise),
              (std::vector<std::string>{"Screen 1, top left.", "Middle of the top edge.",
                                        "Top right.", "Middle of the right edge.", "Bottom right.",
                                        "Middle of the bottom edge.", "Bottom left.",
                                        "Middle of the left edge.", "Centre."}));
    EXPECT_DOUBLE_EQ(0.7, precise.steadyFor);

    struct Shape {
        const char* name;
        std::optional<bool> portrait;
        std::optional<std::vector<double>> px;
        double width, height;
        std::size_t points;
    };
    const Shape shapes[] = {
        {"tall in points", std::nullopt, std::vector<double>{1080, 1920}, 50, 30, 6},
        {"wide in points", std::nullopt, std::vector<double>{1920, 1080}, 30, 50, 4},
        {"tall in degrees", std::nullopt, std::nullopt, 30, 50, 6},
        {"flag wins", false, std::vector<double>{1080, 1920}, 30, 50, 4},
        {"one-entry px", std::nullopt, std::vector<double>{1080}, 30, 50, 4},
    };
    for (const auto& s : shapes) {
        Screen sc = screen("p", 1);
        sc.portrait = s.portrait;
        sc.px = s.px;
        sc.width = s.width;
        sc.height = s.height;
        Calibrator pc({sc}, false, 0);
        EXPECT_EQ(s.points, pc.steps.size()) << s.name;
        if (s.points == 6) {
            EXPECT_EQ(prompts(pc),
                      (std::vector<std::string>{"Screen 1, top left.", "Top right.",
                                                "Middle of the right edge.", "Bottom right.",
                                                "Bottom left.", "Middle of the left edge."}));
        }
    }

    Calibrator empty({}, false, 0);
    EXPECT_EQ(0, empty.progress());
    EXPECT_FALSE(empty.current());
    EXPECT_EQ(std::nullopt, empty.feed(Angle{0, 0}, 1));
}

TEST(Calibrator, HoldAndCaptureTiming) {
    Calibrator c({screen("one", 1)}, false, 0);
    struct Frame {
        int k; // frame time k / 15 s
        double hold;
        bool captured;
    };
    const Frame frames[] = {
        {0, 0, false},     {1, 0, false}, {2, 0, false}, {3, 0, false}, // 0.2 s
        {4, 0, false},     // 0.267 s: still inside the 0.3 s wait
        {5, 0.952, false}, // 1/3 s: the window spans 1/3 of the 0.35 s needed
        {6, 0, true},      // 0.4 s captures
    };
    for (const auto& f : frames) {
        auto ev = c.feed(Angle{3, 4}, f.k / 15.0);
        EXPECT_EQ(f.captured, ev.has_value()) << f.k;
        EXPECT_NEAR(f.hold, c.hold, 0.001) << f.k;
    }
    EXPECT_EQ(1, c.index);
    EXPECT_EQ((Angle{3, 4}), c.results[0]);
    EXPECT_DOUBLE_EQ(0.4, c.stepStart);
}

TEST(Calibrator, SteadinessLostHeadAndReady) {
    // A sample 2 degrees off in pitch empties the window up to it.
    Calibrator c({screen("one", 1)}, false, 0);
    for (int k = 0; k <= 4; ++k) {
        c.feed(Angle{0, 0}, k / 15.0);
    }
    c.feed(Angle{0, 2}, 5 / 15.0);
    EXPECT_EQ(1u, c.samples.size());
    EXPECT_DOUBLE_EQ(0, c.hold);
    c.feed(Angle{0, 2}, 6 / 15.0);
    EXPECT_NEAR((1 / 15.0) / 0.35, c.hold, 1e-9);

    // Only the oldest is tested: a steady oldest sample keeps a later stray one in the window.
    Calibrator d({screen("one", 1)}, false, 0);
    d.feed(Angle{0, 0}, 0);
    d.feed(Angle{0, 1.5}, 0.1);
    d.feed(Angle{0, -0.5}, 0.2); // 2 degrees from the middle sample, 0.5 from the oldest
    EXPECT_EQ(3u, d.samples.size());

    // A frame without a head empties the window and the positions; the wait does not restart.
    d.feed(std::nullopt, 0.3);
    EXPECT_TRUE(d.samples.empty());
    EXPECT_TRUE(d.spots.empty());
    EXPECT_DOUBLE_EQ(0, d.stepStart);

    // ready() restarts the wait.
    d.ready(5);
    EXPECT_EQ(std::nullopt, d.feed(Angle{0, 0}, 5.25));
    EXPECT_DOUBLE_EQ(0, d.hold);
}

TEST(Calibrator, SteadinessIsPerAxis) {
    // Each axis may differ from the newest sample by up to 1.8 degrees, whatever the other
    // axis does.
    struct Case {
        const char* name;
        Angle newest;
        std::size_t window;
    };
    const Case cases[] = {
        {"1.5 on both axes (2.1 straight) stays", {1.5, 1.5}, 2},
        {"1.8 on both axes stays", {1.8, -1.8}, 2},
        {"1.9 in yaw goes", {1.9, 0}, 1},
        {"1.9 in pitch goes", {0, -1.9}, 1},
    };
    for (const auto& c : cases) {
        Calibrator cal({screen("one", 1)}, false, 0);
        cal.feed(Angle{0, 0}, 0);
        cal.feed(c.newest, 0.1);
        EXPECT_EQ(c.window, cal.samples.size()) << c.name;
    }
}

TEST(Calibrator, MinimumMoveExceptForTheCamera) {
    Calibrator c({}, true, 0);
    ASSERT_EQ(3u, c.steps.size());
    double t = holdUntilCaptured(c, Angle{0, 0}, 0);
    EXPECT_DOUBLE_EQ(0.375, t);
    // Turn right held only 4.9 degrees from the camera result: never captured.
    EXPECT_EQ(-1, holdUntilCaptured(c, Angle{4.9, 0}, t + 0.0625, t + 2));
    EXPECT_DOUBLE_EQ(0, c.hold);
    EXPECT_EQ(1, c.index);
    // 3 and 4 make 5 (Euclidean): captured.
    EXPECT_GT(holdUntilCaptured(c, Angle{3, 4}, t + 3), 0);
    EXPECT_EQ(2, c.index);

    // A second camera step right after the first would not be held to the minimum move.
    Calibrator again({}, true, 0);
    again.steps[1] = again.steps[0];
    t = holdUntilCaptured(again, Angle{0, 0}, 0);
    EXPECT_GT(holdUntilCaptured(again, Angle{0, 0}, t + 0.0625), 0);
}

TEST(Calibrator, CapturedMeansAndEvents) {
    // A precise run holds for 0.65 s: eleven frames at 1/15 s, each with a position.
    Calibrator c({screen("one", 1)}, false, 0, true);
    c.steps.resize(2);
    std::optional<Event> ev;
    for (int k = 0; k < 12 && !ev; ++k) {
        ev = c.feed(Angle{10, 5}, std::nullopt, 0.5, k / 15.0, V3{double(k), 0, 50});
    }
    ASSERT_TRUE(ev);
    EXPECT_EQ(Event::captured(c.steps[0]), *ev);
    ASSERT_TRUE(c.positions[0]);
    EXPECT_EQ(1, c.index);
    // The mean of the last eight positions (frames 3 to 10); eyes absent count as (0, 0).
    EXPECT_DOUBLE_EQ(6.5, c.positions[0]->x);
    EXPECT_EQ((Angle{0, 0}), c.eyes[0]);
    EXPECT_EQ((Angle{10, 5}), c.results[0]);
    EXPECT_DOUBLE_EQ(0.5, c.progress());

    // With eyes: the combined angle mixes them in; a step without positions records none.
    ev.reset();
    for (int k = 0; k < 30 && !ev; ++k) {
        ev = c.feed(Angle{20, 5}, Angle{4, -2}, 0.5, 1 + k / 15.0, std::nullopt);
    }
    ASSERT_TRUE(ev);
    EXPECT_EQ(Event::finished(), *ev);
    EXPECT_EQ((Angle{22, 4}), c.results[1]);
    EXPECT_EQ((Angle{20, 5}), c.heads[1]);
    EXPECT_EQ((Angle{4, -2}), c.eyes[1]);
    EXPECT_FALSE(c.positions[1]);
    EXPECT_FALSE(c.current());
    EXPECT_DOUBLE_EQ(1, c.progress());
    EXPECT_EQ(std::nullopt, c.feed(Angle{0, 0}, 9));

    CalRecord r = c.record();
    EXPECT_EQ(c.steps, r.steps);
    EXPECT_EQ(c.heads, r.heads);
    EXPECT_EQ(c.positions, r.positions);
}
