#include "platform/x11/X11Pointer.h"

// gtest before Xlib: Xlib's macros (None, Bool) break gtest's templates.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <cmath>

namespace helm {
namespace {

// A virtual monitor on the test server; RandR keeps it until the connection that made it
// removes it or closes.
struct Monitor {
    Display* dpy = XOpenDisplay(nullptr);
    Atom name = 0;

    Monitor(int x, int w, bool primary) {
        name = XInternAtom(dpy, primary ? "HELM-PRIMARY" : "HELM-OTHER", False);
        XRRMonitorInfo m{};
        m.name = name;
        m.primary = primary;
        m.x = x;
        m.width = w;
        m.height = 1080;
        m.mwidth = 520;
        m.mheight = 290;
        XRRSetMonitor(dpy, DefaultRootWindow(dpy), &m);
        XSync(dpy, False);
    }
    ~Monitor() {
        XRRDeleteMonitor(dpy, DefaultRootWindow(dpy), name);
        XCloseDisplay(dpy);
    }

    std::pair<int, int> rootPointer() const {
        Window r = 0;
        Window c = 0;
        int rx = 0;
        int ry = 0;
        int wx = 0;
        int wy = 0;
        unsigned m = 0;
        XQueryPointer(dpy, DefaultRootWindow(dpy), &r, &c, &rx, &ry, &wx, &wy, &m);
        return {rx, ry};
    }
};

TEST(X11Pointer, FrameStartsAtThePrimaryMonitorsCorner) {
    Monitor primary(960, 320, true);
    ASSERT_NE(nullptr, primary.dpy);
    X11Pointer p;
    ASSERT_TRUE(p.connected());

    struct Case {
        Pointer::Point to;
        std::pair<int, int> root;
    } cases[] = {{{0, 0}, {960, 0}}, {{-900, 500}, {60, 500}}, {{100.6, 7.4}, {1061, 7}}};
    for (const Case& c : cases) {
        p.warp(c.to);
        EXPECT_EQ(c.root, primary.rootPointer()) << c.to.x;
        std::optional<Pointer::Point> at = p.location();
        ASSERT_TRUE(at);
        EXPECT_EQ(c.root.first - 960, at->x);
        EXPECT_EQ(c.root.second, at->y);
    }
}

TEST(X11Pointer, UnreadableWarpsAndMissingServerDoNothing) {
    X11Pointer p;
    p.warp({10, 20});
    p.warp({std::nan(""), 5});
    std::optional<Pointer::Point> at = p.location();
    ASSERT_TRUE(at);
    EXPECT_EQ(10, at->x);

    X11Pointer none(":4242");
    EXPECT_FALSE(none.connected());
    EXPECT_FALSE(none.location());
    none.warp({1, 1});
    none.setAttached(false);
}

} // namespace
} // namespace helm
