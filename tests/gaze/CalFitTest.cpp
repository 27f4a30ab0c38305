#include "gaze/CalFit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace helm;

namespace {

using Kind = CalTarget::Kind;

struct Entry {
    CalTarget target;
    Angle head;
    Angle eye{};
    std::optional<V3> pos{};
};

CalRecord recordOf(const std::vector<Entry>& entries) {
    CalRecord r;
    for (const auto& e : entries) {
        r.steps.push_back(CalStep{e.target, "x"});
        r.heads.push_back(e.head);
        r.eyes.push_back(e.eye);
        r.positions.push_back(e.pos);
    }
    return r;
}

CalTarget corner(const std::string& id, CalCorner at) {
    return CalTarget::corner(id, at);
}

Layout desk(std::vector<std::string> ids) {
    Layout l;
    int n = 1;
    for (auto& id : ids) {
        Screen s;
        s.id = id;
        s.number = n++;
        l.screens.push_back(s);
    }
    return l;
}

} // namespace

TEST(CalFit, ScreenBoxFromCornerAngles) {
    struct Case {
        const char* name;
        std::vector<Entry> entries;
        double mix;
        double yaw, pitch, width, height;
    };
    const Case cases[] = {
        {"four corners, mix 0.5",
         {{corner("s", CalCorner::tl), {-20, 10}},
          {corner("s", CalCorner::tr), {20, 10}},
          {corner("s", CalCorner::br), {20, -10}},
          {corner("s", CalCorner::bl), {-20, -10}}},
         0.5,
         0,
         0,
         46,
         25},
        {"mix 0 grows by 1.2 × 1.35",
         {{corner("s", CalCorner::tl), {0, 20}}, {corner("s", CalCorner::br), {30, 0}}},
         0,
         15,
         10,
         36,
         27},
        {"two points with equal yaw and pitch get the minimum box",
         {{corner("s", CalCorner::tl), {5, 5}}, {corner("s", CalCorner::br), {5, 5}}},
         0,
         5,
         5,
         8,
         6},
        // Eyes follow the head here (three corners, same direction): sign +1, half the eye added.
        {"eye mix adds the eyes",
         {{corner("s", CalCorner::tl), {-10, 0}, {-4, 0}},
          {corner("s", CalCorner::tr), {10, 0}, {4, 0}},
          {corner("s", CalCorner::br), {10, -10}, {4, 0}}},
         0.5,
         0,
         -5,
         1.15 * 24,
         12.5},
    };
    for (const auto& c : cases) {
        Layout l = desk({"s", "other"});
        Screen before = l.screens[1];
        apply(recordOf(c.entries), l, c.mix);
        const Screen& s = l.screens[0];
        EXPECT_NEAR(c.yaw, s.yaw, 1e-9) << c.name;
        EXPECT_NEAR(c.pitch, s.pitch, 1e-9) << c.name;
        EXPECT_NEAR(c.width, s.width, 1e-9) << c.name;
        EXPECT_NEAR(c.height, s.height, 1e-9) << c.name;
        EXPECT_TRUE(s.learned) << c.name;
        EXPECT_TRUE(s.rect) << c.name;
        EXPECT_EQ(before, l.screens[1]) << c.name;
        EXPECT_EQ(c.mix, l.mix) << c.name;
    }
}

TEST(CalFit, EyeSign) {
    struct Case {
        const char* name;
        std::vector<Entry> entries;
        Angle sign;
    };
    const Case cases[] = {
        {"fewer than three corners",
         {{corner("s", CalCorner::tl), {-10, 5}, {3, 3}},
          {corner("s", CalCorner::tr), {10, -5}, {-3, 3}}},
         {1, 1}},
        {"eyes against the head in yaw, with it in pitch",
         {{corner("s", CalCorner::tl), {-10, 5}, {3, 2}},
          {corner("s", CalCorner::tr), {10, 5}, {-3, 2}},
          {corner("s", CalCorner::br), {10, -5}, {-3, -2}}},
         {-1, 1}},
        // The warm-up steps would make three entries, and oppose the head, but only screen
        // points count.
        {"warm-up steps are not counted",
         {{CalTarget::camera(), {0, 0}, {5, 5}},
          {CalTarget::turnRight(), {20, 20}, {-5, -5}},
          {CalTarget::keyboard(), {0, -30}, {5, 5}},
          {corner("s", CalCorner::tl), {-10, 5}, {3, 3}},
          {corner("s", CalCorner::tr), {10, -5}, {-3, -3}}},
         {1, 1}},
        {"no variation counts as +1",
         {{corner("s", CalCorner::tl), {0, 0}},
          {corner("s", CalCorner::tr), {0, 0}},
          {corner("s", CalCorner::br), {0, 0}}},
         {1, 1}},
    };
    for (const auto& c : cases) {
        Layout l = desk({"s"});
        apply(recordOf(c.entries), l, 0);
        EXPECT_EQ(c.sign, l.eyeSign) << c.name;
    }
}

TEST(CalFit, BiasYawSignSeatAndKeyboard) {
    Entry camera{CalTarget::camera(), {2, -3}, {}, V3{0, -8, 60}};
    Entry right{CalTarget::turnRight(), {-25, -3}, {}, V3{0, -8, 60}};
    Entry keyboard{CalTarget::keyboard(), {2, -33}};

    Layout l = desk({"s"});
    apply(recordOf({camera, right, keyboard}), l, 0);
    EXPECT_EQ((Angle{2, -3}), l.bias);
    EXPECT_EQ(-1, l.rightSign); // turning right lowered the head yaw
    EXPECT_EQ((V3{0, -8, 60}), l.seat);
    // The keyboard: 45 cm from the seat along a look 30 degrees below the camera direction.
    ASSERT_TRUE(l.keyboard);
    EXPECT_NEAR(45, (*l.keyboard - *l.seat).length(), 1e-9);
    EXPECT_LT(l.keyboard->y, -20);

    // Either warm-up step alone leaves bias and yaw sign as they were.
    for (const auto& only : {camera, right}) {
        Layout k = desk({"s"});
        k.rightSign = -1;
        k.bias = Angle{7, 7};
        apply(recordOf({only}), k, 0);
        EXPECT_EQ(-1, k.rightSign);
        EXPECT_EQ((Angle{7, 7}), k.bias);
    }

    // No positions at all: the seat stays, or becomes the default seat when there was none.
    Layout none = desk({"s"});
    apply(recordOf({keyboard}), none, 0);
    EXPECT_EQ(V3::seat, none.seat);
    Layout kept = desk({"s"});
    kept.seat = V3{1, 2, 70};
    apply(recordOf({keyboard}), kept, 0);
    EXPECT_EQ((V3{1, 2, 70}), kept.seat);
    EXPECT_NEAR(45, (*kept.keyboard - V3{1, 2, 70}).length(), 1e-9);

    // Applying twice gives the same layout.
    Layout twice = l;
    apply(recordOf({camera, right, keyboard}), twice, 0);
    EXPECT_EQ(l, twice);
}

TEST(CalFit, YawSignFromRawHeadYaws) {
    // The eyes can swing the combined angle the other way; the yaw sign still follows the
    // head alone, while the bias is the combined angle at the camera.
    struct Case {
        const char* name;
        Angle rightHead, rightEye;
        double rightSign;
    };
    const Case cases[] = {
        {"head right, eyes far left", {5, 0}, {-20, 0}, 1},
        {"head left, eyes far right", {-5, 0}, {20, 0}, -1},
    };
    for (const auto& c : cases) {
        Layout l = desk({"s"});
        apply(recordOf({{CalTarget::camera(), {1, 2}, {2, 2}},
                        {CalTarget::turnRight(), c.rightHead, c.rightEye}}),
              l, 1);
        EXPECT_EQ(c.rightSign, l.rightSign) << c.name;
        EXPECT_EQ((Angle{3, 4}), l.bias) << c.name;
    }
}

TEST(CalFit, RectangleFitTakesThePointsInCornerOrder) {
    // The same nine looks captured in different orders place the same rectangle: the rays
    // reach the fit in corner order (so its first and third are opposite corners), starting
    // from the top-left point's head position.
    auto entry = [](CalCorner at) {
        auto [x, y] = spot(at);
        return Entry{
            corner("s", at), {(x - 0.5) * 30, 10 - (y - 0.5) * 16}, {}, V3{x * 4, y * 2, 60}};
    };
    using C = CalCorner;
    const std::vector<std::vector<C>> orders = {
        {C::tl, C::mt, C::tr, C::mr, C::br, C::mb, C::bl, C::ml, C::c},
        {C::c, C::bl, C::mt, C::tr, C::ml, C::br, C::tl, C::mr, C::mb},
    };
    Layout reference = desk({"s"});
    std::vector<Entry> declared;
    for (C at : allCalCorners) {
        declared.push_back(entry(at));
    }
    apply(recordOf(declared), reference, 0);
    ASSERT_TRUE(reference.screens[0].rect);
    for (const auto& order : orders) {
        std::vector<Entry> entries;
        for (C at : order) {
            entries.push_back(entry(at));
        }
        Layout l = desk({"s"});
        apply(recordOf(entries), l, 0);
        EXPECT_EQ(reference.screens[0].rect, l.screens[0].rect) << rawValue(order[0]);
    }
}

TEST(CalFit, SkipsWhatItCannotFit) {
    Layout l = desk({"s"});
    Layout before = l;
    // One point per screen, and a screen that left the layout: nothing to fit.
    apply(recordOf({{corner("s", CalCorner::tl), {1, 1}},
                    {corner("gone", CalCorner::tl), {1, 1}},
                    {corner("gone", CalCorner::br), {9, 9}}}),
          l, 0);
    EXPECT_EQ(before.screens, l.screens);

    // Lists of unequal length are read only as far as all of them go.
    CalRecord uneven = recordOf({{corner("s", CalCorner::tl), {-10, 5}},
                                 {corner("s", CalCorner::br), {10, -5}},
                                 {corner("s", CalCorner::bl), {-10, -5}}});
    uneven.heads.pop_back();
    uneven.positions.clear();
    apply(uneven, l, 0);
    EXPECT_NEAR(24, l.screens[0].width, 1e-9);
}

TEST(CalFit, MergeKeepsWhatTheNewRunDidNotRelearn) {
    CalRecord stored = recordOf({{CalTarget::camera(), {0, 0}},
                                 {CalTarget::turnRight(), {20, 0}},
                                 {CalTarget::keyboard(), {0, -30}},
                                 {corner("a", CalCorner::tl), {-10, 5}, {}, V3{1, 1, 1}},
                                 {corner("b", CalCorner::tl), {30, 5}},
                                 {corner("a", CalCorner::br), {10, -5}}});
    CalRecord relearnA = recordOf({{corner("a", CalCorner::tl), {-11, 6}, {}, V3{2, 2, 2}},
                                   {corner("a", CalCorner::tr), {11, 6}}});

    EXPECT_EQ(relearnA, merged(relearnA, std::nullopt));

    CalRecord m = merged(relearnA, stored);
    ASSERT_EQ(6u, m.steps.size());
    std::vector<CalTarget> targets;
    for (const auto& s : m.steps) {
        targets.push_back(s.target);
    }
    EXPECT_EQ(targets,
              (std::vector<CalTarget>{CalTarget::camera(), CalTarget::turnRight(),
                                      CalTarget::keyboard(), corner("b", CalCorner::tl),
                                      corner("a", CalCorner::tl), corner("a", CalCorner::tr)}));
    EXPECT_EQ((Angle{30, 5}), m.heads[3]);
    EXPECT_EQ((Angle{-11, 6}), m.heads[4]);
    EXPECT_EQ((std::vector<std::optional<V3>>{std::nullopt, std::nullopt, std::nullopt,
                                              std::nullopt, V3{2, 2, 2}, std::nullopt}),
              m.positions);

    // A run that began at the camera replaces the stored record whole.
    CalRecord full =
        recordOf({{CalTarget::camera(), {1, 1}}, {corner("a", CalCorner::tl), {0, 0}}});
    EXPECT_EQ(full, merged(full, stored));
}
