#include "gaze/AccuracyCheck.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace helm;

namespace {

Screen screen(int number) {
    Screen s;
    s.id = "s" + std::to_string(number);
    s.number = number;
    s.yaw = 40.0 * number;
    return s;
}

AccuracyCheck withHits(std::map<std::string, AccuracyCheck::Hits> hits) {
    AccuracyCheck c({screen(1), screen(2), screen(3), screen(10)});
    c.hits = std::move(hits);
    return c;
}

TEST(AccuracyCheck, LooksVisitEachScreenTwiceInTheirOrder) {
    struct Case {
        std::vector<int> given; // screen numbers, in layout order
        std::vector<int> looks;
    };
    const Case cases[] = {
        {{2, 1}, {1, 1, 2, 2}},
        {{3, 1, 2}, {1, 3, 2, 2, 1, 3}},
        {{1, 2, 3, 4}, {1, 3, 1, 3, 2, 4, 2, 4}},
    };
    for (const Case& c : cases) {
        std::vector<Screen> screens;
        for (int n : c.given)
            screens.push_back(screen(n));
        std::vector<int> got;
        for (const Screen& s : AccuracyCheck(screens).list)
            got.push_back(s.number);
        EXPECT_EQ(got, c.looks) << c.given.size() << " screens";
    }
}

TEST(AccuracyCheck, PercentIsFrameWeightedAndHardestNeedsBelowEighty) {
    using H = AccuracyCheck::Hits;
    struct Case {
        const char* name;
        std::map<std::string, H> hits;
        int percent;
        std::optional<std::string> hardest;
    };
    const Case cases[] = {
        {"no frames", {}, 0, std::nullopt},
        // 4/5 and 79/100: exactly 80 % is not named, 79 % is.
        {"exactly 80 %", {{"s1", H{5, 4}}, {"s2", H{10, 10}}}, 93, std::nullopt},
        {"79 %", {{"s1", H{100, 79}}, {"s2", H{100, 100}}}, 90, "s1"},
        // The mean of 10 % and 100 % would be 55; the frames say 18.
        {"frame-weighted", {{"s1", H{100, 10}}, {"s2", H{10, 10}}}, 18, "s1"},
        {"halves round up", {{"s1", H{8, 1}}}, 13, "s1"},
        // "s10" sorts before "s2"; the number decides.
        {"equal ratios name the lowest number", {{"s10", H{4, 1}}, {"s2", H{8, 2}}}, 25, "s2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AccuracyCheck check = withHits(c.hits);
        EXPECT_EQ(check.percent(), c.percent);
        EXPECT_EQ(check.hardest(), c.hardest);
    }
}

TEST(AccuracyCheck, CountsOnlyAfterTheFirstSecondOfALook) {
    Layout layout;
    layout.screens = {screen(1), screen(2)};
    for (Screen& s : layout.screens)
        s.learned = true;
    AccuracyCheck c(layout.screens);
    EXPECT_FALSE(c.feed(Angle{40, 0}, layout, 0, std::nullopt)) << "no look shown yet";
    c.i = 0;
    c.start = 10;
    for (int k = 1; k <= 36; ++k) {
        std::optional<double> ring = c.feed(Angle{40, 0}, layout, 10 + k / 15.0, std::nullopt);
        ASSERT_TRUE(ring);
        EXPECT_NEAR(*ring, std::min(k / 15.0 / 2.4, 1.0), 1e-9);
    }
    // Frames 16 to 36 are past the first second; the picker settled long before.
    EXPECT_EQ(c.hits.at("s1"), (AccuracyCheck::Hits{21, 21}));
}

} // namespace
