#include "AppFixture.h"
#include "link/Wire.h"
#include "platform/sim/FakeDisplaySource.h"
#include "platform/sim/RecordingPointer.h"
#include "platform/sim/SimReduceMotion.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace helm;

namespace {

using test::display;

Screen screen(const std::string& id, int number, int display,
              std::optional<std::string> pc = std::nullopt) {
    Screen s = test::pcScreen(id, number, std::move(pc));
    s.display = display;
    s.yaw = number * 30.0;
    return s;
}

// Two displays side by side; screens 1 and 2 on them, 3 on the connected "pc1", 4 on "pc2",
// which is not connected and whose display index 1 is also one of ours.
struct AppFocusTest : ::testing::Test, test::AppFixture {
    RecordingPointer* pointer = nullptr;
    std::vector<std::string> posted;

    std::unique_ptr<App> desk(std::vector<std::string> args = {"--no-camera"}) {
        Platform p = simPlatform();
        pointer = new RecordingPointer;
        p.pointer.reset(pointer);
        // The desktop asks for less motion: pointer moves here are plain warps, not glides.
        auto* still = new SimReduceMotion;
        still->on = true;
        p.reduceMotion.reset(still);
        p.displays = std::make_unique<FakeDisplaySource>(
            std::vector<DisplayInfo>{display(0, 0, 1920, 1080), display(1, 1920, 1280, 1024)});
        auto app = make(std::move(args), std::move(p));
        Layout l;
        l.screens = {screen("mac/a", 1, 0), screen("mac/b", 2, 1), screen("pc1/x", 3, 0, "pc1"),
                     screen("pc2/y", 4, 1, "pc2")};
        app->setLayout(l);
        app->connected = {"pc1"};
        app->capturing = true;
        app->postLine = [this](const std::string& line, const std::string& pc) {
            posted.push_back(pc + ": " + line);
        };
        return app;
    }
};

using E = Router::Effect;

// The pointer starts at (5, 5), on the first display; remembered is a point left on the second.
TEST_F(AppFocusTest, MouseEffectsOnThePointer) {
    const std::string warp = "pc1: " + Wire::warp(0, "L", 3, "PC pc1");
    const std::vector<std::string> none;
    struct Case {
        const char* what;
        E effect;
        std::optional<Pointer::Point> remembered;
        bool jump;
        bool capturing;
        std::vector<std::string> calls;
        std::vector<std::string> posted;
    } cases[] = {
        // clang-format off
        {"to a PC, jump off", E::mouse("mac/a", "pc1/x"), {}, false, true, {"attach 0"}, none},
        {"to a PC", E::mouse("mac/a", "pc1/x"), {}, true, true, {"attach 0"}, {warp}},
        {"to a PC without capture", E::mouse("mac/a", "pc1/x"), {}, true, false, {}, {warp}},
        {"already on the display", E::mouse("pc1/x", "mac/a"), {}, true, true,
         {"attach 1", "location"}, none},
        {"first visit", E::mouse("mac/a", "mac/b"), {}, true, true,
         {"attach 1", "location", "warp 2560 512"}, none},
        {"remembered point", E::mouse("mac/a", "mac/b"), Pointer::Point{2000, 40}, true, true,
         {"attach 1", "location", "warp 2000 40"}, none},
        {"stale remembered point", E::mouse("mac/a", "mac/b"), Pointer::Point{3300, 40}, true,
         true, {"attach 1", "location", "warp 2560 512"}, none},
        {"jump off, back home", E::mouse("pc1/x", "mac/b"), {}, false, true, {"attach 1"}, none},
        {"an unconnected PC's screen", E::mouse("mac/a", "pc2/y"), {}, true, true, {"attach 1"},
         none},
        {"a screen not in the layout", E::mouse("pc1/x", "gone/z"), {}, true, true, {"attach 1"},
         none},
        // clang-format on
    };
    for (const Case& c : cases) {
        auto app = desk();
        app->prefs.setMouseJump(c.jump);
        app->capturing = c.capturing;
        if (c.remembered) {
            app->lastCursor["mac/b"] = *c.remembered;
        }
        pointer->at = Pointer::Point{5, 5};
        pointer->calls.clear();
        posted.clear();
        app->apply({c.effect});
        EXPECT_EQ(c.calls, pointer->calls) << c.what;
        EXPECT_EQ(c.posted, posted) << c.what;
    }
}

TEST_F(AppFocusTest, LeavingAScreenOfThisComputerRemembersWhereThePointerWas) {
    auto app = desk();
    pointer->at = Pointer::Point{300, 200};
    app->apply({E::mouse("mac/a", "mac/b"), E::mouse("mac/b", "mac/a")});
    // Back on the first display at the point it was left, not at its centre.
    EXPECT_EQ((Pointer::Point{300, 200}), pointer->at);
    EXPECT_EQ((Pointer::Point{2560, 512}), app->lastCursor.at("mac/b"));
    app->apply({E::mouse("pc1/x", "mac/b")});
    EXPECT_EQ(0u, app->lastCursor.count("pc1/x")) << "only this computer's screens";
}

TEST_F(AppFocusTest, SimulationModeSendsTheWarpLineButNeverTouchesThePointer) {
    auto app = desk({"--no-camera", "--test-port"});
    app->sendJump(); // the PC already holds the jump effect, as it would since it logged in
    posted.clear();
    app->apply({E::mouse("mac/a", "pc1/x"), E::keys("mac/a", "pc1/x")});
    app->apply({E::mouse("pc1/x", "mac/b")});
    app->unstick();
    EXPECT_TRUE(pointer->calls.empty());
    EXPECT_EQ(std::vector<std::string>{"pc1: " + Wire::warp(0, "L", 3, "PC pc1")}, posted);
    EXPECT_TRUE(wasLogged("mouse → pc1/x"));
    EXPECT_TRUE(wasLogged("keys → pc1/x"));
}

TEST_F(AppFocusTest, FirstSwitchNamesTheFirstPCKeyboardFocusReached) {
    auto app = desk();
    app->apply({E::keys("mac/a", "mac/b")});
    EXPECT_FALSE(app->guide.firstSwitch());
    app->apply({E::keys("mac/b", "pc1/x")});
    app->apply({E::keys("pc1/x", "gone/z")});
    EXPECT_EQ("PC pc1", app->guide.firstSwitch());
}

TEST_F(AppFocusTest, JumpToUnlocksWithItsEffectsAndRefusesAnUnconnectedPC) {
    auto app = desk();
    app->apply(app->router().look("pc1/x", 0));
    app->router().toggleLock(0);    // locked on the PC's screen...
    app->router().look("mac/b", 1); // ...while the user looks at screen 2
    pointer->calls.clear();
    app->jumpTo(2);
    EXPECT_FALSE(app->router().locked);
    EXPECT_EQ("mac/b", app->router().keys);
    EXPECT_EQ("mac/b", app->router().mouse);
    EXPECT_EQ("attach 1", pointer->calls.at(0)) << "the pointer follows the mouse again";
    EXPECT_TRUE(wasLogged("jump to 2"));

    // Locked on pc1 while looking at pc2: jumping to this computer's screen passes nothing to
    // pc2, neither a warp nor the clipboard.
    app->connected = {"pc1", "pc2"};
    app->apply(app->router().look("pc1/x", 2));
    app->router().toggleLock(2);
    app->router().look("pc2/y", 3);
    posted.clear();
    app->jumpTo(1);
    EXPECT_EQ("mac/a", app->router().keys);
    EXPECT_TRUE(std::none_of(posted.begin(), posted.end(),
                             [](const std::string& l) { return l.rfind("pc2:", 0) == 0; }));
    app->connected = {"pc1"};

    app->jumpTo(9); // no such screen
    app->jumpTo(4);
    EXPECT_EQ("mac/a", app->router().keys);
    EXPECT_EQ("Screen 4 (PC pc2) isn't connected.", app->hud.note());
}

} // namespace
