#include "platform/x11/X11Input.h"

#include "input/KeyMap.h"
#include "platform/x11/PostedEvents.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

#include <algorithm>
#include <cmath>

namespace helm {

namespace {

// Deltas beyond this are a broken device or arithmetic gone wrong, never a hand's movement.
constexpr double maxDelta = 10'000;
constexpr double pointsPerNotch = 48;

// An event is marked only when it came through XTest and matches what we posted.
bool ours(bool xtest, PostedEvents::Kind kind, int detail, bool press) {
    return xtest && PostedEvents::shared().claim(kind, detail, press, PostedEvents::Clock::now());
}

} // namespace

void X11Input::handleGeneric(void* c) {
    auto* cookie = static_cast<XGenericEventCookie*>(c);
    if (cookie->extension != xiOpcode || !XGetEventData(watch, cookie))
        return;
    if (cookie->evtype == XI_HierarchyChanged || cookie->evtype == XI_DeviceChanged) {
        XFreeEventData(watch, cookie);
        refreshDevices();
        return;
    }
    auto* raw = static_cast<XIRawEvent*>(cookie->data);
    Device& device = devices[raw->sourceid];
    switch (cookie->evtype) {
    case XI_RawKeyPress:
    case XI_RawKeyRelease:
        rawKey(raw->detail, cookie->evtype == XI_RawKeyPress, raw->time, device.xtest);
        break;
    case XI_RawButtonPress:
    case XI_RawButtonRelease:
        rawButton(raw->detail, cookie->evtype == XI_RawButtonPress,
                  (raw->flags & XIPointerEmulated) != 0, device.xtest);
        break;
    case XI_RawMotion:
        rawMotion(raw, device, device.xtest);
        break;
    default:
        break;
    }
    XFreeEventData(watch, cookie);
}

void X11Input::rawKey(int keycode, bool press, unsigned long time, bool xtest) {
    if (keycode < 0 || keycode >= 256)
        return;
    auto k = static_cast<std::size_t>(keycode);
    if (press && held[k] && pressTime[k] == time)
        return; // the same physical press, seen twice
    const bool marked = ours(xtest, PostedEvents::Kind::key, keycode, press);
    if (!press && !held[k])
        return; // its release was reported already, when a grab change read the keyboard
    held[k] = press;
    if (press)
        pressTime[k] = time;
    const bool keptHere = !marked && keepLocks(keycode, press);
    InputEvent e;
    e.code = macOf[k];
    e.marked = marked;
    auto side = KeyMap::modifierMask().find(e.code);
    if (side != KeyMap::modifierMask().end()) {
        sideBits = press ? (sideBits | side->second) : (sideBits & ~side->second);
        e.type = InputEvent::Type::flagsChanged;
    } else if (e.code == 57) {
        if (!press)
            return; // caps lock reports the press that toggles it, nothing on release
        if (!keptHere)
            capsLock = !capsLock;
        e.type = InputEvent::Type::flagsChanged;
    } else {
        e.type = press ? InputEvent::Type::keyDown : InputEvent::Type::keyUp;
    }
    e.flags = InputEvent::flagsFor(sideBits, capsLock);
    report(e, false);
}

// Raw events carry no auto-repeat; a held key's repeats reach only the grab's owner as core
// presses. A press with the raw press's own time is that press again.
void X11Input::coreKeyPress(int keycode, unsigned long time) {
    if (keycode < 0 || keycode >= 256)
        return;
    auto k = static_cast<std::size_t>(keycode);
    int code = macOf[k];
    if (!held[k] || pressTime[k] == time || code == 57 || KeyMap::modifierMask().count(code))
        return;
    InputEvent e;
    e.type = InputEvent::Type::keyDown;
    e.code = code;
    e.repeat = true;
    e.flags = InputEvent::flagsFor(sideBits, capsLock);
    report(e, false);
}

void X11Input::rawButton(int button, bool press, bool emulated, bool xtest) {
    InputEvent e;
    e.marked = !emulated && ours(xtest, PostedEvents::Kind::button, button, press);
    if (button >= 4 && button <= 7) {
        // Wheel clicks; those the server makes up from a smooth-scrolling axis come as
        // valuators too and are counted there.
        if (!press || emulated)
            return;
        e.type = InputEvent::Type::scrollWheel;
        (button <= 5 ? e.scrollY : e.scrollX) =
            (button == 4 || button == 6) ? pointsPerNotch : -pointsPerNotch;
        report(e, true);
        return;
    }
    int& count = button == 1 ? buttonsLeft : button == 3 ? buttonsRight : buttonsOther;
    count = std::max(0, count + (press ? 1 : -1));
    if (button == 1)
        e.type = press ? InputEvent::Type::leftDown : InputEvent::Type::leftUp;
    else if (button == 3)
        e.type = press ? InputEvent::Type::rightDown : InputEvent::Type::rightUp;
    else
        e.type = press ? InputEvent::Type::otherDown : InputEvent::Type::otherUp;
    report(e, true);
}

void X11Input::rawMotion(const void* r, Device& device, bool xtest) {
    const auto* raw = static_cast<const XIRawEvent*>(r);
    double moveX = 0, moveY = 0, scrollY = 0, scrollX = 0;
    bool moved = false, scrolled = false;
    const double* value = raw->valuators.values;
    for (int i = 0; i < raw->valuators.mask_len * 8; ++i) {
        if (!XIMaskIsSet(raw->valuators.mask, i))
            continue;
        double v = *value++;
        Axis& axis = device.axes[i];
        double delta = v;
        if (axis.absolute) {
            delta = axis.hasLast ? v - axis.last : 0;
            axis.last = v;
            axis.hasLast = true;
        }
        if (!std::isfinite(delta) || std::fabs(delta) > maxDelta)
            continue;
        if (axis.scroll) {
            if (raw->flags & XIPointerEmulated)
                continue;
            // A positive valuator scrolls down or right: the opposite of the Mac's points.
            double points = -pointsPerNotch * delta / (axis.increment != 0 ? axis.increment : 1);
            (axis.scroll == 1 ? scrollY : scrollX) += points;
            scrolled = true;
        } else if (i == 0 || i == 1) {
            (i == 0 ? moveX : moveY) += delta;
            moved = true;
        }
    }
    // Only a move of the pointer is a post of ours; the scrolling XTest makes up from our
    // wheel clicks is skipped above.
    const bool marked = moved && ours(xtest, PostedEvents::Kind::motion, 0, false);
    if (moved) {
        double fx = moveX + restX, fy = moveY + restY;
        InputEvent e;
        e.type = InputEvent::motionType(buttonsLeft > 0, buttonsRight > 0, buttonsOther > 0);
        e.dx = static_cast<std::int64_t>(std::trunc(fx));
        e.dy = static_cast<std::int64_t>(std::trunc(fy));
        restX = fx - static_cast<double>(e.dx);
        restY = fy - static_cast<double>(e.dy);
        e.marked = marked;
        report(e, true);
    }
    if (scrolled) {
        InputEvent e;
        e.type = InputEvent::Type::scrollWheel;
        e.scrollY = scrollY;
        e.scrollX = scrollX;
        e.marked = marked;
        report(e, true);
    }
}

void X11Input::report(InputEvent e, bool withLocation) {
    e.flags |= InputEvent::flagsFor(sideBits, capsLock);
    if (withLocation) {
        Window r = 0, child = 0;
        int rx = 0, ry = 0, wx = 0, wy = 0;
        unsigned mask = 0;
        if (XQueryPointer(dpy, root, &r, &child, &rx, &ry, &wx, &wy, &mask)) {
            e.x = rx - originX;
            e.y = ry - originY;
        }
    }
    pending.push_back(e);
    scheduleDrain();
}

} // namespace helm
