#include "platform/x11/X11Input.h"

#include "platform/x11/PostedEvents.h"

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

// Told before it is sent, so the event never comes back ahead of its record.
void expect(PostedEvents::Kind kind, unsigned detail, bool press) {
    PostedEvents::shared().add(kind, static_cast<int>(detail), press, PostedEvents::Clock::now());
}

void fakeKey(Display* dpy, unsigned keycode, bool down) {
    expect(PostedEvents::Kind::key, keycode, down);
    XTestFakeKeyEvent(dpy, keycode, down, CurrentTime);
}

void fakeButton(Display* dpy, unsigned button, bool down) {
    expect(PostedEvents::Kind::button, button, down);
    XTestFakeButtonEvent(dpy, button, down, CurrentTime);
}

} // namespace

void X11Input::postKey(int code, bool down) {
    int keycode = keycodeForMac(code);
    if (!keycode)
        return;
    // Our own press of a hotkey's key (a PC's keys played here) would land in our own grab;
    // it passes by it to the focused window, as any key of ours does.
    const bool passGrab = down && hotkeyKeys.count(keycode) != 0;
    if (passGrab)
        XUngrabKey(dpy, static_cast<unsigned>(keycode), AnyModifier, root);
    fakeKey(dpy, static_cast<unsigned>(keycode), down);
    if (passGrab)
        for (const Hotkey& h : hotkeys)
            if (h.code == code)
                grabHotkey(h, keycode);
    if (down)
        postedKeys.insert(keycode);
    else
        postedKeys.erase(keycode);
    XFlush(dpy);
}

void X11Input::postButton(int number, bool down) {
    if (number < 0 || number > 2)
        return;
    fakeButton(dpy, xButton(number), down);
    if (down)
        postedButtons.insert(number);
    else
        postedButtons.erase(number);
    XFlush(dpy);
}

void X11Input::postMotion(double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y) || std::fabs(x) > 1e6 || std::fabs(y) > 1e6)
        return;
    expect(PostedEvents::Kind::motion, 0, false);
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
            fakeButton(dpy, button, true);
            fakeButton(dpy, button, false);
            rest -= rest > 0 ? 1 : -1;
        }
    };
    clicks(postRestY, dy, 4, 5);
    clicks(postRestX, dx, 6, 7);
    XFlush(dpy);
}

void X11Input::releasePosted() {
    for (int keycode : postedKeys)
        fakeKey(dpy, static_cast<unsigned>(keycode), false);
    for (int number : postedButtons)
        fakeButton(dpy, xButton(number), false);
    postedKeys.clear();
    postedButtons.clear();
    XFlush(dpy);
}

} // namespace helm
