#include "input/KeyMap.h"
#include "input/InputEvent.h"
#include "input/WheelAccumulator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <set>
#include <utility>
#include <vector>

using namespace helm;

TEST(KeyMap, ReverseIsTheExactInverseAndNoPcCodeRepeats) {
    EXPECT_EQ(KeyMap::table().size(), 104u);
    EXPECT_EQ(KeyMap::reverse().size(), KeyMap::table().size());
    for (const auto& [mac, pc] : KeyMap::table())
        EXPECT_EQ(KeyMap::reverse().at(pc), mac) << mac;
}

TEST(KeyMap, ScanAndMacWithBothKeyboardKinds) {
    struct Case {
        int mac;
        bool iso;
        std::optional<int> pc;
    };
    const std::vector<Case> cases = {
        {0, false, 0x1E},    {55, false, 0x1D},   {59, false, 0xE05B}, {54, false, 57373},
        {62, false, 0xE05C}, {10, true, 41},      {10, false, 86},     {50, true, 86},
        {50, false, 41},     {126, true, 0xE048}, {63, false, {}},     {81, false, {}},
        {106, true, {}},     {52, false, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(KeyMap::scan(c.mac, c.iso), c.pc) << c.mac << " iso " << c.iso;
        if (c.pc) { // every code sent comes back as the same key
            EXPECT_EQ(KeyMap::mac(*c.pc, c.iso), c.mac) << c.mac << " iso " << c.iso;
        }
    }
    EXPECT_EQ(KeyMap::mac(0x59), std::nullopt);
    EXPECT_EQ(KeyMap::mac(-1, true), std::nullopt);
}

TEST(KeyMap, ModifierSidesReadFromTheirOwnBits) {
    struct Case {
        int code;
        std::uint64_t flags;
        std::optional<bool> down;
    };
    const std::vector<Case> cases = {
        {56, 0x02, true},
        {60, 0x02, false}, // left held, right released: a right Shift up
        {60, 0x04, true},
        {56, 0x04, false},
        {62, 0x2000, true},
        {59, 0x2000, false},
        {61, 0x40 | InputEvent::option, true},
        {57, InputEvent::alphaShift, std::nullopt},
        {63, 0x800000, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KeyMap::modifierDown(c.code, c.flags), c.down) << c.code;
}

TEST(InputEvent, SideBitsTurnOnTheirFlags) {
    EXPECT_EQ(InputEvent::flagsFor(0x01 | 0x20, false), 0x21 | 0xC0000u); // Super+Alt
    EXPECT_EQ(InputEvent::flagsFor(0x04, true), 0x04 | 0x20000u | 0x10000u);
    EXPECT_EQ(InputEvent::flagsFor(0x10, false), 0x10 | 0x100000u);
    EXPECT_EQ(InputEvent::flagsFor(0x2000, false), 0x2000 | 0x40000u);
    EXPECT_EQ(InputEvent::typeMask(), 0x0E401CFEu);
}

TEST(WheelAccumulator, CarriesFractionsAndDropsNonsense) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    using Units = std::optional<std::pair<int, int>>;
    struct Step {
        double dy, dx;
        Units sent;
    };
    const std::vector<Step> steps = {
        {1, 0, std::pair{2, 0}},
        {1, 0, std::pair{3, 0}}, // the half carries over
        {0, 1, std::pair{0, -2}},
        {0.2, 0, {}}, // horizontal inverted; 0.5 unit
        {nan, 0, {}},
        {0, 1e9, {}}, // dropped, fractions kept
        {0.2, -1, std::pair{1, 2}},
        {48, 0, std::pair{120, 0}},
        {-0.3, 0, {}},
        {-0.2, 0, std::pair{-1, 0}},
    };
    WheelAccumulator wheel;
    for (std::size_t i = 0; i < steps.size(); ++i)
        EXPECT_EQ(wheel.add(steps[i].dy, steps[i].dx), steps[i].sent) << "step " << i;
    EXPECT_TRUE(std::isfinite(wheel.rest.x) && std::isfinite(wheel.rest.y));
}
