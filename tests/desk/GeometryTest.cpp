#include "desk/Angle.h"
#include "desk/Rect3.h"
#include "desk/V3.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

using namespace helm;
using helm::json::Json;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The distance `fit` chose, read back from the centre: c = from + mean(unit rays) × D.
double fittedDistance(const V3& from, const std::vector<V3>& rays, const Rect3& r) {
    V3 sum;
    for (const V3& ray : rays) {
        sum = sum + ray.unit();
    }
    V3 mean = sum * (1.0 / static_cast<double>(rays.size()));
    return (r.c - from).length() / mean.length();
}

// A unit ray in the horizontal plane, `deg` degrees to the right of straight ahead (-z).
V3 ahead(double deg) {
    double a = deg * std::numbers::pi / 180;
    return {std::sin(a), 0, -std::cos(a)};
}

// The angle (degrees) between two rays whose chord is `chord`.
double degForChord(double chord) {
    return 2 * std::asin(chord / 2) * 180 / std::numbers::pi;
}

} // namespace

TEST(V3, UnitLeavesZeroAndNaNUntouched) {
    EXPECT_EQ(V3{}.unit(), V3{});
    V3 u = V3{3, 0, 4}.unit();
    EXPECT_NEAR(u.x, 0.6, 1e-15);
    EXPECT_EQ(u.y, 0);
    EXPECT_NEAR(u.z, 0.8, 1e-15);
    V3 n = V3{kNaN, 1, 0}.unit();
    EXPECT_TRUE(std::isnan(n.x));
    EXPECT_EQ(n.y, 1);
}

TEST(V3, DegreesBetweenIsClampedAndAcceptsAnyLength) {
    struct Case {
        V3 a, b;
        double deg;
    };
    const Case cases[] = {
        {{1, 0, 0}, {0, 2, 0}, 90},
        {{1, 0, 0}, {-3, 0, 0}, 180},
        // Rounding can push the dot of two equal directions just past 1: must still be 0.
        {{1, 1, 1}, {3, 3, 3}, 0},
        {{0.1, 0.7, 0.3}, {0.1, 0.7, 0.3}, 0},
        {{0, 0, 0}, {1, 0, 0}, 90}, // a zero vector is passed through, never divided by
    };
    for (const auto& c : cases) {
        double d = degreesBetween(c.a, c.b);
        EXPECT_FALSE(std::isnan(d));
        EXPECT_NEAR(d, c.deg, 1e-5); // acos is coarse next to 1
    }
}

TEST(Rect3, FitViewingDistance) {
    const V3 from{1, -8, 50};
    const Extent size{50, 30};
    // inset 2.1, span hypot(45.8, 25.8)
    const double span = std::hypot(45.8, 25.8);
    struct Case {
        const char* what;
        std::vector<V3> rays;
        std::optional<Extent> size;
        double distance;
    };
    const Case cases[] = {
        {"single ray with a size", {ahead(10)}, size, 60},
        {"no size", {ahead(-10), ahead(0), ahead(10)}, std::nullopt, 60},
        {"chord 0.5", {ahead(0), ahead(5), ahead(degForChord(0.5))}, size, span / 0.5},
        {"chord below 0.01", {ahead(0), ahead(0), ahead(degForChord(0.0099))}, size, 60},
        {"narrow chord clamps to 200", {ahead(0), ahead(0), ahead(degForChord(0.02))}, size, 200},
        {"wide chord clamps to 30", {ahead(-80), ahead(0), ahead(80)}, size, 30},
        {"two rays use the second", {ahead(0), ahead(degForChord(0.5))}, size, span / 0.5},
        {"four rays use the third", {ahead(0), ahead(30), ahead(0), ahead(30)}, size, 60},
    };
    for (const auto& c : cases) {
        Rect3 r = Rect3::fit(from, c.rays, c.size);
        EXPECT_NEAR(fittedDistance(from, c.rays, r), c.distance, 1e-6) << c.what;
    }
    EXPECT_NEAR(span / 0.5, 105.1, 0.05);
}

TEST(Rect3, FitShape) {
    // One ray straight ahead: a minimum screen 60 cm in front, facing the user.
    Rect3 one = Rect3::fit({0, 0, 0}, {{0, 0, -2}});
    EXPECT_EQ(one, (Rect3{{0, 0, -60}, {1, 0, 0}, 5, 4}));

    // Coinciding rays give the minimum half sizes whatever the growth.
    for (Extent grow : {Extent{1.2, 1.35}, Extent{3, 3}, Extent{100, 100}}) {
        Rect3 r = Rect3::fit({0, -8, 55}, {{0.2, 0.1, -1}, {0.2, 0.1, -1}, {0.2, 0.1, -1}},
                             Extent{50, 30}, grow);
        EXPECT_EQ(r.halfW, 5);
        EXPECT_EQ(r.halfH, 4);
        EXPECT_EQ(r.u.y, 0);
        EXPECT_NEAR(r.u.length(), 1, 1e-12);
    }

    // Spread grown to the edges.
    Rect3 wide = Rect3::fit({0, 0, 0}, {{-0.3, 0.2, -1}, {0.3, -0.2, -1}});
    double x = 0.3 / std::sqrt(1.13) * 60;
    double y = 0.2 / std::sqrt(1.13) * 60;
    EXPECT_NEAR(wide.halfW, 1.2 * x, 1e-9);
    EXPECT_NEAR(wide.halfH, 1.35 * y, 1e-9);
    EXPECT_EQ(wide.u, (V3{1, 0, 0}));

    // A screen off to the right turns its axis towards the user.
    Rect3 side = Rect3::fit({0, 0, 0}, {{1, 0, -1}});
    EXPECT_NEAR(side.u.x, std::sqrt(0.5), 1e-12);
    EXPECT_NEAR(side.u.z, std::sqrt(0.5), 1e-12);

    // No rays at all must not produce NaNs.
    Rect3 none = Rect3::fit({0, 0, 0}, {});
    EXPECT_EQ(none, one);
}

TEST(Rect3, MissAndCentre) {
    const Rect3 r{{0, 0, -60}, {1, 0, 0}, 20, 10};
    const V3 o{0, 0, 0};
    EXPECT_EQ(r.miss(o, {0, 0, -1}), 0);
    EXPECT_EQ(r.miss(o, V3{19.9, 9.9, -60}.unit()), 0);
    EXPECT_EQ(r.miss(o, V3{20, -10, -60}.unit()), 0); // the edge counts as a hit

    double justOutside = r.miss(o, V3{21, 0, -60}.unit());
    EXPECT_GT(justOutside, 0);
    EXPECT_LT(justOutside, 3);
    EXPECT_GT(r.miss(o, V3{40, 0, -60}.unit()), justOutside);

    // Parallel to the plane: the nearest-point rule, one unit along the ray.
    EXPECT_NEAR(r.miss(o, {1, 0, 0}), 90 - std::atan(1.0 / 60) * 180 / std::numbers::pi, 1e-9);
    // Screen behind the origin.
    EXPECT_NEAR(r.miss(o, {0, 0, 1}), 180, 1e-9);

    EXPECT_NEAR(r.centre(o, {0, 0, -1}), 0, 1e-12);
    EXPECT_NEAR(r.centre(o, {1, 0, 0}), 90, 1e-12);
    EXPECT_NEAR(r.centre({60, 0, -60}, {-1, 0, 0}), 0, 1e-12);

    // A damaged rectangle with negative half sizes gives a number, not undefined behaviour.
    const Rect3 bad{{0, 0, -60}, {1, 0, 0}, -5, -5};
    EXPECT_FALSE(std::isnan(bad.miss(o, {1, 0, 0})));
}

TEST(GeometryJson, RoundTripsAndRefusesBadInput) {
    const Rect3 r{{1.5, -2, 3}, {0.6, 0, 0.8}, 20, 11.25};
    EXPECT_EQ(Rect3::fromJson(r.toJson()), r);
    EXPECT_EQ(Angle::fromJson(Angle{-3.5, 2}.toJson()), (Angle{-3.5, 2}));
    EXPECT_EQ(r.toJson().size(), 4u);

    // Integers are numbers; unknown keys are ignored.
    EXPECT_EQ(V3::fromJson(json::parse(R"({"x": 1, "y": -2, "z": 3.5, "w": "?"})")),
              (V3{1, -2, 3.5}));

    for (const char* text : {
             R"({"x": 1, "y": 2})",
             R"({"x": 1, "y": 2, "z": null})",
             R"({"x": 1, "y": 2, "z": "3"})",
             R"([1, 2, 3])",
         }) {
        EXPECT_THROW(V3::fromJson(json::parse(text)), json::DecodeError) << text;
    }
    EXPECT_THROW(Angle::fromJson(json::parse(R"({"yaw": 1})")), json::DecodeError);
    EXPECT_THROW(Rect3::fromJson(json::parse(R"({"c": {"x":0,"y":0,"z":0}, "u": {"x":1,"y":0},
                                                 "halfW": 1, "halfH": 1})")),
                 json::DecodeError);

    for (double bad : {kNaN, std::numeric_limits<double>::infinity()}) {
        EXPECT_THROW((V3{0, bad, 0}.toJson()), json::EncodeError);
        EXPECT_THROW((Angle{bad, 0}.toJson()), json::EncodeError);
        EXPECT_THROW((Rect3{{}, {1, 0, 0}, bad, 1}.toJson()), json::EncodeError);
        EXPECT_THROW((Rect3{{0, 0, bad}, {1, 0, 0}, 1, 1}.toJson()), json::EncodeError);
    }
}
