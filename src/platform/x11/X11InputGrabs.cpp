#include "platform/x11/X11Input.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

#include <algorithm>

namespace helm {

namespace {

constexpr auto retryFor = std::chrono::seconds(1);

} // namespace

void X11Input::wantGrabs(bool keyboard, bool pointer) {
    bool fresh = (keyboard && !wantKeyboard) || (pointer && !wantPointer);
    wantKeyboard = keyboard;
    wantPointer = pointer;
    if (!keyboard)
        gaveUpKeyboard = false;
    if (!pointer)
        gaveUpPointer = false;
    bool changed = false;
    if (!keyboard && haveKeyboard) {
        releaseKeyboard();
        changed = true;
    }
    if (!pointer && havePointer) {
        releasePointer();
        changed = true;
    }
    if (changed) {
        resync(true);
        grabNotice = true;
        scheduleDrain();
    }
    if (fresh)
        retryUntil = std::chrono::steady_clock::now() + retryFor;
    attemptGrabs();
}

void X11Input::attemptGrabs() {
    bool changed = false;
    if (wantKeyboard && !haveKeyboard && !gaveUpKeyboard &&
        XGrabKeyboard(dpy, root, False, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess) {
        haveKeyboard = true;
        changed = true;
        // A lock key still down from an earlier grab has changed the locks already.
        if (std::none_of(lockSwallowed.begin(), lockSwallowed.end(), [](bool b) { return b; }))
            locksHere = lockedMods();
    }
    if (wantPointer && !havePointer && !gaveUpPointer && grabPointerHere()) {
        havePointer = true;
        changed = true;
    }
    bool keyboardWaits = wantKeyboard && !haveKeyboard && !gaveUpKeyboard;
    bool pointerWaits = wantPointer && !havePointer && !gaveUpPointer;
    if ((keyboardWaits || pointerWaits) && std::chrono::steady_clock::now() >= retryUntil) {
        if (keyboardWaits) {
            gaveUpKeyboard = true;
            log("keyboard grab failed");
        }
        if (pointerWaits) {
            gaveUpPointer = true;
            log("pointer grab failed");
            // Keys on the PC with the pointer loose here would split one hand's work between
            // two computers: the keyboard goes back too.
            if (haveKeyboard)
                releaseKeyboard();
            gaveUpKeyboard = wantKeyboard;
        }
        keyboardWaits = pointerWaits = false;
        changed = true;
    }
    if (keyboardWaits || pointerWaits)
        retryTimer.start();
    else
        retryTimer.stop();
    if (changed) {
        resync(true);
        grabNotice = true;
    }
    scheduleDrain();
}

// The server applies a lock key to this computer's keyboard state whoever holds the grab; on
// the release too, which unlocks. Both are undone while the key belongs to the PC.
bool X11Input::keepLocks(int keycode, bool press) {
    auto k = static_cast<std::size_t>(keycode);
    if (!lockMods[k] || (press ? !haveKeyboard : !lockSwallowed[k]))
        return false;
    lockSwallowed[k] = press;
    XkbLockModifiers(dpy, XkbUseCoreKbd, lockMods[k], locksHere & lockMods[k]);
    XFlush(dpy);
    if (lockMods[k] & LockMask)
        capsLock = (locksHere & LockMask) != 0;
    return true;
}

// The pointer is held still by confining it to a one-pixel window where it stands; raw motion
// still reports the hand's movement.
bool X11Input::grabPointerHere() {
    Window r = 0, child = 0;
    int x = 0, y = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    XQueryPointer(dpy, root, &r, &child, &x, &y, &wx, &wy, &mask);
    if (!confine) {
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        confine = XCreateWindow(dpy, root, x, y, 1, 1, 0, 0, InputOnly, CopyFromParent,
                                CWOverrideRedirect, &attributes);
    } else {
        XMoveWindow(dpy, confine, x, y);
    }
    XMapRaised(dpy, confine);
    int status =
        XGrabPointer(dpy, root, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                     GrabModeAsync, GrabModeAsync, confine, 0, CurrentTime);
    if (status != GrabSuccess)
        XUnmapWindow(dpy, confine);
    XFlush(dpy);
    return status == GrabSuccess;
}

void X11Input::releaseKeyboard() {
    XUngrabKeyboard(dpy, CurrentTime);
    XFlush(dpy);
    haveKeyboard = false;
}

void X11Input::releasePointer() {
    XUngrabPointer(dpy, CurrentTime);
    if (confine)
        XUnmapWindow(dpy, confine);
    XFlush(dpy);
    havePointer = false;
}

} // namespace helm
