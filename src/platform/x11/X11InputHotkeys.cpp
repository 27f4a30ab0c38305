#include "platform/x11/X11Input.h"

#include "input/KeyMap.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <algorithm>

namespace helm {

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

void X11Input::grabHotkeys(const std::vector<Hotkey>& keys) {
    hotkeys = keys;
    reserveHotkeys(true);
}

// Hotkeys are grabbed by key position, as the Mac codes are positions: a layout that puts
// digits on the shifted level still gets the digit row. A hotkey counts with any key playing
// control (Super) and any playing option (Alt, AltGr), whatever else is held or locked, so
// every such state of the modifiers in use is grabbed: AltGr, on its own bit in most
// European layouts, then never lets the key through to the focused window.
//
// A combination another program holds in any of those states is left to it whole, so a key
// never half reaches us; each later call tries it again.
void X11Input::reserveHotkeys(bool all) {
    XSync(dpy, False); // the refusals of earlier requests are matched while those are known
    settleHotkeys();
    hotkeyRequests.clear();
    const std::set<int> before = taken;
    if (all) {
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
        for (int keycode : hotkeyKeys)
            XUngrabKey(dpy, static_cast<unsigned>(keycode), AnyModifier, root);
        hotkeyKeys.clear();
        taken.clear();
    }
    for (const Hotkey& h : hotkeys) {
        const int keycode = keycodeForMac(h.code);
        if (!keycode || hotkeyKeys.count(keycode))
            continue;
        taken.erase(h.code);
        grabHotkey(h, keycode);
    }
    XSync(dpy, False); // a taken combination is reported now
    settleHotkeys();
    for (int code : before)
        if (!taken.count(code))
            for (const Hotkey& h : hotkeys)
                if (h.code == code)
                    log("hotkey free: " + Hotkeys::label(h));
    if (taken != before) {
        hotkeyNotice = true;
        scheduleDrain();
    }
}

void X11Input::grabHotkey(const Hotkey& h, int keycode) {
    // Requests already answered can no longer be refused: only those waiting are kept.
    std::erase_if(hotkeyRequests, [this](const HotkeyRequests& r) {
        return r.last <= LastKnownRequestProcessed(dpy);
    });
    HotkeyRequests requests{NextRequest(dpy), 0, Hotkeys::label(h), h.code};
    for (unsigned mods : hotkeyStates)
        XGrabKey(dpy, keycode, mods, root, False, GrabModeAsync, GrabModeAsync);
    requests.last = NextRequest(dpy) - 1;
    hotkeyRequests.push_back(requests);
    hotkeyKeys.insert(keycode);
}

// Each refused combination gives back the states that were granted, and waits for the next
// try; none is tried while none is taken.
void X11Input::settleHotkeys() {
    for (int code : refused) {
        const int keycode = keycodeForMac(code);
        for (unsigned mods : hotkeyStates)
            if (keycode)
                XUngrabKey(dpy, static_cast<unsigned>(keycode), mods, root);
        hotkeyKeys.erase(keycode);
        if (taken.insert(code).second) {
            hotkeyNotice = true;
            scheduleDrain();
        }
    }
    if (!refused.empty())
        XFlush(dpy);
    refused.clear();
    if (taken.empty())
        hotkeyTimer.stop();
    else if (!hotkeyTimer.isActive())
        hotkeyTimer.start();
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
    HotkeyRequests requests{NextRequest(dpy), 0, "Escape", -1};
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

void X11Input::xError(unsigned long serial, int code, int request) {
    for (const auto& h : hotkeyRequests)
        if (code == BadAccess && serial >= h.first && serial <= h.last) {
            if (takenReported.insert(h.name).second)
                log("hotkey taken: " + h.name);
            // Settled outside the error handler, which must not talk to the server.
            if (h.code >= 0) {
                refused.insert(h.code);
                scheduleDrain();
            }
            return;
        }
    log("input: X error " + std::to_string(code) + " on request " + std::to_string(request));
}

} // namespace helm
