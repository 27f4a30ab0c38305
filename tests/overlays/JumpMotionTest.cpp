#include "overlays/JumpMotion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace helm;
using Jumps::Point;

namespace {

JumpRecipe::Motion path(const char* name) {
    return {name, std::nullopt, std::nullopt};
}

const Jumps::Rect area{0, 0, 1000, 800};
const Point target{500, 400};

} // namespace

TEST(JumpMotion, EasingAndBounce) {
    const struct {
        const char* name;
        double x, want;
    } cases[] = {
        {"out", 0.5, 0.875},     {"nonsense", 0.5, 0.875},
        {"inout", 0.5, 0.5},     {"in", 2, 8},
        {"linear", 0.3, 0.3},    {"inout", 0.25, 0.0625},
        {"inout", 0.75, 0.9375}, {"spring", 1, 1 - std::exp(-7.0) * std::cos(11.0)},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(c.want, Jumps::ease(c.name, c.x)) << c.name << " " << c.x;
    }
    EXPECT_DOUBLE_EQ(0.875, Jumps::ease(std::optional<std::string>(), 0.5));
    EXPECT_DOUBLE_EQ(0, Jumps::bounceOut(0));
    EXPECT_DOUBLE_EQ(1, Jumps::bounceOut(1));
    for (double edge : {1 / 2.75, 2 / 2.75, 2.5 / 2.75}) {
        // The arcs meet: no jump where one arc hands over to the next.
        EXPECT_NEAR(Jumps::bounceOut(std::nextafter(edge, 0.0)), Jumps::bounceOut(edge), 1e-9);
    }
}

TEST(JumpMotion, DirectionLetter) {
    Screen from, to;
    from.id = "a";
    to.id = "b";
    const struct {
        double yaw, pitch, sign;
        const char* want;
    } cases[] = {
        {0, 0, 1, "R"},   {-30, 2, 1, "L"}, {30, 2, 1, "R"},  {-30, 2, -1, "R"},
        {30, 2, -1, "L"}, {2, 20, 1, "U"},  {2, -20, 1, "D"}, {10, 10, 1, "R"},
    };
    for (const auto& c : cases) {
        from.yaw = c.yaw;
        from.pitch = c.pitch;
        EXPECT_EQ(c.want, Jumps::direction(&from, to, c.sign)) << c.yaw << " " << c.pitch;
    }
    EXPECT_EQ("-", Jumps::direction(nullptr, to, 1));
    EXPECT_EQ("-", Jumps::direction(&to, to, 1));
}

TEST(JumpMotion, OriginStaysInsideTheArea) {
    EXPECT_EQ((Point{20, 300}), Jumps::origin(path("glide"), {10, 300}, "L", area));
    EXPECT_EQ((Point{720, 400}), Jumps::origin(path("glide"), target, "R", area));
    EXPECT_EQ((Point{500, 20}), Jumps::origin(path("glide"), {500, 100}, "U", area));
    EXPECT_EQ((Point{500, 790}), Jumps::origin(path("glide"), {500, 700}, "D", area, 0.5));
    // An area narrower than the insets: the maximum wins, nothing undefined.
    EXPECT_EQ((Point{-10, 400}), Jumps::origin(path("glide"), target, "L", {0, 0, 10, 800}));
}

TEST(JumpMotion, PathsStartAndEndWhereTheyShould) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const char* name :
         {"glide", "slingshot", "spiral", "bounce", "wiggle", "swoop", "portal", "unknown"}) {
        for (const char* dir : {"L", "R", "U", "D", "-"}) {
            auto at = [&](double p) { return Jumps::position(path(name), p, target, dir, area); };
            EXPECT_EQ(at(0), at(-1)) << name << dir;
            EXPECT_EQ(at(0), at(nan)) << name << dir;
            EXPECT_EQ(at(1), at(5)) << name << dir;
        }
    }
    for (const char* name : {"glide", "swoop", "unknown"}) {
        EXPECT_EQ(target, Jumps::position(path(name), 1, target, "U", area)) << name;
    }
    for (double p : {0.75, 0.9, 1.0}) {
        EXPECT_EQ(target, Jumps::position(path("portal"), p, target, "R", area));
    }
    // "glide" starts at the clamped start point and arches upwards half-way.
    EXPECT_EQ((Point{280, 400}), Jumps::position(path("glide"), 0, target, "L", area));
    EXPECT_DOUBLE_EQ(360, Jumps::position(path("glide"), 0.5, target, "L", area).y);
    // "slingshot" settles a hair off the target and is pulled back 40 beyond the start first.
    Point b{240, 400};
    Point end = Jumps::position(path("slingshot"), 1, target, "L", area);
    EXPECT_DOUBLE_EQ(b.x + (target.x - b.x) * Jumps::ease("spring", 1), end.x);
    EXPECT_EQ(b, Jumps::position(path("slingshot"), 0.2, target, "L", area));
    for (const char* dir : {"L", "R", "U", "D", "-"}) {
        EXPECT_EQ((Point{500, 180}), Jumps::position(path("bounce"), 0, target, dir, area));
    }
    // "spiral" starts at the full distance along the clamped start's angle: outside the area.
    Point spiral = Jumps::position(path("spiral"), 0, {30, 400}, "L", area);
    EXPECT_NEAR(-190, spiral.x, 1e-9);
    // "portal" slides from 30 beyond the exit into it, then out of the entry beside T.
    EXPECT_EQ((Point{250, 400}), Jumps::position(path("portal"), 0, target, "L", area));
    EXPECT_EQ((Point{464, 400}), Jumps::position(path("portal"), 0.35, target, "L", area));
}

TEST(JumpMotion, WiggleShakesAcrossTheArrival) {
    for (const char* dir : {"L", "R", "U", "D"}) {
        EXPECT_EQ(target, Jumps::position(path("wiggle"), 0.35, target, dir, area)) << dir;
        Point v = Jumps::dirVector(dir);
        Point w = Jumps::position(path("wiggle"), 0.35 + 0.65 / 12, target, dir, area);
        // A quarter period in: the full sideways swing, none along the arrival direction.
        double along = (w.x - target.x) * v.x + (w.y - target.y) * v.y;
        double across = (w.x - target.x) * -v.y + (w.y - target.y) * v.x;
        EXPECT_NEAR(0, along, 1e-9) << dir;
        EXPECT_NEAR(14 * (1 - 1.0 / 12), across, 1e-9) << dir;
    }
}
