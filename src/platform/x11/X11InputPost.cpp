#include "platform/x11/X11Input.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <cmath>

namespace helm {

namespace {

constexpr double pointsPerNotch = 48;
// A wheel amount beyond this many notches in one call is not a hand on a wheel.
constexpr double maxNotches = 100;

unsigned xButton(int number) {
    return number == 0 ? 1 : number == 1 ? 3 : 2;
}

} // namespace

void X11Input::postKey(int code, bool down) {
    int keycode = keycodeForMac(code);
    if (!keycode)
        return;
    XTestFakeKeyEvent(dpy, static_cast<unsigned>(keycode), down, CurrentTime);
    if (down)
        postedKeys.insert(keycode);
    else
        postedKeys.erase(keycode);
    XFlush(dpy);
}

void X11Input::postButton(int number, bool down) {
    if (number < 0 || number > 2)
        return;
    XTestFakeButtonEvent(dpy, xButton(number), down, CurrentTime);
    if (down)
        postedButtons.insert(number);
    else
        postedButtons.erase(number);
    XFlush(dpy);
}

void X11Input::postMotion(double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y) || std::fabs(x) > 1e6 || std::fabs(y) > 1e6)
        return;
    XTestFakeMotionEvent(dpy, -1, static_cast<int>(std::lround(x)),
                         static_cast<int>(std::lround(y)), CurrentTime);
    XFlush(dpy);
}

// The wheel is clicks here: points become whole notches, fractions carried to the next call.
void X11Input::postScroll(double dy, double dx) {
    if (!std::isfinite(dy) || !std::isfinite(dx))
        return;
    auto clicks = [this](double& rest, double points, unsigned up, unsigned down) {
        rest += points / pointsPerNotch;
        if (std::fabs(rest) > maxNotches)
            rest = std::copysign(maxNotches, rest);
        while (rest >= 1 || rest <= -1) {
            unsigned button = rest > 0 ? up : down;
            XTestFakeButtonEvent(dpy, button, True, CurrentTime);
            XTestFakeButtonEvent(dpy, button, False, CurrentTime);
            rest -= rest > 0 ? 1 : -1;
        }
    };
    clicks(postRestY, dy, 4, 5);
    clicks(postRestX, dx, 6, 7);
    XFlush(dpy);
}

void X11Input::releasePosted() {
    for (int keycode : postedKeys)
        XTestFakeKeyEvent(dpy, static_cast<unsigned>(keycode), False, CurrentTime);
    for (int number : postedButtons)
        XTestFakeButtonEvent(dpy, xButton(number), False, CurrentTime);
    postedKeys.clear();
    postedButtons.clear();
    XFlush(dpy);
}

} // namespace helm
