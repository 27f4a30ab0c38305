#include "desk/Layout.h"
#include "desk/Setups.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

using namespace helm;
using helm::json::Json;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double deg(double rad) {
    return rad * 180 / std::numbers::pi;
}

Screen screen(std::string id, int display, std::optional<std::string> computer = std::nullopt) {
    Screen s;
    s.id = std::move(id);
    s.display = display;
    s.computer = std::move(computer);
    s.computerName = s.computer ? "PC" : "This Mac";
    return s;
}

Layout calibrated() {
    Layout l;
    Screen a = screen("mac/1-2-3", 0);
    a.number = 1;
    a.learned = true;
    a.rect = Rect3{{0, 10, -5}, {1, 0, 0}, 16, 10};
    a.mm = std::vector<double>{302, 196};
    Screen b = screen("pc-one/7-8-9", 1, "pc-one");
    b.number = 2;
    b.yaw = 40;
    b.portrait = true;
    l.screens = {a, b};
    l.rightSign = -1;
    l.bias = Angle{2, -3};
    l.seat = V3{1, -7, 52};
    l.keyboard = V3{0, -30, 30};
    l.cal = CalRecord{
        {{CalTarget::camera(), "Look at the camera."}}, {{2, -3}}, {{0, 0}}, {std::nullopt}};
    l.mix = 0.5;
    l.eyeSign = Angle{-1, 1};
    return l;
}

} // namespace

TEST(Layout, Degrees) {
    struct Case {
        double w, h, mmW, mmH;
        std::optional<Extent> expected;
    };
    const Case cases[] = {
        {1512, 982, 300, 190, Extent{deg(2 * std::atan(0.3)), deg(2 * std::atan(0.19))}},
        {2560, 1440, 600, 340,
         Extent{deg(2 * std::atan(300.0 / 700)), deg(2 * std::atan(170.0 / 700))}},
        // No physical size: a quarter millimetre per point; 480 mm wide sits at 700 mm.
        {1920, 1080, 0, 0,
         Extent{deg(2 * std::atan(240.0 / 700)), deg(2 * std::atan(135.0 / 700))}},
        // 50 mm and 30 mm are not believed either.
        {1000, 1000, 50, 30,
         Extent{deg(2 * std::atan(125.0 / 500)), deg(2 * std::atan(125.0 / 500))}},
        {1000, 1000, 379, 100, Extent{deg(2 * std::atan(189.5 / 500)), deg(2 * std::atan(0.1))}},
        {1000, 1000, 380, 100,
         Extent{deg(2 * std::atan(190.0 / 700)), deg(2 * std::atan(50.0 / 700))}},
        {1000, 1000, kNaN, 100, Extent{deg(2 * std::atan(125.0 / 500)), deg(2 * std::atan(0.1))}},
        // Millimetres alone are enough; a display with neither gets no angles at all.
        {0, 1080, 600, 340,
         Extent{deg(2 * std::atan(300.0 / 700)), deg(2 * std::atan(170.0 / 700))}},
        {kNaN, kInf, 600, 340,
         Extent{deg(2 * std::atan(300.0 / 700)), deg(2 * std::atan(170.0 / 700))}},
        {1920, 0, 0, 0, std::nullopt},
        {-1920, 1080, 0, 0, std::nullopt},
        {kNaN, 1080, 0, 340, std::nullopt},
        {1920, 1080, kInf, 340, std::nullopt},
    };
    for (const auto& c : cases) {
        DisplayInfo d{"1-2-3", "D", 0, 0, 0, c.w, c.h, c.mmW, c.mmH, true};
        auto got = Layout::degrees(d);
        ASSERT_EQ(got.has_value(), c.expected.has_value()) << &c - cases;
        if (got) {
            EXPECT_NEAR(got->w, c.expected->w, 1e-9) << &c - cases;
            EXPECT_NEAR(got->h, c.expected->h, 1e-9) << &c - cases;
            EXPECT_TRUE(std::isfinite(got->w) && std::isfinite(got->h));
        }
    }
    auto laptop = Layout::degrees({"k", "n", 0, 0, 0, 1512, 982, 300, 190, true});
    EXPECT_NEAR(laptop->w, 33.40, 0.005);
    EXPECT_NEAR(laptop->h, 21.52, 0.005);
    auto monitor = Layout::degrees({"k", "n", 0, 0, 0, 2560, 1440, 600, 340, true});
    EXPECT_NEAR(monitor->w, 46.40, 0.005);
    EXPECT_NEAR(monitor->h, 27.30, 0.005);
}

TEST(Layout, Gaze) {
    const Angle head{10, 2};
    const Angle eye{4, -2};
    struct Case {
        std::optional<double> mix;
        std::optional<Angle> eyeSign;
        std::optional<Angle> eye;
        Angle expected;
    };
    const Case cases[] = {
        {0.0, std::nullopt, eye, head},          {std::nullopt, std::nullopt, eye, head},
        {0.5, std::nullopt, std::nullopt, head}, {-0.5, std::nullopt, eye, head},
        {0.5, std::nullopt, eye, {12, 1}},       {0.5, Angle{-1, 1}, eye, {8, 1}},
        {1.0, Angle{1, -1}, eye, {14, 4}},
    };
    for (const auto& c : cases) {
        Layout l;
        l.mix = c.mix;
        l.eyeSign = c.eyeSign;
        EXPECT_EQ(l.gaze(head, c.eye), c.expected) << &c - cases;
    }
}

TEST(Layout, HubIDAndScreenLookup) {
    Layout l;
    EXPECT_EQ(l.hubID(), std::nullopt);
    l.screens = {screen("pc/1-1-1", -1, "pc"), screen("mac/a", 2), screen("mac/b", 0),
                 screen("mac/c", 0)};
    EXPECT_EQ(l.hubID(), "mac/b"); // PC screens never count; ties keep layout order
    l.screens = {screen("pc/1-1-1", 0, "pc")};
    EXPECT_EQ(l.hubID(), std::nullopt);

    Screen first = screen("mac/x", 1);
    first.name = "first";
    Screen second = screen("mac/x", 2);
    l.screens = {screen("mac/y", 0), first, second};
    EXPECT_EQ(l.screen("mac/x"), first);
    EXPECT_EQ(l.screen("mac/z"), std::nullopt);
}

TEST(Layout, Guess) {
    Screen s = screen("mac/1", 0);
    s.width = 40;
    s.height = 24;
    const V3 seat = V3::seat;

    Rect3 r = Rect3::guess(s, Layout{});
    EXPECT_NEAR((r.c - seat).length(), 60, 1e-9);
    EXPECT_NEAR(degreesBetween(r.c - seat, V3{} - seat), 0, 1e-5); // towards the camera
    EXPECT_NEAR(r.halfW, std::tan(20 * std::numbers::pi / 180) * 60, 1e-9);
    EXPECT_NEAR(r.halfH, std::tan(12 * std::numbers::pi / 180) * 60, 1e-9);
    EXPECT_EQ(r.u.y, 0);
    EXPECT_NEAR(r.u.length(), 1, 1e-12);

    // A yaw to the right in the layout's own sign convention lands right of the camera.
    Screen right = s;
    right.yaw = 30;
    EXPECT_GT(Rect3::guess(right, Layout{}).c.x, 5);
    Layout flipped;
    flipped.rightSign = -1;
    EXPECT_LT(Rect3::guess(right, flipped).c.x, -5);

    // The bias is taken off the screen's angles; the layout's seat replaces the default.
    Layout biased;
    biased.bias = Angle{30, -4};
    Screen both = right;
    both.pitch = -4;
    Rect3 b = Rect3::guess(both, biased);
    EXPECT_NEAR(b.c.x, r.c.x, 1e-9);
    EXPECT_NEAR(b.c.y, r.c.y, 1e-9);
    EXPECT_NEAR(b.c.z, r.c.z, 1e-9);
    Layout seated;
    seated.seat = V3{10, 0, 60};
    EXPECT_NEAR((Rect3::guess(s, seated).c - V3{10, 0, 60}).length(), 60, 1e-9);
}

TEST(LayoutJson, RoundTripAndRequiredKeys) {
    Json empty = Layout{}.toJson();
    EXPECT_EQ(empty, json::parse(R"({"screens": [], "rightSign": 1.0})"));
    EXPECT_EQ(Layout::decode(Layout{}.encode()), Layout{});
    EXPECT_EQ(Layout::decode(calibrated().encode()), calibrated());
    EXPECT_EQ(calibrated().toJson().size(), 8u);

    struct Case {
        const char* what;
        const char* text;
        bool ok;
    };
    const Case cases[] = {
        {"no rightSign", R"({"screens": []})", false},
        {"no screens", R"({"rightSign": 1})", false},
        {"integer rightSign", R"({"screens": [], "rightSign": -1})", true},
        {"null optionals", R"({"screens": [], "rightSign": 1, "bias": null, "cal": null})", true},
        {"unknown keys", R"({"screens": [], "rightSign": 1, "zoom": [1, 2]})", true},
        {"mix as text", R"({"screens": [], "rightSign": 1, "mix": "0.5"})", false},
        {"bad screen", R"({"screens": [{"id": "mac/1"}], "rightSign": 1})", false},
        {"bad seat", R"({"screens": [], "rightSign": 1, "seat": {"x": 0, "y": 0}})", false},
        {"bad cal", R"({"screens": [], "rightSign": 1, "cal": {"steps": []}})", true},
        {"not an object", R"([])", false},
        {"not JSON", R"({"screens": [)", false},
    };
    for (const auto& c : cases) {
        bool ok = true;
        try {
            Layout::decode(c.text);
        } catch (const json::DecodeError&) {
            ok = false;
        }
        EXPECT_EQ(ok, c.ok) << c.what;
    }
}

// A damaged calibration record loses only itself, and says so; the setups name their own.
TEST(LayoutJson, ADamagedCalibrationRecordIsDroppedAlone) {
    Json stored = calibrated().toJson();
    stored["cal"]["heads"].erase(0);
    std::vector<std::string> dropped;
    Layout l = Layout::fromJson(stored, &dropped);
    Layout want = calibrated();
    want.cal.reset();
    EXPECT_EQ(want, l);
    EXPECT_EQ((std::vector<std::string>{
                  "calibration record dropped (\"cal\": lists do not match the steps)"}),
              dropped);

    Json setups = {{"list", Json::array({{{"name", "Work"}, {"layout", stored}}})},
                   {"active", "Work"}};
    dropped.clear();
    EXPECT_EQ(want, Setups::fromJson(setups, &dropped).list[0].layout);
    ASSERT_EQ(1u, dropped.size());
    EXPECT_EQ(0u, dropped[0].rfind("setup Work: calibration record dropped", 0));
}

// The calibration record is written with its keys in its own order.
TEST(LayoutJson, TheCalibrationRecordKeepsItsKeyOrder) {
    const std::string text = json::dump(calibrated().toJson());
    const std::size_t cal = text.find("\"cal\":");
    ASSERT_NE(std::string::npos, cal);
    std::vector<std::size_t> at;
    for (const char* key : {"\"steps\"", "\"heads\"", "\"eyes\"", "\"positions\""}) {
        at.push_back(text.find(key, cal));
    }
    EXPECT_TRUE(std::is_sorted(at.begin(), at.end())) << text.substr(cal, 200);
}

TEST(LayoutJson, NonFiniteLayoutIsNeverWritten) {
    std::vector<Layout> bad(6, calibrated());
    bad[0].rightSign = kNaN;
    bad[1].mix = kInf;
    bad[2].seat->z = -kInf;
    bad[3].screens[1].width = kNaN;
    bad[4].cal->heads[0].yaw = kNaN;
    bad[5].screens[0].rect->c.x = kInf;
    bad.push_back(calibrated()); // a name that is not UTF-8 is refused the same way
    bad.back().screens[1].computerName = "PC \xff";
    for (const auto& l : bad) {
        std::string stored = calibrated().encode();
        const std::string before = stored;
        EXPECT_THROW(stored = l.encode(), json::EncodeError) << &l - bad.data();
        EXPECT_EQ(stored, before);
    }
}
