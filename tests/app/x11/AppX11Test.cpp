// A PC's input played on this computer through the X server: Xvfb, started for the run.
#include "AppFixture.h"
#include "platform/SerialQueue.h"
#include "platform/sim/FakeDisplaySource.h"
#include "platform/x11/X11Input.h"
#include "platform/x11/X11PointerPoster.h"
#include "windows/SettingsModel.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

// Xlib's macros clash with other headers' names: X headers come last.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

using namespace helm;

namespace {

struct AppX11Test : ::testing::Test, test::AppFixture {
    Display* dpy = XOpenDisplay(nullptr);
    InputService* input = nullptr; // the last desk's
    ~AppX11Test() override {
        if (dpy) {
            XCloseDisplay(dpy);
        }
    }

    // This computer with one 1280×1024 display (Xvfb's) and the connected PC "pc1", which
    // is allowed to drive it.
    std::unique_ptr<App> desk() {
        Platform p = simPlatform();
        // Taken hotkeys are tried again quickly here: the tests wait for it.
        p.input = X11Input::open(
            "", [](const std::string& line) { helm::log(line); }, std::chrono::milliseconds(100));
        input = p.input.get();
        p.poster = std::make_unique<X11PointerPoster>();
        DisplayInfo d;
        d.w = 1280;
        d.h = 1024;
        p.displays = std::make_unique<FakeDisplaySource>(std::vector<DisplayInfo>{d});
        auto app = make({"--no-camera"}, std::move(p));
        helm::Screen mac, pc;
        mac.id = "mac/a";
        mac.number = 1;
        pc.id = "pc1/x";
        pc.number = 2;
        pc.computer = "pc1";
        Layout l;
        l.screens = {mac, pc};
        app->setLayout(l);
        app->connected = {"pc1"};
        app->postLine = [](const std::string&, const std::string&) {};
        app->prefs.setAllowedPCs({"pc1"});
        return app;
    }
    // A window of another client that has the keyboard focus.
    void focusWindow() {
        Window w = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 200, 200, 0, 0, 0);
        XSelectInput(dpy, w, KeyPressMask);
        XMapRaised(dpy, w);
        XSync(dpy, False);
        XSetInputFocus(dpy, w, RevertToParent, CurrentTime);
        XSync(dpy, False);
    }
    // The keys that window was typed, gathered until done says so or ms have passed.
    std::vector<KeySym> typed(const std::function<bool(const std::vector<KeySym>&)>& done,
                              int ms = 2000) {
        std::vector<KeySym> keys;
        QElapsedTimer clock;
        clock.start();
        while (!done(keys) && clock.elapsed() < ms) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            XSync(dpy, False);
            while (XPending(dpy)) {
                XEvent ev;
                XNextEvent(dpy, &ev);
                if (ev.type == KeyPress) {
                    keys.push_back(XLookupKeysym(&ev.xkey, 0));
                }
            }
        }
        return keys;
    }
};

TEST_F(AppX11Test, APCsKeyReachesTheFocusedWindow) {
    ASSERT_TRUE(dpy);
    focusWindow();
    auto app = desk();
    app->typeOnMac("pc1", 0x1E, true); // the PC's A
    app->typeOnMac("pc1", 0x1E, false);
    EXPECT_EQ(typed([](const auto& keys) { return !keys.empty(); }), std::vector<KeySym>{XK_a});
}

// Super+Alt+L typed through XTest by another program is the user's hotkey; the same keys
// played here from pc1's keyboard are our own posts and reach the focused window as keys.
TEST_F(AppX11Test, AHotkeyFromAnotherProgramsXTestLocksAndOursPassesAsKeys) {
    ASSERT_TRUE(dpy);
    focusWindow();
    auto app = desk();
    app->installTap(false);
    const KeySym syms[] = {XK_Super_L, XK_Alt_L, XK_l};
    const int scans[] = {0xE05B, 0x38, 0x26}; // the PC's left Windows key, left Alt and L
    for (bool ours : {false, true}) {
        SCOPED_TRACE(ours ? "pc1's keys" : "another program's");
        app->router().locked.reset();
        auto key = [&](int i, bool down) {
            if (ours) {
                app->typeOnMac("pc1", scans[i], down);
            } else {
                XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, syms[i]), down, CurrentTime);
            }
        };
        for (int i : {0, 1, 2, -3, -2, -1}) {
            key(i < 0 ? -i - 1 : i, i >= 0);
        }
        // Ours must not lock, however long it is given: it has a while to do so.
        std::vector<KeySym> keys =
            typed([&](const auto&) { return app->router().locked.has_value(); }, ours ? 300 : 2000);
        EXPECT_EQ(app->router().locked.has_value(), !ours);
        EXPECT_EQ(std::count(keys.begin(), keys.end(), XK_l), ours ? 1 : 0);
    }
}

// A hotkey held past the keyboard's repeat delay toggles once; its repeats are swallowed.
TEST_F(AppX11Test, AHeldHotkeyTogglesOncePerPress) {
    ASSERT_TRUE(dpy);
    focusWindow();
    auto app = desk();
    app->installTap(false);
    auto key = [&](KeySym sym, bool down) {
        XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, sym), down, CurrentTime);
        XSync(dpy, False);
    };
    key(XK_Super_L, true);
    key(XK_Alt_L, true);
    key(XK_l, true);
    typed([](const auto&) { return false; }, 1500); // the server repeats L meanwhile
    key(XK_l, false);
    key(XK_Alt_L, false);
    key(XK_Super_L, false);
    EXPECT_TRUE(typed([](const auto&) { return false; }, 200).empty());
    EXPECT_EQ(countLogged("lock = "), 1);
}

// Super+Alt+1 pressed while focus is on pc1 jumps home: the pointer grab goes and the modifiers
// come up between the digit's press and its release, in either order; pc1 never hears of 1.
TEST_F(AppX11Test, TheReleaseOfASwallowedHotkeyIsSwallowedWhateverTheGrabsDo) {
    ASSERT_TRUE(dpy);
    const KeySym modifiersFirst[] = {XK_Super_L, XK_Alt_L, XK_1, XK_Alt_L, XK_Super_L, XK_1};
    const KeySym digitFirst[] = {XK_Super_L, XK_Alt_L, XK_1, XK_1, XK_Alt_L, XK_Super_L};
    for (const KeySym* order : {modifiersFirst, digitFirst}) {
        auto app = desk();
        std::vector<std::string> sent;
        app->postLine = [&](const std::string& line, const std::string&) { sent.push_back(line); };
        app->installTap(false);
        app->lookAt("pc1/x", 0, true);
        ASSERT_TRUE(typed([&](const auto&) { return input->keyboardGrabbed(); }).empty());
        std::set<KeySym> down;
        for (int i = 0; i < 6; ++i) {
            const bool press = down.insert(order[i]).second;
            XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, order[i]), press, CurrentTime);
            XSync(dpy, False);
            typed([](const auto&) { return false; }, 100);
        }
        EXPECT_FALSE(input->pointerGrabbed()) << "the mouse went home at once";
        for (const std::string& line : sent) {
            EXPECT_NE(line.rfind("k 2 ", 0), 0u) << line;
        }
    }
}

// A lock key typed while focus is on pc1 toggles pc1's lock and leaves this computer's as it
// was, on or off.
TEST_F(AppX11Test, ALockKeyForwardedToAPCLeavesThisComputersLockAlone) {
    ASSERT_TRUE(dpy);
    struct Case {
        KeySym key;
        unsigned mask; // its lock here
        unsigned before;
        const char* release; // pc1's line for the key's release
    };
    for (const Case& c : {Case{XK_Caps_Lock, LockMask, 0, "k 58 0"},
                          Case{XK_Num_Lock, Mod2Mask, Mod2Mask, "k 69 0"}}) {
        SCOPED_TRACE(c.release);
        XkbLockModifiers(dpy, XkbUseCoreKbd, c.mask, c.before);
        XSync(dpy, False);
        auto app = desk();
        std::vector<std::string> sent;
        app->postLine = [&](const std::string& line, const std::string&) { sent.push_back(line); };
        app->installTap(false);
        app->lookAt("pc1/x", 0, true);
        ASSERT_TRUE(typed([&](const auto&) { return input->keyboardGrabbed(); }).empty());
        XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, c.key), True, CurrentTime);
        XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, c.key), False, CurrentTime);
        XSync(dpy, False);
        typed([&](const auto&) { return std::count(sent.begin(), sent.end(), c.release) > 0; });
        EXPECT_EQ(std::count(sent.begin(), sent.end(), c.release), 1);
        XkbStateRec state{};
        typed([&](const auto&) {
            XkbGetState(dpy, XkbUseCoreKbd, &state);
            return (state.locked_mods & c.mask) == c.before;
        });
        EXPECT_EQ(state.locked_mods & c.mask, c.before);
        XkbLockModifiers(dpy, XkbUseCoreKbd, c.mask, 0);
    }
}

// Another client holds Super+Alt+L: the user is told, and its press is that client's alone.
// Once the client quits, the combination is ours, and L no longer reaches the focused window.
TEST_F(AppX11Test, AHotkeyAnotherClientHoldsIsLeftToItUntilItQuits) {
    ASSERT_TRUE(dpy);
    Display* holder = XOpenDisplay(nullptr);
    XGrabKey(holder, XKeysymToKeycode(holder, XK_l), Mod4Mask | Mod1Mask, DefaultRootWindow(holder),
             False, GrabModeAsync, GrabModeAsync);
    XSync(holder, False);
    focusWindow();
    auto app = desk();
    app->installTap(false);
    typed([&](const auto&) { return app->hud.note().has_value(); });
    const std::string told = "Another program holds Super+Alt+L, so Helmvantor leaves it to that "
                             "program. Helmvantor takes it as soon as it's free.";
    EXPECT_EQ(app->hud.note(), told);
    EXPECT_EQ(app->settings().hotkeysMessage(), told);
    auto pressHotkey = [&] {
        const KeySym syms[] = {XK_Super_L, XK_Alt_L, XK_l};
        for (int i : {0, 1, 2, -3, -2, -1}) {
            XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, syms[i < 0 ? -i - 1 : i]), i >= 0,
                              CurrentTime);
        }
        XSync(dpy, False);
        const int before = countLogged("lock = ");
        return typed([&](const auto&) { return countLogged("lock = ") > before; }, 500);
    };
    pressHotkey();
    EXPECT_EQ(countLogged("lock = "), 0) << "the holder's press";
    XCloseDisplay(holder);
    typed([&](const auto&) { return input->takenHotkeys().empty(); });
    EXPECT_FALSE(app->settings().hotkeysMessage());
    std::vector<KeySym> keys = pressHotkey();
    EXPECT_EQ(countLogged("lock = "), 1);
    EXPECT_EQ(std::count(keys.begin(), keys.end(), XK_l), 0);
    EXPECT_EQ(countLogged("hotkey taken: Super+Alt+L"), 1) << "however often it was tried";
}

TEST_F(AppX11Test, FastRoadMovesThePointerFromTheLinksThread) {
    ASSERT_TRUE(dpy);
    auto app = desk();
    app->lookAt("mac/a", 0, true);
    app->remoteActivity("pc1");
    ASSERT_TRUE(app->moveRoute.get());
    XWarpPointer(dpy, None, DefaultRootWindow(dpy), 0, 0, 0, 0, 100, 100);
    XSync(dpy, False);
    SerialQueue link("pivmor.hub");
    bool handled = false;
    link.sync([&] {
        handled = app->fastMove("pc1", 10, 20);
        handled = handled && app->fastMove("pc1", 5000, 0); // stops inside the display
    });
    EXPECT_TRUE(handled);
    Window root = 0, child = 0;
    int x = 0, y = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    QElapsedTimer clock;
    clock.start();
    do { // the other connection's moves reach the server on their own time
        XQueryPointer(dpy, DefaultRootWindow(dpy), &root, &child, &x, &y, &wx, &wy, &mask);
    } while (x != 1279 && clock.elapsed() < 1000);
    EXPECT_EQ(x, 1279);
    EXPECT_EQ(y, 120);
}

} // namespace
