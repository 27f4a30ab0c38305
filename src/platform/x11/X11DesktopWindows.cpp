#include "platform/x11/X11DesktopWindows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <string>
#include <vector>

namespace helm {

X11DesktopWindows::X11DesktopWindows(const std::string& display)
    : dpy_(XOpenDisplay(display.empty() ? nullptr : display.c_str())) {}

X11DesktopWindows::~X11DesktopWindows() {
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
    return XGetSelectionOwner(dpy_, selection) != None;
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
}

} // namespace helm
