#include "platform/x11/X11PointerPoster.h"

#include "platform/x11/PostedEvents.h"
#include "platform/x11/X11Monitors.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <cmath>

namespace helm {

X11PointerPoster::X11PointerPoster(std::string display) : name_(std::move(display)) {}

X11PointerPoster::~X11PointerPoster() {
    if (dpy_ != nullptr) {
        XCloseDisplay(dpy_);
    }
}

bool X11PointerPoster::open() {
    if (!tried_) {
        tried_ = true;
        dpy_ = XOpenDisplay(name_.empty() ? nullptr : name_.c_str());
        int event = 0, error = 0, major = 0, minor = 0;
        xtest_ = dpy_ != nullptr && XTestQueryExtension(dpy_, &event, &error, &major, &minor);
    }
    return dpy_ != nullptr;
}

std::optional<Pointer::Point> X11PointerPoster::location() {
    if (!open()) {
        return std::nullopt;
    }
    Window root = 0, child = 0;
    int rx = 0, ry = 0, wx = 0, wy = 0;
    unsigned int mask = 0;
    if (!XQueryPointer(dpy_, DefaultRootWindow(dpy_), &root, &child, &rx, &ry, &wx, &wy, &mask)) {
        return std::nullopt;
    }
    RootOrigin o = primaryOrigin(dpy_);
    return Pointer::Point{double(rx - o.x), double(ry - o.y)};
}

void X11PointerPoster::moveTo(Pointer::Point to) {
    if (!open() || !xtest_ || !std::isfinite(to.x) || !std::isfinite(to.y) ||
        std::fabs(to.x) > 1e6 || std::fabs(to.y) > 1e6) {
        return;
    }
    RootOrigin o = primaryOrigin(dpy_);
    PostedEvents::shared().add(PostedEvents::Kind::motion, 0, false, PostedEvents::Clock::now());
    XTestFakeMotionEvent(dpy_, -1, int(std::lround(to.x + o.x)), int(std::lround(to.y + o.y)),
                         CurrentTime);
    XFlush(dpy_);
}

} // namespace helm
