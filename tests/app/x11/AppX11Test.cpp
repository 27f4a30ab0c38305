// A PC's input played on this computer through the X server: Xvfb, started for the run.
#include "AppFixture.h"
#include "platform/SerialQueue.h"
#include "platform/sim/FakeDisplaySource.h"
#include "platform/x11/X11Input.h"
#include "platform/x11/X11PointerPoster.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

// Xlib's macros clash with other headers' names: X headers come last.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

using namespace helm;

namespace {

struct AppX11Test : ::testing::Test, test::AppFixture {
    Display* dpy = XOpenDisplay(nullptr);
    ~AppX11Test() override {
        if (dpy) {
            XCloseDisplay(dpy);
        }
    }

    // This computer with one 1280×1024 display (Xvfb's) and the connected PC "pc1", which
    // is allowed to drive it.
    std::unique_ptr<App> desk() {
        Platform p = simPlatform();
        p.input = X11Input::open("", {});
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
};

TEST_F(AppX11Test, APCsKeyReachesTheFocusedWindow) {
    ASSERT_TRUE(dpy);
    Window w = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 200, 200, 0, 0, 0);
    XSelectInput(dpy, w, KeyPressMask | KeyReleaseMask);
    XMapRaised(dpy, w);
    XSync(dpy, False);
    XSetInputFocus(dpy, w, RevertToParent, CurrentTime);
    XSync(dpy, False);
    auto app = desk();
    app->typeOnMac("pc1", 0x1E, true); // the PC's A
    app->typeOnMac("pc1", 0x1E, false);
    std::vector<KeySym> pressed;
    QElapsedTimer clock;
    clock.start();
    while (pressed.empty() && clock.elapsed() < 2000) {
        XSync(dpy, False);
        while (XPending(dpy)) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            if (ev.type == KeyPress) {
                pressed.push_back(XLookupKeysym(&ev.xkey, 0));
            }
        }
    }
    EXPECT_EQ(pressed, std::vector<KeySym>{XK_a});
}

// Super+Alt+L typed through XTest by another program is the user's hotkey; the same keys
// played here from pc1's keyboard are our own posts and reach the focused window as keys.
TEST_F(AppX11Test, AHotkeyFromAnotherProgramsXTestLocksAndOursDoesNot) {
    ASSERT_TRUE(dpy);
    Window w = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 200, 200, 0, 0, 0);
    XSelectInput(dpy, w, KeyPressMask);
    XMapRaised(dpy, w);
    XSync(dpy, False);
    XSetInputFocus(dpy, w, RevertToParent, CurrentTime);
    XSync(dpy, False);
    auto app = desk();
    app->installTap(false);
    app->lookAt("mac/a", 0, true);
    struct Case {
        const char* who;
        std::function<void(bool)> super, alt, l;
        bool locks;
    };
    auto fake = [this](KeySym sym) {
        return [this, sym](bool down) {
            XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, sym), down, CurrentTime);
            XSync(dpy, False);
        };
    };
    auto pc = [&app](int scan) {
        return [&app, scan](bool down) { app->typeOnMac("pc1", scan, down); };
    };
    const Case cases[] = {
        {"another program", fake(XK_Super_L), fake(XK_Alt_L), fake(XK_l), true},
        {"pc1's keyboard", pc(0xE05B), pc(0x38), pc(0x26), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.who);
        ASSERT_FALSE(app->router().locked);
        c.super(true);
        c.alt(true);
        c.l(true);
        c.l(false);
        c.alt(false);
        c.super(false);
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < (c.locks ? 2000 : 300) && !app->router().locked) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        EXPECT_EQ(app->router().locked.has_value(), c.locks);
        int typed = 0;
        XSync(dpy, False);
        while (XPending(dpy)) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            typed += ev.type == KeyPress && XLookupKeysym(&ev.xkey, 0) == XK_l;
        }
        EXPECT_EQ(typed, c.locks ? 0 : 1) << "L reaches the focused window";
        app->router().locked.reset();
    }
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
