#include "platform/x11/X11Server.h"

#include <X11/Xlib.h>

namespace helm {

bool x11ServerReachable() {
    Display* dpy = XOpenDisplay(nullptr);
    if (dpy == nullptr)
        return false;
    XCloseDisplay(dpy);
    return true;
}

} // namespace helm
