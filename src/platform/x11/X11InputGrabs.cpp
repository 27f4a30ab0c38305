#include "platform/x11/X11Input.h"
#include "platform/x11/X11KeyCodes.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <cctype>

namespace helm {

namespace {

constexpr auto retryFor = std::chrono::seconds(1);

} // namespace

unsigned X11Input::modifierMaskOf(unsigned long left, unsigned long right) const {
    unsigned mask = 0;
    XModifierKeymap* map = XGetModifierMapping(dpy);
    if (!map)
        return 0;
    for (int mod = 0; mod < 8; ++mod)
        for (int i = 0; i < map->max_keypermod; ++i) {
            KeyCode kc = map->modifiermap[mod * map->max_keypermod + i];
            if (!kc)
                continue;
            KeySym sym = XkbKeycodeToKeysym(dpy, kc, 0, 0);
            if (sym == left || sym == right)
                mask |= 1u << mod;
        }
    XFreeModifiermap(map);
    return mask;
}

// Hotkeys are grabbed by key position, as the Mac codes are positions: a layout that puts
// digits on the shifted level still gets Super+Alt and the digit row. Every combination of
// Shift, Caps Lock, Ctrl and Num Lock is grabbed too, as any of them may be on or held.
void X11Input::grabHotkeys(const std::vector<int>& codes) {
    unsigned super = modifierMaskOf(XK_Super_L, XK_Super_R);
    unsigned alt = modifierMaskOf(XK_Alt_L, XK_Alt_R);
    unsigned numLock = modifierMaskOf(XK_Num_Lock, XK_Num_Lock);
    const unsigned extras[] = {ShiftMask, LockMask, ControlMask, numLock};
    for (int code : codes) {
        int keycode = keycodeForMac(code);
        if (!keycode)
            continue;
        const char* symName =
            XKeysymToString(XkbKeycodeToKeysym(dpy, static_cast<KeyCode>(keycode), 0, 0));
        std::string key = symName ? symName : std::to_string(keycode);
        if (key.size() == 1)
            key[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(key[0])));
        HotkeyRequests requests{NextRequest(dpy), 0, "Super+Alt+" + key};
        for (unsigned subset = 0; subset < 16; ++subset) {
            unsigned mods = (super ? super : Mod4Mask) | (alt ? alt : Mod1Mask);
            for (int i = 0; i < 4; ++i)
                if (subset & (1u << i))
                    mods |= extras[i];
            XGrabKey(dpy, keycode, mods, root, False, GrabModeAsync, GrabModeAsync);
        }
        requests.last = NextRequest(dpy) - 1;
        hotkeyRequests.push_back(requests);
    }
    XSync(dpy, False); // a taken combination is reported now, while its requests are known
    scheduleDrain();
}

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
