// A hotkey jump's glide as the user sees it: the X pointer read from another connection while
// the program handles the jump, its tray icon included.
#include "AppFixture.h"
#include "app/menu/TrayStatusItem.h"
#include "overlays/JumpMotion.h"
#include "platform/sim/FakeDisplaySource.h"
#include "platform/x11/X11Input.h"
#include "platform/x11/X11Pointer.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

using namespace helm;

namespace {

using Clock = std::chrono::steady_clock;

struct Seen {
    double ms; // after the hotkey went to the server
    int x, y;
};

// Types Super+Alt+2 and reads the pointer every millisecond for a second.
std::vector<Seen> hotkeyAndWatch(std::atomic<bool>& done) {
    std::vector<Seen> seen;
    Display* dpy = XOpenDisplay(nullptr);
    if (dpy == nullptr) {
        done = true;
        return seen;
    }
    for (KeySym k : {XK_Super_L, XK_Alt_L}) {
        XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, k), True, CurrentTime);
    }
    XSync(dpy, False);
    XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, XK_2), True, CurrentTime);
    XSync(dpy, False);
    const Clock::time_point sent = Clock::now();
    for (KeySym k : {XK_2, XK_Alt_L, XK_Super_L}) {
        XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, k), False, CurrentTime);
    }
    XSync(dpy, False);
    while (Clock::now() - sent < std::chrono::seconds(1)) {
        Window root, child;
        int x, y, wx, wy;
        unsigned mask;
        XQueryPointer(dpy, DefaultRootWindow(dpy), &root, &child, &x, &y, &wx, &wy, &mask);
        seen.push_back(
            {std::chrono::duration<double, std::milli>(Clock::now() - sent).count(), x, y});
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    XCloseDisplay(dpy);
    done = true;
    return seen;
}

struct AppX11GlideTest : ::testing::Test, test::AppFixture {};

} // namespace

// The 0.6 s glide from the left display to the right one keeps to its timetable while the
// keys follow (the tray icon takes the new screen's number) and the arrival effect plays.
TEST_F(AppX11GlideTest, AHotkeyJumpsGlideMovesFromItsFirstFrames) {
    Display* dpy = XOpenDisplay(nullptr);
    ASSERT_TRUE(dpy);
    Platform p = simPlatform();
    p.input = X11Input::open("", [](const std::string& line) { helm::log(line); });
    p.pointer = std::make_unique<X11Pointer>();
    p.statusItem = std::make_unique<TrayStatusItem>();
    p.displays = std::make_unique<FakeDisplaySource>(
        std::vector<DisplayInfo>{test::display(0, 0, 640, 1024), test::display(1, 640, 640, 1024)});
    defaults.set("onboarded", true);
    auto app = make({"--no-camera"}, std::move(p));
    app->applicationDidFinishLaunching(); // the hotkeys, the main timer
    helm::Screen one = test::pcScreen("mac/a", 1);
    helm::Screen two = test::pcScreen("mac/b", 2);
    two.display = 1;
    two.yaw = -30;
    Layout l;
    l.screens = {one, two};
    app->setLayout(l);
    app->prefs.setJumpId("glide");
    XWarpPointer(dpy, None, DefaultRootWindow(dpy), 0, 0, 0, 0, 100, 500);
    XSync(dpy, False);
    QCoreApplication::processEvents();

    std::atomic<bool> done = false;
    std::vector<Seen> seen;
    std::thread watch([&] { seen = hotkeyAndWatch(done); });
    while (!done) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    watch.join();
    XCloseDisplay(dpy);

    // How far behind the recipe's own timetable the pointer is: each place read is matched
    // with the latest point of the path it stands for (the glide eases in, so its first
    // frames hardly move), taken from the glide's first step on.
    const JumpRecipe recipe = *app->jump();
    std::string dir;
    auto path = [&](double at) {
        return Jumps::position(*recipe.motion, at, {960, 512}, dir, {640, 0, 640, 1024});
    };
    auto at = [](Jumps::Point p, const Seen& s) {
        return std::abs(p.x - s.x) <= 1.5 && std::abs(p.y - s.y) <= 1.5;
    };
    // The side it comes in from is the router's business: the first place off the start says.
    std::size_t first = 1;
    while (first < seen.size() && seen[first].x == seen[0].x && seen[first].y == seen[0].y) {
        ++first;
    }
    ASSERT_LT(first, seen.size()) << "the pointer never moved";
    for (const char* side : {"L", "R", "U", "D"}) {
        dir = side;
        if (at(path(0), seen[first])) {
            break;
        }
    }
    ASSERT_TRUE(at(path(0), seen[first])) << "the glide never started";
    double reached = 0;
    double worst = 0; // ms
    for (std::size_t i = first; i < seen.size() && reached < 1; ++i) {
        for (double q = std::min(1.0, reached + 0.5); q > reached; q -= 0.001) {
            if (at(path(q), seen[i])) {
                reached = q;
                break;
            }
        }
        const double late = seen[i].ms - seen[first].ms - reached * recipe.dur * 1000;
        worst = std::max(worst, late);
    }
    // Steps every 8 ms; a busy machine stretches some, the icon's redraw stalled it 100 ms.
    EXPECT_LT(seen[first].ms, 100) << "the jump itself waited";
    EXPECT_LT(worst, 50) << "the pointer fell behind its glide by " << worst << " ms";
    EXPECT_EQ(1, reached) << "it landed";
}
