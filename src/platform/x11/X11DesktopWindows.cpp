#include "platform/x11/X11DesktopWindows.h"

#include <QTimer>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <string>
#include <vector>

namespace helm {

X11DesktopWindows::X11DesktopWindows(const std::string& display)
    : dpy_(XOpenDisplay(display.empty() ? nullptr : display.c_str())) {}

X11DesktopWindows::~X11DesktopWindows() {
    events_.reset();
    if (dpy_ != nullptr) {
        XCloseDisplay(dpy_);
    }
}

bool X11DesktopWindows::compositing() {
    if (dpy_ == nullptr) {
        return false;
    }
    const std::string name = "_NET_WM_CM_S" + std::to_string(DefaultScreen(dpy_));
    Atom selection = XInternAtom(dpy_, name.c_str(), False);
    const bool owned = XGetSelectionOwner(dpy_, selection) != None;
    readLater(); // events the reply brought in, which the socket no longer announces
    return owned;
}

void X11DesktopWindows::keepOnEveryDesktop(unsigned long window) {
    if (dpy_ == nullptr || window == 0) {
        return;
    }
    // Before the first map the window manager reads the state from this property; the
    // toolkit keeps atoms it does not manage itself when it adds its own.
    std::vector<Atom> atoms = {XInternAtom(dpy_, "_NET_WM_STATE_STICKY", False),
                               XInternAtom(dpy_, "_NET_WM_STATE_SKIP_TASKBAR", False),
                               XInternAtom(dpy_, "_NET_WM_STATE_SKIP_PAGER", False)};
    XChangeProperty(dpy_, window, XInternAtom(dpy_, "_NET_WM_STATE", False), XA_ATOM, 32,
                    PropModeAppend, reinterpret_cast<unsigned char*>(atoms.data()),
                    static_cast<int>(atoms.size()));
    // Every desktop: the older hint some window managers still read.
    long all = 0xFFFFFFFF;
    XChangeProperty(dpy_, window, XInternAtom(dpy_, "_NET_WM_DESKTOP", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(&all), 1);
    // Done before the toolkit's map request leaves its own connection.
    XSync(dpy_, False);
    readLater();
}

void X11DesktopWindows::readLater() {
    if (events_) {
        QTimer::singleShot(0, events_.get(), [this] { readEvents(); });
    }
}

void X11DesktopWindows::watchCover(unsigned long window,
                                   std::function<void(bool covered)> onChange) {
    if (dpy_ == nullptr || window == 0 || !onChange) {
        return;
    }
    if (!events_) {
        events_ = std::make_unique<QSocketNotifier>(ConnectionNumber(dpy_), QSocketNotifier::Read);
        QObject::connect(events_.get(), &QSocketNotifier::activated, events_.get(),
                         [this] { readEvents(); });
    }
    covers_[window] = std::move(onChange);
    // This connection's own mask on the window: the toolkit's connection keeps its own.
    XSelectInput(dpy_, window, VisibilityChangeMask | StructureNotifyMask);
    XFlush(dpy_);
}

void X11DesktopWindows::readEvents() {
    while (XPending(dpy_) > 0) {
        XEvent e;
        XNextEvent(dpy_, &e);
        if (e.type == DestroyNotify) {
            covers_.erase(e.xdestroywindow.window);
        } else if (e.type == VisibilityNotify) {
            auto it = covers_.find(e.xvisibility.window);
            if (it != covers_.end()) {
                // Called last: the callback may watch another window.
                std::function<void(bool)> tell = it->second;
                tell(e.xvisibility.state == VisibilityFullyObscured);
            }
        }
    }
}

} // namespace helm
