#include "AppFixture.h"
#include "platform/sim/FakeDisplaySource.h"
#include "platform/sim/RecordingPointer.h"
#include "platform/sim/SimInput.h"

#include <gtest/gtest.h>

using namespace helm;

namespace {

Screen screen(const std::string& id, int number, std::optional<std::string> pc = std::nullopt) {
    Screen s = test::pcScreen(id, number, std::move(pc));
    s.yaw = number * 30.0;
    return s;
}

struct RecordingPoster : PointerPoster {
    Pointer::Point at{100, 100};
    std::vector<Pointer::Point> moves;
    std::optional<Pointer::Point> location() override { return at; }
    void moveTo(Pointer::Point to) override { moves.push_back(to); }
};

std::string joined(const std::vector<std::string>& v) {
    std::string out;
    for (const std::string& s : v) {
        out += (out.empty() ? "" : ",") + s;
    }
    return out;
}

// This computer's screen 1, "pc1" (the input source) on screen 3 and "pc2" on screen 4, both
// connected. Simulation mode logs what it would post; the desktop's mode posts to SimInput.
struct AppRemoteTest : ::testing::Test, test::AppFixture {
    std::vector<std::string> posted;
    SimInput* input = nullptr;
    RecordingPointer* pointer = nullptr;
    RecordingPoster* poster = nullptr;

    std::unique_ptr<App> desk(bool simulation) {
        Platform p = simPlatform();
        input = new SimInput;
        p.input.reset(input);
        pointer = new RecordingPointer;
        p.pointer.reset(pointer);
        poster = new RecordingPoster;
        p.poster.reset(poster);
        DisplayInfo d;
        d.w = 1920;
        d.h = 1080;
        p.displays = std::make_unique<FakeDisplaySource>(std::vector<DisplayInfo>{d});
        std::vector<std::string> args = {"--no-camera"};
        if (simulation) {
            args.insert(args.end(), {"--test-port", "0"});
        }
        auto app = make(args, std::move(p));
        Layout l;
        l.screens = {screen("mac/a", 1), screen("pc1/x", 3, "pc1"), screen("pc2/y", 4, "pc2")};
        app->setLayout(l);
        app->connected = {"pc1", "pc2"};
        app->postLine = [this](const std::string& line, const std::string& pc) {
            posted.push_back(pc + ": " + line);
        };
        app->prefs.setAllowedPCs({"pc1"});
        return app;
    }
    // Focus on the screen, pc1 the captured input source, nothing recorded yet.
    void focus(App& app, const std::string& id) {
        app.lookAt(id, 0, true);
        ASSERT_EQ(app.router().keys, id);
        ASSERT_EQ(app.router().mouse, id);
        app.source = "pc1";
        app.capped = {"pc1"};
        posted.clear();
        app.injectLog.clear();
    }
};

TEST_F(AppRemoteTest, EachLineIsPlayedHereRelayedOrDropped) {
    struct Case {
        const char* focus;
        const char* line;
        const char* injected;
        const char* relayed;
    } cases[] = {
        // clang-format off
        {"mac/a", "k 30 1", "key 0 1", ""},
        {"mac/a", "b 0 1", "button 0 1", ""},
        {"mac/a", "m 5 -3", "move 5 -3", ""},
        {"mac/a", "w 2 0", "wheel 2 0", ""},
        {"mac/a", "w 2", "", ""},                 // a wheel step needs both amounts
        {"mac/a", "k 30", "", ""},
        {"mac/a", "x 1 2", "", ""},
        // Numbers no hand makes are ignored whole.
        {"mac/a", "k 65536 1", "", ""},
        {"mac/a", "k -1 1", "", ""},
        {"mac/a", "b 32 1", "", ""},
        {"mac/a", "b 31 1", "button 31 1", ""},
        {"mac/a", "m 32768 0", "", ""},
        {"mac/a", "m 32767 -32767", "move 32767 -32767", ""},
        {"mac/a", "w 0 -32768", "", ""},
        {"mac/a", "m 99999999999999999999 0", "", ""},
        {"pc2/y", "k 30 1", "", "pc2: k 30 1"},
        {"pc2/y", "b 1 0", "", "pc2: b 1 0"},
        {"pc2/y", "m 5 -3", "", "pc2: m 5 -3"},
        {"pc2/y", "w 2 0", "", "pc2: w 2 0"},
        {"pc2/y", "k 65536 1", "", ""},
        {"pc2/y", "m 0 -32768", "", ""},
        {"pc1/x", "m 5 -3", "", ""},               // its own screen: already there
        {"pc1/x", "k 30 1", "", ""},
        // clang-format on
    };
    for (const Case& c : cases) {
        auto app = desk(true);
        focus(*app, c.focus);
        app->remoteInput("pc1", c.line);
        EXPECT_EQ(joined(app->injectLog), c.injected) << c.focus << " " << c.line;
        EXPECT_EQ(joined(posted), c.relayed) << c.focus << " " << c.line;
    }
    // Keys enter the focus state machine as PC codes plus 10000; uncaptured PCs are not heard.
    auto app = desk(true);
    focus(*app, "mac/a");
    app->remoteInput("pc1", "k 30 1");
    EXPECT_TRUE(app->router().heldKeys.contains(10030));
    app->remoteInput("pc2", "k 31 1");
    app->prefs.setAllInputs(false);
    app->remoteInput("pc1", "k 32 1");
    EXPECT_EQ(joined(app->injectLog), "key 0 1");
}

TEST_F(AppRemoteTest, AModifierFlagStaysWhileAnyKeyGivingItIsHeld) {
    auto app = desk(true);
    focus(*app, "mac/a");
    struct Step {
        const char* pc;
        int scan;
        bool down;
        std::uint64_t flags;
    } steps[] = {
        {"pc1", 0x2A, true, 0x20000},  // left Shift
        {"pc1", 0x36, true, 0x20000},  // right Shift
        {"pc1", 0x2A, false, 0x20000}, // the right one still holds it
        {"pc1", 0x1D, true, 0x120000}, // left Ctrl plays Command
        {"pc2", 0x2A, true, 0x120000}, // another PC's Shift
        {"pc1", 0x36, false, 0x120000}, {"pc1", 0x1D, false, 0x20000}, {"pc2", 0x2A, false, 0},
    };
    for (const Step& s : steps) {
        app->typeOnMac(s.pc, s.scan, s.down);
        EXPECT_EQ(app->macFlags, s.flags) << s.pc << " " << s.scan << " " << s.down;
    }
}

TEST_F(AppRemoteTest, EndOfCaptureLetsGoOfWhatThePCHolds) {
    struct Case {
        const char* how;
        std::function<void(App&)> end;
        bool followsAfter = true; // the look moves both foci again
    } cases[] = {
        {"hand-back", [](App& a) { a.macInputUsed(); }},
        {"cap off", [](App& a) { a.capTakenBack("pc1"); }},
        {"another source", [](App& a) { a.remoteActivity("pc2"); }},
        {"all inputs off",
         [](App& a) {
             a.prefs.setAllInputs(false);
             a.applyPrefs();
         }},
        {"unstick", [](App& a) { a.unstick(); }},
        {"quit", [](App& a) { a.applicationWillTerminate(); }, false},
        {"lost",
         [](App& a) {
             a.connected.erase("pc1");
             a.sourceLost("pc1");
         }},
    };
    for (const Case& c : cases) {
        auto app = desk(true);
        app->prefs.setAllInputs(true); // the defaults outlive each case's application
        focus(*app, "mac/a");
        app->remoteInput("pc1", "k 42 1");
        app->remoteInput("pc1", "b 0 1");
        app->injectLog.clear();
        c.end(*app);
        EXPECT_EQ(joined(app->injectLog), "key 56 0,button 0 0") << c.how;
        EXPECT_TRUE(app->injected.empty()) << c.how;
        EXPECT_EQ(app->macFlags, 0u) << c.how;
        if (c.followsAfter) {
            EXPECT_TRUE(app->router().heldKeys.empty()) << c.how;
            app->lookAt("pc2/y", 1, true);
            app->apply(app->router().tick(1));
            EXPECT_EQ(app->router().keys, "pc2/y") << c.how;
            EXPECT_EQ(app->router().mouse, "pc2/y") << c.how;
        }
    }
}

TEST_F(AppRemoteTest, LostSourceLetsGoAndSendsTheDeskHome) {
    auto app = desk(false);
    focus(*app, "mac/a");
    app->remoteInput("pc1", "k 42 1");
    pointer->attached = false;
    posted.clear();
    input->posted.clear();
    app->connected.erase("pc1");
    app->sourceLost("pc1");
    EXPECT_EQ(joined(input->posted), "key 56 0");
    EXPECT_EQ(joined(posted), "pc2: r");
    EXPECT_TRUE(pointer->attached); // a pointer held still for the PC would stay dead
    EXPECT_EQ(app->router().keys, "mac/a");
    EXPECT_FALSE(app->source);
    EXPECT_FALSE(app->moveRoute.get());
}

TEST_F(AppRemoteTest, FastRoadPostsOnlyForTheSourceOnItsRoute) {
    auto sim = desk(true);
    sim->remoteActivity("pc1");
    EXPECT_FALSE(sim->fastMove("pc1", 5, 5)); // simulation mode logs on the main road

    auto app = desk(false);
    app->lookAt("mac/a", 0, true);
    EXPECT_FALSE(app->fastMove("pc1", 5, 5)); // no source yet
    app->remoteActivity("pc1");
    ASSERT_EQ(app->capped, std::set<std::string>{"pc1"});
    EXPECT_EQ(posted.back(), "pc1: cap 1 1 · Panel");
    EXPECT_FALSE(app->fastMove("pc2", 5, 5));
    poster->at = {1900, 1070};
    EXPECT_TRUE(app->fastMove("pc1", 50, -3));
    EXPECT_TRUE(app->fastMove("pc1", 50, 40000)); // dropped
    ASSERT_EQ(poster->moves.size(), 1u);
    EXPECT_EQ(poster->moves[0], (Pointer::Point{1919, 1067})); // one point inside the edge
    app->lookAt("pc1/x", 1, true); // its own screen: capture ends, no route
    EXPECT_FALSE(app->fastMove("pc1", 5, 5));
}

TEST_F(AppRemoteTest, AnUnknownPCIsAskedOnceAndDrivesOnlyAfterAllow) {
    auto app = desk(false);
    std::vector<std::string> asked;
    app->askInput = [&](const std::string& pc, const std::string& name) {
        asked.push_back(pc + "/" + name);
    };
    app->remoteActivity("pc2");
    app->remoteActivity("pc2");
    app->prefs.setAllowedPCs({"pc1", "pc3"});
    app->remoteActivity("pc3"); // allowed, but not connected
    EXPECT_EQ(joined(asked), "pc2/PC pc2");
    EXPECT_FALSE(app->source);
    app->inputAllowed("pc2");
    app->remoteActivity("pc2");
    EXPECT_EQ(app->source, "pc2");
    EXPECT_TRUE(wasLogged("pc2 may control this Mac"));
}

} // namespace
