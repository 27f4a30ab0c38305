#include "platform/x11/X11Input.h"
#include "platform/x11/X11KeyCodes.h"

#include "input/Hotkeys.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>

// Xlib's macros clash with other headers' names: X headers come last.

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace helm;

namespace {

using Type = InputEvent::Type;

// Runs the event loop until `done` or the time is up; true when done.
bool waitFor(const std::function<bool()>& done, int ms = 2000) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

// Another client on the same display: a focused window that counts the keys it receives, and
// the XTest device the user's hands stand in for.
struct Other {
    Display* dpy = XOpenDisplay(nullptr);
    Window window = 0;
    ~Other() { XCloseDisplay(dpy); }
    void focusWindow() {
        window = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 200, 200, 0, 0, 0);
        XSelectInput(dpy, window, KeyPressMask | KeyReleaseMask);
        XMapRaised(dpy, window);
        XSync(dpy, False);
        XSetInputFocus(dpy, window, RevertToParent, CurrentTime);
        XSync(dpy, False);
    }
    int keysReceived() {
        int n = 0;
        XSync(dpy, False);
        while (XPending(dpy)) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            n += ev.type == KeyPress || ev.type == KeyRelease;
        }
        return n;
    }
    void key(KeySym sym, bool down) {
        XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, sym), down, CurrentTime);
        XSync(dpy, False);
    }
};

// Puts the server's own layout back at the end of a test that changes it: later tests type on it.
struct UsAgain {
    ~UsAgain() { EXPECT_EQ(std::system("setxkbmap -model pc105 -layout us"), 0); }
};

class X11InputTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "x11_tests";
        static char* argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
    }
    void SetUp() override {
        input = X11Input::open("", [this](const std::string& line) { logged.push_back(line); });
        ASSERT_TRUE(input) << "no display";
        ASSERT_TRUE(input->trusted());
        ASSERT_TRUE(input->observe([this](const InputEvent& e) { events.push_back(e); }));
        waitFor([] { return false; }, 50);
    }
    int count(Type type, int code = -1) const {
        int n = 0;
        for (const auto& e : events)
            n += e.type == type && (code < 0 || e.code == code);
        return n;
    }
    bool loggedLine(const std::string& line) const {
        return std::find(logged.begin(), logged.end(), line) != logged.end();
    }

    std::unique_ptr<X11Input> input;
    std::vector<InputEvent> events;
    std::vector<std::string> logged;
    Other other;
};

TEST_F(X11InputTest, PostedKeysComeBackMarkedInMacTermsAndAreReleasedAtTheEnd) {
    input->postKey(56, true); // left Shift
    input->postKey(0, true);  // A
    ASSERT_TRUE(waitFor([&] { return count(Type::keyDown, 0) == 1; }));
    const InputEvent& a = events.back();
    EXPECT_TRUE(a.marked);
    EXPECT_EQ(a.flags & (0x02 | InputEvent::shift), 0x02 | InputEvent::shift);
    EXPECT_EQ(count(Type::flagsChanged, 56), 1);
    // Xvfb's keyboard model is pc105: the key left of 1 (X code 49) is the Mac's ISO section key.
    ASSERT_TRUE(input->iso());
    input->postKey(10, true);
    ASSERT_TRUE(waitFor([&] { return count(Type::keyDown, 10) == 1; }));
    char keys[32];
    XQueryKeymap(other.dpy, keys);
    EXPECT_TRUE(keys[49 / 8] & (1 << (49 % 8)));
    input.reset(); // quitting releases what it posted
    XQueryKeymap(other.dpy, keys);
    for (char byte : keys)
        EXPECT_EQ(byte, 0);
}

TEST_F(X11InputTest, KeyboardGrabKeepsKeysFromOtherClientsAndRepeatsHeldKeys) {
    other.focusWindow();
    input->wantGrabs(true, false);
    ASSERT_TRUE(input->keyboardGrabbed());
    other.key(XK_k, true);
    waitFor([] { return false; }, 1200);
    other.key(XK_k, false);
    ASSERT_TRUE(waitFor([&] { return count(Type::keyUp, 40) == 1; }));
    EXPECT_GT(count(Type::keyDown, 40), 3) << "a held key repeats";
    EXPECT_EQ(other.keysReceived(), 0);
    input->wantGrabs(false, false);
    EXPECT_FALSE(input->keyboardGrabbed());
    other.key(XK_k, true);
    other.key(XK_k, false);
    EXPECT_EQ(other.keysReceived(), 2);
}

// Another program's XTest keys (an on-screen keyboard, a remote desktop) are the user's: the
// hotkey is grabbed, seen once with control-option, and not marked as a post of ours. With a
// German layout the right Alt key is AltGr, which plays option too: Super+AltGr+L is grabbed
// as well, so L never reaches the focused window.
TEST_F(X11InputTest, HotkeyFromAnotherProgramIsSwallowedAndSeenOnceWithControlOption) {
    UsAgain usAgain;
    struct Case {
        const char* layout;
        unsigned option; // X key code: left Alt, or the key right of Space
        KeySym plays;
    };
    for (const Case& c : {Case{"us", 64, XK_Alt_L}, Case{"de", 108, XK_ISO_Level3_Shift}}) {
        SCOPED_TRACE(c.layout);
        ASSERT_EQ(std::system(("setxkbmap -model pc105 -layout " + std::string(c.layout)).c_str()),
                  0);
        Display* fresh = XOpenDisplay(nullptr); // reads the layout now in force
        KeySym plays = XkbKeycodeToKeysym(fresh, static_cast<KeyCode>(c.option), 0, 0);
        XCloseDisplay(fresh);
        ASSERT_EQ(plays, c.plays);
        waitFor([] { return false; }, 50); // the new key table reaches the input layer
        events.clear();
        input->grabHotkeys({Hotkeys::all().begin(), Hotkeys::all().end()});
        other.focusWindow();
        other.keysReceived();
        auto option = [&](bool down) {
            XTestFakeKeyEvent(other.dpy, c.option, down, CurrentTime);
            XSync(other.dpy, False);
        };
        other.key(XK_Super_L, true);
        option(true);
        other.key(XK_l, true);
        other.key(XK_l, false);
        option(false);
        other.key(XK_Super_L, false);
        ASSERT_TRUE(waitFor([&] { return count(Type::keyUp, 37) == 1; }));
        EXPECT_EQ(count(Type::keyDown, 37), 1);
        for (const auto& e : events) {
            EXPECT_FALSE(e.marked);
            if (e.code == 37) {
                EXPECT_EQ(e.flags & Hotkeys::flags, Hotkeys::flags);
            }
        }
        EXPECT_EQ(other.keysReceived(), 4) << "only the modifiers reach the focused window";
    }
}

// A PC's right Alt is the key this layout has there: right Alt where the layout gives that key
// Alt_R, AltGr where it makes it AltGr; never the extra key a US layout puts AltGr on.
TEST_F(X11InputTest, APCsRightAltIsPlayedAsTheKeyThisLayoutHasThere) {
    UsAgain usAgain;
    for (std::string layout : {"us", "de"}) {
        SCOPED_TRACE(layout);
        ASSERT_EQ(std::system(("setxkbmap -model pc105 -layout " + layout).c_str()), 0);
        events.clear();
        SetUp(); // reads the layout now in force
        input->postKey(61, true);
        ASSERT_TRUE(waitFor([&] { return count(Type::flagsChanged, 61) == 1; }));
        char keys[32];
        XQueryKeymap(other.dpy, keys);
        std::vector<int> down;
        for (int k = 8; k < 256; ++k)
            if (keys[k / 8] & (1 << (k % 8)))
                down.push_back(k);
        EXPECT_EQ(down, std::vector<int>{108}) << "the key right of Space";
    }
}

// The grab's end reads the keyboard before the release's own event is taken in: one release.
TEST_F(X11InputTest, AKeyReleasedAsAGrabEndsIsReportedUpOnce) {
    input->wantGrabs(true, false);
    other.key(XK_k, true);
    ASSERT_TRUE(waitFor([&] { return count(Type::keyDown, 40) == 1; }));
    other.key(XK_k, false);
    input->wantGrabs(false, false);
    waitFor([] { return false; }, 200);
    EXPECT_EQ(count(Type::keyUp, 40), 1);
}

TEST_F(X11InputTest, EscapeReservedReachesOnlyUsAndIsTheFocusedWindowsAgainAfter) {
    other.focusWindow();
    for (bool held : {true, false}) {
        SCOPED_TRACE(held);
        input->grabEscape(held);
        events.clear();
        other.keysReceived();
        other.key(XK_Escape, true);
        other.key(XK_Escape, false);
        ASSERT_TRUE(waitFor([&] { return count(Type::keyUp, 53) == 1; }));
        EXPECT_EQ(count(Type::keyDown, 53), 1) << "seen either way";
        EXPECT_EQ(other.keysReceived(), held ? 0 : 2);
    }
}

TEST_F(X11InputTest, HotkeyHeldByAnotherClientIsLoggedNotFatal) {
    KeyCode p = XKeysymToKeycode(other.dpy, XK_p);
    XGrabKey(other.dpy, p, Mod4Mask | Mod1Mask, DefaultRootWindow(other.dpy), False, GrabModeAsync,
             GrabModeAsync);
    XSync(other.dpy, False);
    input->grabHotkeys({Hotkeys::all()[0], Hotkeys::all()[1]});
    EXPECT_TRUE(loggedLine("hotkey taken: Super+Alt+P"));
    EXPECT_FALSE(loggedLine("hotkey taken: Super+Alt+L"));
}

TEST_F(X11InputTest, PointerGrabHoldsThePointerStillWhileDeltasArrive) {
    XTestFakeMotionEvent(other.dpy, -1, 300, 200, CurrentTime);
    XSync(other.dpy, False);
    ASSERT_TRUE(waitFor([&] { return count(Type::moved) >= 1; }));
    input->wantGrabs(false, true);
    ASSERT_TRUE(input->pointerGrabbed());
    events.clear();
    for (int i = 0; i < 5; ++i)
        XTestFakeRelativeMotionEvent(other.dpy, 10, -4, CurrentTime);
    XSync(other.dpy, False);
    ASSERT_TRUE(waitFor([&] { return count(Type::moved) >= 5; }));
    std::int64_t dx = 0, dy = 0;
    for (const auto& e : events) {
        dx += e.dx;
        dy += e.dy;
        EXPECT_EQ(e.x, 300);
        EXPECT_EQ(e.y, 200);
    }
    EXPECT_EQ(dx, 50);
    EXPECT_EQ(dy, -20);
    XTestFakeButtonEvent(other.dpy, 4, True, CurrentTime);
    XTestFakeButtonEvent(other.dpy, 4, False, CurrentTime);
    XSync(other.dpy, False);
    ASSERT_TRUE(waitFor([&] { return count(Type::scrollWheel) >= 1; }));
    waitFor([] { return false; }, 100);
    EXPECT_EQ(count(Type::scrollWheel), 1) << "a wheel click is counted once";
    EXPECT_EQ(events.back().scrollY, 48);
}

TEST_F(X11InputTest, GrabsHeldElsewhereAreRetriedThenGivenUp) {
    struct Case {
        bool otherHoldsKeyboard;
        const char* line;
    };
    other.focusWindow();
    int changes = 0;
    input->onGrabChange([&] { ++changes; });
    for (const Case& c : {Case{true, "keyboard grab failed"}, Case{false, "pointer grab failed"}}) {
        SCOPED_TRACE(c.line);
        changes = 0;
        logged.clear();
        ASSERT_EQ(c.otherHoldsKeyboard
                      ? XGrabKeyboard(other.dpy, other.window, False, GrabModeAsync, GrabModeAsync,
                                      CurrentTime)
                      : XGrabPointer(other.dpy, other.window, False, ButtonPressMask, GrabModeAsync,
                                     GrabModeAsync, 0, 0, CurrentTime),
                  GrabSuccess);
        XSync(other.dpy, False);
        input->wantGrabs(true, true);
        EXPECT_NE(input->keyboardGrabbed(), c.otherHoldsKeyboard);
        EXPECT_TRUE(logged.empty()) << "retried before giving up";
        ASSERT_TRUE(waitFor([&] { return loggedLine(c.line); }, 3000));
        EXPECT_EQ(logged.size(), 1u);
        // A pointer left here takes the keyboard back with it.
        EXPECT_FALSE(input->keyboardGrabbed());
        EXPECT_EQ(input->pointerGrabbed(), c.otherHoldsKeyboard);
        EXPECT_GE(changes, 1);
        XUngrabKeyboard(other.dpy, CurrentTime);
        XUngrabPointer(other.dpy, CurrentTime);
        XSync(other.dpy, False);
        input->wantGrabs(true, true); // still wanted: given up until wanted afresh
        EXPECT_FALSE(input->keyboardGrabbed());
        input->wantGrabs(false, false);
        input->wantGrabs(true, false);
        EXPECT_TRUE(input->keyboardGrabbed());
        input->wantGrabs(false, false);
    }
}

} // namespace

TEST(X11KeyCodes, PositionsAndRolesBothKeyboardKinds) {
    struct Case {
        int evdev;
        bool iso;
        std::optional<int> mac;
    };
    const std::vector<Case> cases = {
        {41, false, 50}, {86, false, 10},  {41, true, 10},   {86, true, 50}, {38, true, 37},
        {29, false, 55}, {125, false, 59}, {100, false, 61}, {2, false, 18}, {240, false, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(X11KeyCodes::macForEvdev(c.evdev, c.iso), c.mac) << c.evdev;
        if (c.mac) {
            EXPECT_EQ(X11KeyCodes::evdevForMac(*c.mac, c.iso), c.evdev) << c.evdev;
        }
    }
    EXPECT_EQ(X11KeyCodes::macForModifierKeysym(XK_Control_R), 54);
    EXPECT_EQ(X11KeyCodes::macForModifierKeysym(XK_ISO_Level3_Shift), 61);
    EXPECT_EQ(X11KeyCodes::macForModifierKeysym(XK_a), std::nullopt);
    for (auto [model, iso] : std::vector<std::pair<const char*, bool>>{
             {"pc105", true}, {"pc102", true}, {"pc104", false}, {"pc105+inet", true}, {"", false}})
        EXPECT_EQ(X11KeyCodes::isIsoModel(model), iso) << model;
}
