#include "platform/x11/X11Input.h"

#include "input/KeyMap.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <algorithm>

namespace helm {

namespace {

constexpr auto retryFor = std::chrono::seconds(1);

} // namespace

// What each modifier state bit means in the events' terms, read through the same key table the
// events are reported by, so a state grabbed is a state that counts.
X11Input::ModifierRows X11Input::modifierRows() const {
    ModifierRows rows;
    rows.used = ShiftMask | LockMask | ControlMask;
    XModifierKeymap* map = XGetModifierMapping(dpy);
    if (!map)
        return rows;
    for (int mod = 0; mod < 8; ++mod)
        for (int i = 0; i < map->max_keypermod; ++i) {
            KeyCode kc = map->modifiermap[mod * map->max_keypermod + i];
            if (!kc)
                continue;
            rows.used |= 1u << mod;
            auto side = KeyMap::modifierMask().find(macOf[kc]);
            if (side != KeyMap::modifierMask().end())
                rows.flags[mod] |= InputEvent::flagsFor(side->second, false);
        }
    XFreeModifiermap(map);
    return rows;
}

// Hotkeys are grabbed by key position, as the Mac codes are positions: a layout that puts
// digits on the shifted level still gets the digit row. A hotkey counts with any key playing
// control (Super) and any playing option (Alt, AltGr), whatever else is held or locked, so
// every such state of the modifiers in use is grabbed: AltGr, on its own bit in most
// European layouts, then never lets the key through to the focused window.
void X11Input::grabHotkeys(const std::vector<Hotkey>& keys) {
    const ModifierRows rows = modifierRows();
    hotkeyStates.clear();
    for (unsigned mods = 0; mods < 256; ++mods) {
        if (mods & ~rows.used)
            continue;
        std::uint64_t flags = 0;
        for (int mod = 0; mod < 8; ++mod)
            if (mods & (1u << mod))
                flags |= rows.flags[mod];
        if ((flags & Hotkeys::flags) == Hotkeys::flags)
            hotkeyStates.push_back(mods);
    }
    for (const Hotkey& h : keys) {
        int keycode = keycodeForMac(h.code);
        if (!keycode)
            continue;
        hotkeyKeys.insert(keycode);
        HotkeyRequests requests{NextRequest(dpy), 0, Hotkeys::label(h)};
        grabHotkey(keycode);
        requests.last = NextRequest(dpy) - 1;
        hotkeyRequests.push_back(requests);
    }
    XSync(dpy, False); // a taken combination is reported now, while its requests are known
    scheduleDrain();
}

void X11Input::grabHotkey(int keycode) {
    for (unsigned mods : hotkeyStates)
        XGrabKey(dpy, keycode, mods, root, False, GrabModeAsync, GrabModeAsync);
}

// Escape alone, with Caps Lock or Num Lock on or not; Shift or Ctrl with it stay the focused
// window's.
void X11Input::grabEscape(bool on) {
    const int keycode = keycodeForMac(53);
    if (!keycode)
        return;
    unsigned numLock = 0;
    const KeyCode numLockKey = XKeysymToKeycode(dpy, XK_Num_Lock);
    if (XModifierKeymap* map = XGetModifierMapping(dpy)) {
        for (int mod = 0; mod < 8; ++mod)
            for (int i = 0; i < map->max_keypermod; ++i)
                if (numLockKey && map->modifiermap[mod * map->max_keypermod + i] == numLockKey)
                    numLock = 1u << mod;
        XFreeModifiermap(map);
    }
    const unsigned masks[] = {0, LockMask, numLock, LockMask | numLock};
    std::erase_if(hotkeyRequests, [](const HotkeyRequests& h) { return h.name == "Escape"; });
    HotkeyRequests requests{NextRequest(dpy), 0, "Escape"};
    for (unsigned mods : masks) {
        if (on)
            XGrabKey(dpy, keycode, mods, root, False, GrabModeAsync, GrabModeAsync);
        else
            XUngrabKey(dpy, keycode, mods, root);
    }
    requests.last = NextRequest(dpy) - 1;
    if (on)
        hotkeyRequests.push_back(requests);
    XSync(dpy, False);
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
