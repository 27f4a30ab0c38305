#include "desk/Screen.h"
#include "desk/DisplayInfo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

using namespace helm;
using helm::json::Json;

namespace {

Screen plain() {
    Screen s;
    s.id = "mac/1-2-3";
    s.number = 1;
    s.name = "Built-in";
    s.computerName = "This Mac";
    return s;
}

Screen full() {
    Screen s = plain();
    s.id = "pc-one/4-5-6";
    s.computer = "pc-one";
    s.computerName = "PC ONE";
    s.display = 2;
    s.yaw = -12.5;
    s.pitch = 3;
    s.learned = true;
    s.rect = Rect3{{1, 2, -60}, {1, 0, 0}, 25, 14};
    s.mm = std::vector<double>{600, 340};
    s.portrait = false;
    s.px = std::vector<double>{2560, 1440};
    return s;
}

bool decodes(const Json& j) {
    try {
        Screen::fromJson(j);
        return true;
    } catch (const json::DecodeError&) {
        return false;
    }
}

} // namespace

TEST(Screen, IsPortrait) {
    using Px = std::optional<std::vector<double>>;
    struct Case {
        std::optional<bool> portrait;
        Px px;
        double width, height;
        bool expected;
    };
    const Case cases[] = {
        {false, Px{{1080, 1920}}, 30, 50, false}, // the flag wins
        {true, Px{{1920, 1080}}, 50, 30, true},
        {std::nullopt, Px{{1080, 1920}}, 50, 30, true}, // px before degrees
        {std::nullopt, Px{{1920, 1080}}, 30, 50, false},
        {std::nullopt, Px{{1920}}, 30, 50, false}, // px of another length: landscape
        {std::nullopt, Px{{1080, 1920, 1}}, 30, 50, false},
        {std::nullopt, std::nullopt, 30, 50, true},
        {std::nullopt, std::nullopt, 50, 30, false},
    };
    for (const auto& c : cases) {
        Screen s = plain();
        s.portrait = c.portrait;
        s.px = c.px;
        s.width = c.width;
        s.height = c.height;
        EXPECT_EQ(s.isPortrait(), c.expected) << &c - cases;
    }
}

TEST(Screen, SizeCm) {
    using Mm = std::optional<std::vector<double>>;
    struct Case {
        Mm mm;
        std::optional<bool> portrait;
        std::optional<Extent> expected;
    };
    const Case cases[] = {
        {Mm{{600, 340}}, std::nullopt, Extent{60, 34}},
        {Mm{{340, 600}}, true, Extent{34, 60}},
        {Mm{{600, 340}}, true, Extent{34, 60}},
        {Mm{{340, 600}}, false, Extent{60, 34}},
        {Mm{{50, 300}}, std::nullopt, std::nullopt}, // 50 is not above 50
        {Mm{{51, 30}}, std::nullopt, std::nullopt},  // nor 30 above 30
        {Mm{{51, 31}}, std::nullopt, Extent{5.1, 3.1}},
        {Mm{{600}}, std::nullopt, std::nullopt},
        {Mm{{600, 340, 1}}, std::nullopt, std::nullopt},
        {Mm{{std::nan(""), 340}}, std::nullopt, std::nullopt},
        {std::nullopt, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        Screen s = plain();
        s.mm = c.mm;
        s.portrait = c.portrait;
        EXPECT_EQ(s.sizeCm(), c.expected) << &c - cases;
    }
}

TEST(Screen, ContainsCountsEdgesAndLocal) {
    Screen s = plain();
    s.yaw = 10;
    s.pitch = -5;
    s.width = 20;
    s.height = 10;
    EXPECT_TRUE(s.contains({20, 0}));
    EXPECT_TRUE(s.contains({0, -10}));
    EXPECT_FALSE(s.contains({20.001, -5}));
    EXPECT_FALSE(s.contains({10, 0.001}));
    EXPECT_TRUE(s.local());
    EXPECT_FALSE(full().local());
}

TEST(ScreenJson, WritesOnlyPresentKeys) {
    Json j = plain().toJson();
    std::set<std::string> keys;
    for (auto it = j.begin(); it != j.end(); ++it) {
        keys.insert(it.key());
    }
    EXPECT_EQ(keys, (std::set<std::string>{"id", "number", "name", "computerName", "display", "yaw",
                                           "pitch", "width", "height", "learned"}));
    EXPECT_EQ(Screen::fromJson(j), plain());
    EXPECT_EQ(Screen::fromJson(full().toJson()), full());
    EXPECT_EQ(full().toJson().size(), 15u);
}

TEST(ScreenJson, DecodeRules) {
    const Json base = plain().toJson();
    // Every required key is required.
    for (auto it = base.begin(); it != base.end(); ++it) {
        Json j = base;
        j.erase(it.key());
        EXPECT_FALSE(decodes(j)) << it.key();
    }
    struct Case {
        const char* key;
        Json value;
        bool ok;
    };
    const Case cases[] = {
        {"learned", 1, false}, // a Boolean must be a JSON Boolean
        {"portrait", 0, false},
        {"portrait", true, true},
        {"portrait", nullptr, true}, // null optional is absent
        {"computer", nullptr, true},
        {"computer", 5, false},
        {"yaw", 3, true}, // integers are numbers
        {"number", 2.0, true},
        {"number", 2.5, false},
        {"number", 1e12, false},
        {"mm", Json::array({600, "340"}), false},
        {"px", "1920x1080", false},
        {"rect", Json::object(), false},
        {"somethingNew", "ignored", true},
        {"id", nullptr, false},
    };
    for (const auto& c : cases) {
        Json j = base;
        j[c.key] = c.value;
        EXPECT_EQ(decodes(j), c.ok) << c.key << " = " << c.value.dump();
    }
    Json j = base;
    j["portrait"] = nullptr;
    j["extra"] = {{"deep", 1}};
    EXPECT_EQ(Screen::fromJson(j), plain());
}

TEST(ScreenJson, RefusesNonFiniteNumbers) {
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<Screen> bad(5, full());
    bad[0].yaw = std::nan("");
    bad[1].height = -inf;
    bad[2].mm = std::vector<double>{600, inf};
    bad[3].px = std::vector<double>{std::nan(""), 1080};
    bad[4].rect->halfH = inf;
    for (const auto& s : bad) {
        EXPECT_THROW(s.toJson(), json::EncodeError);
    }
}

TEST(DisplayInfoJson, RoundTripAndStrictness) {
    const DisplayInfo d{"1552-41091-0", "Color LCD", 0, 0, 0, 1512, 982, 302, 196, true};
    const DisplayInfo e{"7789-1234-55", "DELL U2720Q", 1, 1512, -300, 2560, 1440, 597, 336, false};
    EXPECT_EQ(DisplayInfo::fromJson(d.toJson()), d);
    EXPECT_EQ(d.toJson().size(), 10u);
    std::vector<DisplayInfo> list{d, e};
    EXPECT_EQ(DisplayInfo::listFromJson(json::parse(json::dump(DisplayInfo::listToJson(list)))),
              list);
    EXPECT_TRUE(DisplayInfo::listFromJson(Json::array()).empty());
    EXPECT_THROW(DisplayInfo::listFromJson(d.toJson()), json::DecodeError);

    const Json base = d.toJson();
    for (auto it = base.begin(); it != base.end(); ++it) {
        Json j = base;
        j.erase(it.key());
        EXPECT_THROW(DisplayInfo::fromJson(j), json::DecodeError) << it.key();
    }
    struct Case {
        const char* key;
        Json value;
        bool ok;
    };
    const Case cases[] = {
        {"primary", 1, false}, {"index", 1.5, false}, {"index", 3, true},    {"w", 1920, true},
        {"mmW", "302", false}, {"key", 12, false},    {"extra", true, true},
    };
    for (const auto& c : cases) {
        Json j = base;
        j[c.key] = c.value;
        bool ok = true;
        try {
            DisplayInfo::fromJson(j);
        } catch (const json::DecodeError&) {
            ok = false;
        }
        EXPECT_EQ(ok, c.ok) << c.key;
    }
    DisplayInfo nan = d;
    nan.mmH = std::nan("");
    EXPECT_THROW(nan.toJson(), json::EncodeError);
}
