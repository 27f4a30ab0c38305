#include "platform/x11/X11Pointer.h"

#include "platform/x11/PostedEvents.h"
#include "platform/x11/X11Monitors.h"
#include "platform/x11/X11ReduceMotion.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <cmath>

namespace helm {

X11Pointer::X11Pointer(const std::string& display)
    : dpy_(XOpenDisplay(display.empty() ? nullptr : display.c_str())) {}

X11Pointer::~X11Pointer() {
    if (dpy_ != nullptr) {
        XCloseDisplay(dpy_);
    }
}

Pointer::Point X11Pointer::origin() {
    // The same corner the display list measures from, so every point shares one frame.
    RootOrigin o = primaryOrigin(dpy_);
    return {double(o.x), double(o.y)};
}

std::optional<Pointer::Point> X11Pointer::location() {
    if (dpy_ == nullptr) {
        return std::nullopt;
    }
    Window root = 0;
    Window child = 0;
    int rx = 0;
    int ry = 0;
    int wx = 0;
    int wy = 0;
    unsigned int mask = 0;
    if (!XQueryPointer(dpy_, DefaultRootWindow(dpy_), &root, &child, &rx, &ry, &wx, &wy, &mask)) {
        return std::nullopt; // on another X screen
    }
    Point o = origin();
    return Point{rx - o.x, ry - o.y};
}

void X11Pointer::warp(Point to) {
    if (dpy_ == nullptr || !std::isfinite(to.x) || !std::isfinite(to.y)) {
        return;
    }
    Point o = origin();
    XWarpPointer(dpy_, None, DefaultRootWindow(dpy_), 0, 0, 0, 0, int(std::lround(to.x + o.x)),
                 int(std::lround(to.y + o.y)));
    XSync(dpy_, False); // done when we return, for whoever reads the pointer next
}

void X11Pointer::postMove(Point to) {
    if (dpy_ == nullptr || !std::isfinite(to.x) || !std::isfinite(to.y) || std::fabs(to.x) > 1e6 ||
        std::fabs(to.y) > 1e6) {
        return;
    }
    Point o = origin();
    PostedEvents::shared().add(PostedEvents::Kind::motion, 0, false, PostedEvents::Clock::now());
    XTestFakeMotionEvent(dpy_, -1, int(std::lround(to.x + o.x)), int(std::lround(to.y + o.y)),
                         CurrentTime);
    XSync(dpy_, False);
}

void X11Pointer::setAttached(bool attached) {
    if (grab) {
        grab(attached);
    }
}

bool X11Pointer::reducedMotion() {
    return X11ReduceMotion().reduced();
}

} // namespace helm
