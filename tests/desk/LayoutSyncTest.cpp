#include "desk/DisplayList.h"
#include "desk/Layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

using namespace helm;

namespace {

DisplayInfo display(std::string key, int index, double x, double y = 0, double w = 1920,
                    double h = 1080) {
    // 600 × 340 mm: a desk monitor, 46.40° × 27.30° at 700 mm.
    return {std::move(key), "Panel " + std::to_string(index), index, x, y, w, h, 600, 340,
            index == 0};
}

Screen placed(std::string id, int number, double yaw, double width,
              std::optional<std::string> computer = std::nullopt) {
    Screen s;
    s.id = std::move(id);
    s.number = number;
    s.yaw = yaw;
    s.width = width;
    s.computer = std::move(computer);
    return s;
}

std::vector<std::string> ids(const Layout& l) {
    std::vector<std::string> out;
    for (const Screen& s : l.screens) {
        out.push_back(s.id + "#" + std::to_string(s.number));
    }
    return out;
}

const double kWide = 2 * std::atan(600.0 / 2 / 700) * 180 / std::numbers::pi;

} // namespace

TEST(LayoutSync, MergesScreensByIdNumberingAndPlacingNewOnes) {
    struct Case {
        const char* name;
        Layout before;
        std::optional<std::string> computer;
        std::vector<DisplayInfo> displays;
        std::vector<std::string> after; // id#number in layout order
        double lastYaw;                 // of the last screen
    };
    Layout ab;
    ab.screens = {placed("mac/A", 1, -7, 30), placed("mac/B", 2, 40, 30),
                  placed("pc/X", 3, 80, 30, "pc")};
    Layout edge20;
    edge20.screens = {placed("mac/A", 1, 5, 30)}; // right edge at 20°
    Layout flipped = edge20;
    flipped.rightSign = -1;
    flipped.screens[0].yaw = -5; // right edge at 20° in the flipped frame
    Layout gaps;
    gaps.screens = {placed("mac/A", 1, 0, 30), placed("mac/B", 2, 0, 30),
                    placed("mac/D", 4, 0, 30)};
    const Case cases[] = {
        {"A and B merged with A and C: B goes, A stays put, C takes the free number",
         ab,
         std::nullopt,
         {display("A", 0, 0), display("C", 1, 1920)},
         {"mac/A#1", "pc/X#3", "mac/C#2"},
         // C sits one screen to the right of the primary: 1920 points at the mean scale
         1920 / (1920 / kWide)},
        {"a PC's first screen starts 4° beyond a right edge at 20°",
         edge20,
         "pc",
         {display("P", 0, 100)},
         {"mac/A#1", "pc/P#2"},
         24 + kWide / 2},
        {"a PC's first screen on an empty desk starts at 4°",
         Layout(),
         "pc",
         {display("P", 0, 100)},
         {"pc/P#1"},
         4 + kWide / 2},
        {"rightSign -1 negates a PC's placement",
         flipped,
         "pc",
         {display("P", 0, 0)},
         {"mac/A#1", "pc/P#2"},
         -(24 + kWide / 2)},
        {"rightSign -1 negates this computer's placement",
         flipped,
         std::nullopt,
         {display("A", 0, 0), display("R", 1, 1920)},
         {"mac/A#1", "mac/R#2"},
         -kWide},
        {"new screens take the free numbers 3 and 5 in index order",
         gaps,
         std::nullopt,
         {display("A", 0, 0), display("F", 4, 0), display("B", 1, 0), display("E", 3, 0),
          display("D", 2, 0)},
         {"mac/A#1", "mac/B#2", "mac/D#4", "mac/E#3", "mac/F#5"},
         0},
        {"an empty list removes only that computer's screens",
         ab,
         std::nullopt,
         {},
         {"pc/X#3"},
         80},
        {"a PC reporting one key twice keeps two screens",
         Layout(),
         "pc",
         {display("K", 0, 0), display("K", 1, 1920), display("K#2", 2, 3840)},
         {"pc/K#1", "pc/K#3#2", "pc/K#2#3"},
         4 + 3840 / (1920 / kWide) + kWide / 2},
    };
    for (const Case& c : cases) {
        Layout l = c.before;
        EXPECT_TRUE(l.sync(c.computer, "Name", c.displays).empty()) << c.name;
        EXPECT_EQ(c.after, ids(l)) << c.name;
        EXPECT_NEAR(c.lastYaw, l.screens.back().yaw, 1e-9) << c.name;
    }
}

TEST(LayoutSync, KnownScreensKeepTheirPlaceAndLearnedOnesTheirSize) {
    for (bool learned : {false, true}) {
        Layout l;
        l.screens = {placed("mac/A", 1, -7, 30)};
        l.screens[0].learned = learned;
        l.screens[0].pitch = 3;
        DisplayInfo d = display("A", 2, 500, 200);
        d.mmW = 300; // a laptop panel now: 33.40° wide at 500 mm
        l.sync(std::nullopt, "Name", {d});
        const Screen& s = l.screens[0];
        EXPECT_EQ(-7, s.yaw);
        EXPECT_EQ(3, s.pitch);
        EXPECT_EQ(2, s.display);
        EXPECT_EQ("Panel 2", s.name);
        EXPECT_EQ((std::vector<double>{300, 340}), *s.mm);
        EXPECT_NEAR(learned ? 30 : 33.398, s.width, 1e-3) << learned;
    }
}

TEST(LayoutSync, UnusableDisplaysAreLeftOutAndDoNotMoveTheReference) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    DisplayInfo zero = display("Z", 0, -5000);
    zero.w = 0;
    DisplayInfo notFinite = display("N", 1, -4000);
    notFinite.mmH = nan;
    DisplayInfo primary = display("P", 2, 1920);
    primary.primary = true;
    DisplayInfo left = display("L", 3, 0);
    Layout l;
    std::vector<std::string> skipped =
        l.sync(std::nullopt, "Name", {zero, notFinite, primary, left});
    EXPECT_EQ(2u, skipped.size());
    EXPECT_EQ((std::vector<std::string>{"mac/P#1", "mac/L#2"}), ids(l));
    EXPECT_EQ(0, l.screens[0].yaw); // the primary is the reference even when listed later
    EXPECT_NEAR(-kWide, l.screens[1].yaw, 1e-9);
}

TEST(DisplayList, MacDisplaysKeepIndicesAndSuffixRepeatedKeys) {
    DisplayInfo bad = display("A", 1, 0);
    bad.h = -1;
    DisplayList list = macDisplays(
        {display("A", 0, 0), bad, display("A", 2, 0), display("A#2", 3, 0), display("A", 4, 0)});
    std::vector<std::string> keys;
    std::vector<int> indices;
    for (const DisplayInfo& d : list.kept) {
        keys.push_back(d.key);
        indices.push_back(d.index);
    }
    // Keys are numbered over the whole list, the unusable display included.
    EXPECT_EQ((std::vector<std::string>{"A", "A#4", "A#2", "A#5"}), keys);
    EXPECT_EQ((std::vector<int>{0, 2, 3, 4}), indices);
    ASSERT_EQ(1u, list.unplaced.size());
    EXPECT_EQ("A#3", list.unplaced[0].key);
}

// A monitor that reports no usable frame for a moment (asleep, being reconfigured) must not
// lose its place, number or calibration; only a display never seen before is left out.
TEST(LayoutSync, KnownScreensReportedWithoutAUsableFrameStayAsTheyAre) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Screen learned = placed("pc/K", 2, 30, 20, "pc");
    learned.learned = true;
    learned.rect = Rect3{};
    learned.mm = std::vector<double>{600, 340};
    learned.px = std::vector<double>{1920, 1080};
    Screen twin = placed("pc/K#2", 3, 60, 20, "pc");
    struct Case {
        const char* name;
        double w, h, mmW;
        std::size_t lines; // said about the report of K
    };
    const Case cases[] = {
        {"zero width", 0, 1080, 600, 1},
        {"zero height", 1920, 0, 600, 1},
        {"not finite", nan, 1080, 600, 1},
        {"a real frame", 2560, 1440, 300, 0},
    };
    for (const Case& c : cases) {
        for (bool isLearned : {true, false}) {
            Layout l;
            l.screens = {learned, twin};
            l.screens[0].learned = isLearned;
            DisplayInfo d = display("K", 0, 0, 0, c.w, c.h);
            d.mmW = c.mmW;
            std::vector<std::string> said =
                l.sync("pc", "PC", {d, display("K", 1, 1920), display("N", 2, 0, 0, 0, 0)});
            EXPECT_EQ((std::vector<std::string>{"pc/K#2", "pc/K#2#3"}), ids(l)) << c.name;
            const Screen& s = l.screens[0];
            EXPECT_EQ(30, s.yaw) << c.name;
            EXPECT_EQ(isLearned, s.learned) << c.name;
            EXPECT_TRUE(s.rect) << c.name;
            // An unlearned screen takes its angles from its millimetres, a learned one keeps its.
            const double mmWide =
                2 * std::atan(c.mmW / 2 / (c.mmW < 380 ? 500 : 700)) * 180 / std::numbers::pi;
            EXPECT_NEAR(isLearned ? 20 : mmWide, s.width, 1e-9) << c.name;
            EXPECT_EQ(c.w > 0 && c.h > 0 ? c.w : 1920, (*s.px)[0]) << c.name;
            EXPECT_EQ(c.lines + 1, said.size()) << c.name; // and the new N, which is skipped
            EXPECT_EQ("display N (Panel 2) skipped: no usable frame or size", said.back());
        }
    }
}
