#include "AppFixture.h"
#include "platform/sim/FakeDisplaySource.h"
#include "platform/sim/SimInput.h"

#include <gtest/gtest.h>

#include <thread>

using namespace helm;
using Type = InputEvent::Type;

namespace {

constexpr std::uint64_t ctlOpt = InputEvent::control | InputEvent::option;

InputEvent ev(Type type, int code = 0, std::uint64_t flags = 0) {
    InputEvent e;
    e.type = type;
    e.code = code;
    e.flags = flags;
    return e;
}
InputEvent moved(int dx, Type type = Type::moved, double x = 500) {
    InputEvent e = ev(type);
    e.dx = dx;
    e.x = x;
    return e;
}
InputEvent scroll(double dy, double dx) {
    InputEvent e = ev(Type::scrollWheel);
    e.scrollY = dy;
    e.scrollX = dx;
    return e;
}

Screen screen(const std::string& id, int number, double yaw,
              std::optional<std::string> computer = std::nullopt) {
    Screen s;
    s.id = id;
    s.number = number;
    s.computer = std::move(computer);
    s.yaw = yaw;
    return s;
}

// Two screens of this computer and a PC's screen to their right; the displays 0…2000 wide.
struct AppInputTest : ::testing::Test, test::AppFixture {
    SimInput* input = nullptr;
    std::vector<std::string> sent; // "pc1: k 42 1"
    std::unique_ptr<App> app;

    void SetUp() override {
        sent.clear();
        Platform p = simPlatform();
        auto sim = std::make_unique<SimInput>();
        input = sim.get();
        p.input = std::move(sim);
        p.displays = std::make_unique<FakeDisplaySource>(std::vector<DisplayInfo>{
            {"1-1-1", "A", 0, 0, 0, 1000, 800}, {"2-2-2", "B", 1, 1000, 0, 1000, 800}});
        app = std::make_unique<App>(CommandLine({"helmvantor", "--no-camera"}), defaults,
                                    std::move(p));
        Layout l;
        l.screens = {screen("mac/1-1-1", 1, -20), screen("mac/2-2-2", 2, 20),
                     screen("pc1/3-3-3", 3, 60, "pc1")};
        app->setLayout(l);
        app->postLine = [this](const std::string& line, const std::string& pc) {
            sent.push_back(pc + ": " + line);
        };
        app->installTap(false);
    }
    void onPC() {
        app->connected.insert("pc1");
        app->lookAt("pc1/3-3-3", 0, true);
        ASSERT_EQ("pc1/3-3-3", app->router().keys);
        sent.clear(); // the move's own lines (the pointer's landing spot) are not input
    }
};

TEST_F(AppInputTest, KeysAndHotkeysWithFocusOnAConnectedPC) {
    struct Step {
        InputEvent e;
        bool pass;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        std::vector<std::string> sent;
        std::set<int> held;    // in the router afterwards
        std::set<int> taken{}; // hotkeys another program holds
    };
    const Case cases[] = {
        {"a marked event passes untouched, hotkey or not",
         {{[] {
               InputEvent e = ev(Type::keyDown, 37, ctlOpt);
               e.marked = true;
               return e;
           }(),
           true}},
         {},
         {}},
        {"control-option-K: the PC gets left Control, left Option, then K",
         {{ev(Type::flagsChanged, 59, InputEvent::control | 0x01), false},
          {ev(Type::flagsChanged, 58, ctlOpt | 0x21), false},
          {ev(Type::keyDown, 40, ctlOpt | 0x21), false}},
         {"pc1: k 57435 1", "pc1: k 56 1", "pc1: k 37 1"},
         {40, 58, 59}},
        {"a key without a PC code is swallowed and lost",
         {{ev(Type::keyDown, 106), false}},
         {},
         {106}},
        {"Fn is no modifier of ours and passes",
         {{ev(Type::flagsChanged, 63, 0x800000), true}},
         {},
         {}},
        {"releasing left Shift while right Shift is held is a left Shift up",
         {{ev(Type::flagsChanged, 56, InputEvent::shift | 0x02), false},
          {ev(Type::flagsChanged, 60, InputEvent::shift | 0x06), false},
          {ev(Type::flagsChanged, 56, InputEvent::shift | 0x04), false}},
         {"pc1: k 42 1", "pc1: k 54 1", "pc1: k 42 0"},
         {60}},
        {"caps lock toggles the PC's with a press and release",
         {{ev(Type::flagsChanged, 57, InputEvent::alphaShift), false}},
         {"pc1: k 58 1", "pc1: k 58 0"},
         {}},
        {"control-option-L down and up are eaten; the router never sees L",
         {{ev(Type::keyDown, 37, ctlOpt), false}, {ev(Type::keyUp, 37, ctlOpt), false}},
         {},
         {}},
        {"a lost hotkey key-up does not eat the next plain L",
         {{ev(Type::keyDown, 37, ctlOpt), false},
          {ev(Type::keyDown, 37), false},
          {ev(Type::keyUp, 37), false}},
         {"pc1: k 38 1", "pc1: k 38 0"},
         {}},
        {"a hotkey another program holds is ours while the keyboard grab takes every key",
         {{ev(Type::keyDown, 37, ctlOpt), false}, {ev(Type::keyUp, 37, ctlOpt), false}},
         {},
         {},
         {37}},
    };
    for (const Case& c : cases) {
        SetUp();
        input->taken = c.taken;
        onPC();
        double before = app->router().lastKey;
        for (const Step& s : c.steps) {
            EXPECT_EQ(s.pass, app->tapped(s.e)) << c.name;
        }
        EXPECT_EQ(c.sent, sent) << c.name;
        EXPECT_EQ(c.held, app->router().heldKeys) << c.name;
        if (c.sent.empty() && c.held.empty()) {
            EXPECT_EQ(before, app->router().lastKey) << c.name << ": the router saw a key";
        }
    }
}

TEST_F(AppInputTest, HotkeysActAndAreSwallowedWhereverFocusIs) {
    onPC();
    EXPECT_FALSE(app->tapped(ev(Type::keyDown, 37, ctlOpt)));
    EXPECT_EQ("pc1/3-3-3", app->router().locked);
    // Shift on top does not hide the digit: screen 2, and the jump ends the lock.
    EXPECT_FALSE(app->tapped(ev(Type::keyDown, 19, ctlOpt | InputEvent::shift)));
    EXPECT_EQ("mac/2-2-2", app->router().keys);
    EXPECT_FALSE(app->router().locked);
    // Keys leaving the PC hand the clipboard over: it lets go of what it holds first.
    EXPECT_EQ(std::vector<std::string>{"pc1: r"}, sent);
    EXPECT_FALSE(input->keyboardGrabbed());
}

TEST_F(AppInputTest, PointerAndWheelAmountsCarryTheirFractions) {
    struct Case {
        const char* name;
        double factor;
        std::vector<InputEvent> events;
        std::vector<std::string> sent;
    };
    const Case cases[] = {
        {"factor 0.5: one step per two moves",
         0.5,
         {moved(1), moved(1), moved(1), moved(1)},
         {"pc1: m 1 0", "pc1: m 1 0"}},
        {"negative fractions truncate towards zero",
         0.5,
         {moved(-1), moved(-1), moved(-3)},
         {"pc1: m -1 0", "pc1: m -1 0"}},
        {"a factor beyond the settings' range is held to 2", 50, {moved(3)}, {"pc1: m 6 0"}},
        {"absurd deltas are dropped", 1, {moved(20'000), moved(2)}, {"pc1: m 2 0"}},
        {"the wheel's half unit carries over; horizontal is inverted",
         1,
         {scroll(1, 0), scroll(1, 0), scroll(0, 1)},
         {"pc1: w 2 0", "pc1: w 3 0", "pc1: w 0 -2"}},
        {"buttons go as they are",
         1,
         {ev(Type::rightDown), ev(Type::rightUp)},
         {"pc1: b 1 1", "pc1: b 1 0"}},
    };
    for (const Case& c : cases) {
        SetUp();
        app->prefs.setPcPointer(c.factor);
        onPC();
        for (const InputEvent& e : c.events) {
            EXPECT_FALSE(app->tapped(e)) << c.name;
        }
        EXPECT_EQ(c.sent, sent) << c.name;
    }
}

TEST_F(AppInputTest, NothingIsForwardedWhileTheGrabIsRefused) {
    input->grantKeyboard = false;
    onPC();
    EXPECT_TRUE(app->tapped(ev(Type::keyDown, 0)));
    EXPECT_FALSE(app->tapped(moved(5))); // the pointer grab was granted
    EXPECT_EQ(std::vector<std::string>{"pc1: m 5 0"}, sent);
}

TEST_F(AppInputTest, WhatThePCHoldsIsReleasedWhenCaptureEnds) {
    onPC();
    app->tapped(ev(Type::flagsChanged, 56, InputEvent::shift | 0x02));
    app->tapped(ev(Type::leftDown));
    sent.clear();
    // Another program took the grabs (a screen locker): the PC lets go of Shift and the button.
    input->grantKeyboard = input->grantPointer = false;
    input->wantGrabs(true, true);
    EXPECT_EQ((std::vector<std::string>{"pc1: k 42 0", "pc1: b 0 0"}), sent);
    EXPECT_TRUE(app->tapped(ev(Type::flagsChanged, 56, 0)));
    EXPECT_EQ(2u, sent.size());
}

TEST_F(AppInputTest, EdgeSwitchesOncePerPushAndNeverOnADrag) {
    app->connected.insert("pc1");
    app->lookAt("mac/2-2-2", 0, true);
    app->lastEdge = -1;
    EXPECT_TRUE(app->tapped(moved(3, Type::leftDragged, 1999)));
    EXPECT_EQ("mac/2-2-2", app->router().mouse);
    EXPECT_TRUE(app->tapped(moved(3, Type::moved, 1999)));
    EXPECT_EQ("pc1/3-3-3", app->router().mouse);
    const double first = app->lastEdge;
    app->lookAt("mac/2-2-2", 0, true);
    app->tapped(moved(3, Type::moved, 1999)); // the same push, within 0.4 s
    EXPECT_EQ("mac/2-2-2", app->router().mouse);
    EXPECT_EQ(first, app->lastEdge);
    std::this_thread::sleep_for(std::chrono::milliseconds(450));
    app->tapped(moved(3, Type::moved, 1999));
    EXPECT_EQ("pc1/3-3-3", app->router().mouse);
    // Nothing to the left of the left screen but this computer: nothing happens.
    app->lookAt("mac/1-1-1", 0, true);
    app->lastEdge = -1;
    app->tapped(moved(-3, Type::moved, 0));
    EXPECT_EQ(-1, app->lastEdge);
}

TEST_F(AppInputTest, TheSourceIsHandedBackBeforeTheEventIsHandled) {
    app->source = "pc1";
    onPC();
    EXPECT_FALSE(app->tapped(ev(Type::keyDown, 0)));
    EXPECT_FALSE(app->source);
}

TEST_F(AppInputTest, AskingForInputControlOpensTheKeyboardPageOnlyWhileTheServerLacksIt) {
    for (bool trusted : {true, false}) {
        input->isTrusted = trusted;
        app->guide.setStep(0);
        app->askAccess();
        EXPECT_EQ(app->guideWindow() && app->guideWindow()->isVisible(), !trusted) << trusted;
        EXPECT_EQ(app->guide.step(), trusted ? 0 : 2);
        EXPECT_EQ(app->accessMissing, !trusted);
    }
}

} // namespace
