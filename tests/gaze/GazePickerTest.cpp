#include "gaze/GazePicker.h"

#include "gaze/Head.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace helm;

namespace {

Screen screen(std::string id, double yaw, double pitch = 0, double width = 20, double height = 0) {
    Screen s;
    s.id = std::move(id);
    s.yaw = yaw;
    s.pitch = pitch;
    s.width = width;
    s.height = height;
    return s;
}

Layout layoutOf(std::vector<Screen> screens) {
    Layout l;
    l.screens = std::move(screens);
    return l;
}

using Id = std::optional<std::string>;

} // namespace

TEST(GazePicker, FirstPickIsImmediateAndTiesKeepLayoutOrder) {
    GazePicker p;
    p.settle = 5;
    // Two identical screens: the one listed first wins.
    Layout l = layoutOf({screen("b", 0), screen("a", 0), screen("c", 50)});
    EXPECT_EQ(Id("b"), p.update(Angle{1, 0}, l, 0));
    EXPECT_EQ(Id("b"), p.current);
    EXPECT_EQ(Id{}, p.update(Angle{1, 0}, l, 0.01));
}

TEST(GazePicker, PitchWeightCountsOnlyInTheMiss) {
    // The first pick is immediate, so it shows the ranking directly. The weight stretches the
    // vertical miss, but the small distance-from-centre term is unweighted.
    struct Case {
        const char* name;
        Screen a, b;
        Angle gaze;
        Id want;
    };
    const Case cases[] = {
        // Inside both boxes: a is 3 degrees off its centre (pitch), b 4 (yaw).
        {"inside both", screen("a", 0, 0, 40, 40), screen("b", 4, 3, 40, 40), {0, 3}, "a"},
        // Outside both: a missed by 4 degrees sideways, b by 3 vertically, weighted to 4.5.
        {"outside both", screen("a", 0, 0, 20, 10), screen("b", 14, 8, 20, 10), {14, 0}, "a"},
    };
    for (const auto& c : cases) {
        GazePicker p;
        EXPECT_EQ(c.want, p.update(c.gaze, layoutOf({c.a, c.b}), 0)) << c.name;
    }
}

TEST(GazePicker, SwitchMargins) {
    // Current "a" (yaw 0, edges ±10), winner "b"; scores are 100 × degrees off the box plus
    // the unweighted distance from the centre.
    struct Case {
        const char* name;
        double bYaw;
        double gaze;
        bool switches;
    };
    const Case cases[] = {
        // b at 60 (edges 50, 70): best ≥ 100, so only "at least 400 better" can switch.
        // a − b = 202 g − 6060.
        {"404 better", 60, 32.0, true},
        {"396 better", 60, 31.96, false},
        // b at 30 wide 32 (edges 14, 46): the gaze is on b (best < 100). The "current at 500"
        // rule never binds here, as 500 > best + 400: a − b = 102 g − 1030 decides.
        {"on target, 403 better (current at 419)", 30, 14.05, true},
        {"on target, 399 better (current at 415)", 30, 14.01, false},
    };
    for (const auto& c : cases) {
        Layout l = layoutOf({screen("a", 0), screen("b", c.bYaw, 0, c.bYaw == 30 ? 32 : 20)});
        GazePicker p(std::string("a"));
        p.settle = 0;
        Id got = p.update(Angle{c.gaze, 0}, l, 1);
        EXPECT_EQ(c.switches ? Id("b") : Id{}, got) << c.name;
        EXPECT_EQ(c.switches ? Id("b") : Id("a"), p.current) << c.name;
        EXPECT_EQ(Id{}, p.candidate) << c.name;
    }
}

TEST(GazePicker, SettleTimeAndItsRestart) {
    Layout l = layoutOf({screen("a", 0), screen("b", 40), screen("c", -40)});
    GazePicker p(std::string("a"));
    struct Frame {
        double t;
        std::optional<Angle> gaze;
        Id result;
        Id candidate;
    };
    const Frame frames[] = {
        {1.00, Angle{40, 0}, {}, "b"},
        {1.05, Angle{-40, 0}, {}, "c"}, // a different winner restarts the clock
        {1.14, Angle{-40, 0}, {}, "c"},
        {1.16, Angle{-40, 0}, "c", {}},
        {2.00, Angle{40, 0}, {}, "b"},
        {2.05, std::nullopt, {}, {}},  // no angle drops the pending switch
        {2.08, Angle{40, 0}, {}, "b"}, // and the clock starts again
        {2.12, Angle{-40, 0}, {}, {}}, // back on the current screen
        {2.13, Angle{40, 0}, {}, "b"},
        {2.20, Angle{100, 0}, {}, {}}, // 50 degrees off everything
        {2.21, Angle{40, 0}, {}, "b"},
        {2.33, Angle{40, 0}, "b", {}},
    };
    for (const auto& f : frames) {
        EXPECT_EQ(f.result, p.update(f.gaze, l, f.t)) << f.t;
        EXPECT_EQ(f.candidate, p.candidate) << f.t;
    }
    EXPECT_EQ(Id("b"), p.current);
}

TEST(GazePicker, CurrentScreenGoneOrUnscorable) {
    // A current id that left the layout counts as infinitely far.
    Layout l = layoutOf({screen("a", 0), screen("b", 40)});
    GazePicker gone(std::string("old"));
    gone.settle = 0;
    EXPECT_EQ(Id("b"), gone.update(Angle{40, 0}, l, 0));

    // A screen whose score is not a number is left out of the ranking: it is never chosen,
    // and as the current screen it counts as infinitely far.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Layout broken = layoutOf({screen("bad", nan), screen("a", 0), screen("b", 40)});
    GazePicker fresh;
    EXPECT_EQ(Id("a"), fresh.update(Angle{0, 0}, broken, 0));
    GazePicker stuck(std::string("bad"));
    stuck.settle = 0;
    EXPECT_EQ(Id("a"), stuck.update(Angle{2, 0}, broken, 0));

    // A gaze that is not a number chooses nothing.
    GazePicker p(std::string("a"));
    EXPECT_EQ(Id{}, p.update(Angle{nan, 0}, l, 0));
    EXPECT_EQ(Id("a"), p.current);
}

TEST(GazePicker, NothingBeyondMaxOffOrWithoutScreens) {
    Layout l = layoutOf({screen("a", 0), screen("b", 40)});
    GazePicker p;
    // 30 degrees below both (height 0), pitch weighted 1.5: 45 degrees off.
    EXPECT_EQ(Id{}, p.update(Angle{0, -30}, l, 0));
    EXPECT_EQ(Id{}, p.current);
    EXPECT_EQ(Id{}, p.update(Angle{0, 0}, Layout{}, 0));
    // 16 degrees below: weighted 24, inside maxOff.
    EXPECT_EQ(Id("a"), p.update(Angle{0, -16}, l, 0));
}

TEST(GazePicker, KeyboardLook) {
    // The head 60 cm in front of the camera, the bias straight at the camera; one screen just
    // above the camera, and the keyboard 45 cm along a look 40 degrees down.
    const V3 head{0, 0, 60};
    Layout l;
    Screen s = screen("a", 0, 10, 40, 25);
    s.rect = Rect3{{0, 12, 0}, {1, 0, 0}, 25, 15};
    l.screens = {s, screen("far", 90)};
    l.bias = Angle{0, 0};
    l.keyboard = head + Head::direction(head, {0, -40}, {0, 0}, 1) * 45;

    struct Case {
        const char* name;
        Angle gaze;
        bool keyboard;
        Id result;
    };
    const Case cases[] = {
        {"straight at the keyboard", {0, -40}, true, {}},
        {"near it", {3, -34}, true, {}},
        {"at the screen", {0, 10}, false, "a"},
    };
    for (const auto& c : cases) {
        GazePicker p(std::string("far"));
        p.settle = 0;
        p.candidate = "x";
        EXPECT_EQ(c.result, p.update(c.gaze, l, 0, head)) << c.name;
        EXPECT_EQ(c.keyboard, p.atKeyboard) << c.name;
        if (c.keyboard) {
            EXPECT_EQ(Id{}, p.candidate) << c.name;
            EXPECT_EQ(Id("far"), p.current) << c.name;
        }
    }

    // An update without an angle leaves the flag as it was.
    GazePicker p;
    p.update(Angle{0, -40}, l, 0, head);
    ASSERT_TRUE(p.atKeyboard);
    p.update(std::nullopt, l, 0.1, head);
    EXPECT_TRUE(p.atKeyboard);

    // Without a bias the desk is not known in space: no keyboard test, angle scores only.
    Layout flat = l;
    flat.bias.reset();
    GazePicker q;
    q.maxOff = 100;
    EXPECT_EQ(Id("a"), q.update(Angle{0, -40}, flat, 0, head));
    EXPECT_FALSE(q.atKeyboard);
}

TEST(GazePicker, RayStartsAtTheHeadElseTheSeat) {
    // Looking at the camera (gaze equal to the bias) from wherever the ray starts: it crosses
    // z = 30 half-way there, at the middle of one of three small screens.
    auto at = [](const char* id, V3 centre) {
        Screen s = screen(id, 0);
        s.rect = Rect3{centre, {1, 0, 0}, 5, 5};
        return s;
    };
    Layout base;
    base.screens = {at("left", {-20, 0, 30}), at("right", {20, 0, 30}),
                    at("default", {0, -4.4, 30})};
    base.bias = Angle{2, -3};
    struct Case {
        const char* name;
        std::optional<V3> pos;
        std::optional<V3> seat;
        Id want;
    };
    const Case cases[] = {
        {"the head position first", V3{-40, 0, 60}, V3{40, 0, 60}, "left"},
        {"else the layout's seat", std::nullopt, V3{40, 0, 60}, "right"},
        {"else the default seat", std::nullopt, std::nullopt, "default"},
    };
    for (const auto& c : cases) {
        Layout l = base;
        l.seat = c.seat;
        GazePicker p;
        EXPECT_EQ(c.want, p.update(Angle{2, -3}, l, 0, c.pos)) << c.name;
    }
}

TEST(GazePicker, RayAndAngleScoresShareOneRanking) {
    // With a bias, a screen with a rectangle is scored by the ray (here: a hit, about 0) and a
    // screen without one by angle (here: 1 degree inside its box, so 100 × 0 + 1 + 0).
    const V3 head{0, 0, 60};
    Layout l;
    Screen byRay = screen("ray", 50, 0, 10, 10); // its angle box is far from the gaze
    byRay.rect = Rect3{{0, 0, 0}, {1, 0, 0}, 25, 15};
    Screen byAngle = screen("angle", 1, 0, 10, 10);
    l.screens = {byAngle, byRay};
    l.bias = Angle{0, 0};
    GazePicker p;
    EXPECT_EQ(Id("ray"), p.update(Angle{0, 0}, l, 0, head));
}
