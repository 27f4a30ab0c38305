#include "platform/x11/X11Input.h"
#include "platform/x11/X11KeyCodes.h"

#include "input/KeyMap.h"

#include <QSocketNotifier>

// Xlib's macros (None, Bool, Status…) clash with Qt's names: X headers come last.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XKBrules.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xrandr.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace helm {

namespace {

std::map<Display*, X11Input*>& byDisplay() {
    static std::map<Display*, X11Input*> map;
    return map;
}
XErrorHandler previousHandler = nullptr;

// Errors of our own connection never end the program; other connections keep their handler.
int onXError(Display* d, XErrorEvent* e) {
    auto it = byDisplay().find(d);
    if (it != byDisplay().end()) {
        it->second->xError(e->serial, e->error_code, e->request_code);
        return 0;
    }
    return previousHandler ? previousHandler(d, e) : 0;
}

bool readIsoModel(Display* dpy) {
    char* rules = nullptr;
    XkbRF_VarDefsRec names{};
    if (!XkbRF_GetNamesProp(dpy, &rules, &names))
        return false;
    bool iso = names.model && X11KeyCodes::isIsoModel(names.model);
    std::free(rules);
    std::free(names.model);
    std::free(names.layout);
    std::free(names.variant);
    std::free(names.options);
    return iso;
}

} // namespace

std::unique_ptr<X11Input> X11Input::open(const std::string& display, Log log,
                                         std::chrono::milliseconds hotkeyRetry) {
    const char* name = display.empty() ? nullptr : display.c_str();
    Display* dpy = XOpenDisplay(name);
    Display* watch = dpy ? XOpenDisplay(name) : nullptr;
    if (!watch) {
        if (dpy)
            XCloseDisplay(dpy);
        return nullptr;
    }
    if (!log)
        log = [](const std::string&) {};
    return std::unique_ptr<X11Input>(new X11Input(dpy, watch, std::move(log), hotkeyRetry));
}

X11Input::X11Input(Display* d, Display* w, Log logTo, std::chrono::milliseconds hotkeyRetry)
    : dpy(d), watch(w), root(DefaultRootWindow(d)), log(std::move(logTo)) {
    if (byDisplay().empty()) {
        XErrorHandler old = XSetErrorHandler(onXError);
        if (old != onXError)
            previousHandler = old;
    }
    byDisplay()[dpy] = this;
    byDisplay()[watch] = this;

    int event = 0, error = 0;
    if (XQueryExtension(dpy, "XInputExtension", &xiOpcode, &event, &error)) {
        int major = 2, minor = 2;
        hasXI22 = XIQueryVersion(dpy, &major, &minor) == Success && (major > 2 || minor >= 2);
        major = 2, minor = 2;
        hasXI22 = hasXI22 && XIQueryVersion(watch, &major, &minor) == Success;
    }
    int major = 0, minor = 0;
    hasXTest = XTestQueryExtension(dpy, &event, &error, &major, &minor);
    iso_ = readIsoModel(dpy);
    // Held keys then repeat as presses alone, so a repeat is told from a new press.
    XkbSetDetectableAutoRepeat(dpy, True, nullptr);
    buildKeyTable();

    retryTimer.setSingleShot(true);
    retryTimer.setInterval(50);
    QObject::connect(&retryTimer, &QTimer::timeout, &context, [this] { attemptGrabs(); });
    hotkeyTimer.setInterval(hotkeyRetry);
    QObject::connect(&hotkeyTimer, &QTimer::timeout, &context, [this] { reserveHotkeys(false); });
}

X11Input::~X11Input() {
    releasePosted();
    if (haveKeyboard)
        XUngrabKeyboard(dpy, CurrentTime);
    if (havePointer)
        XUngrabPointer(dpy, CurrentTime);
    notifier.reset();
    watchNotifier.reset();
    XCloseDisplay(dpy);
    XCloseDisplay(watch);
    byDisplay().erase(dpy);
    byDisplay().erase(watch);
}

bool X11Input::observe(Handler h) {
    if (!hasXI22)
        return false;
    handler = std::move(h);
    unsigned char rawBits[XIMaskLen(XI_LASTEVENT)] = {};
    for (int type :
         {XI_RawKeyPress, XI_RawKeyRelease, XI_RawButtonPress, XI_RawButtonRelease, XI_RawMotion})
        XISetMask(rawBits, type);
    unsigned char deviceBits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(deviceBits, XI_HierarchyChanged);
    XISetMask(deviceBits, XI_DeviceChanged);
    XIEventMask masks[2] = {{XIAllMasterDevices, sizeof rawBits, rawBits},
                            {XIAllDevices, sizeof deviceBits, deviceBits}};
    XISelectEvents(watch, root, masks, 2);
    refreshDevices();
    int randrError = 0;
    if (XRRQueryExtension(dpy, &randrEvent, &randrError))
        XRRSelectInput(dpy, root, RRScreenChangeNotifyMask);
    else
        randrEvent = -1;
    refreshOrigin();
    resync(false);
    XSync(watch, False);
    if (!notifier) {
        notifier = std::make_unique<QSocketNotifier>(ConnectionNumber(dpy), QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, &context,
                         [this] { drain(); });
        watchNotifier =
            std::make_unique<QSocketNotifier>(ConnectionNumber(watch), QSocketNotifier::Read);
        QObject::connect(watchNotifier.get(), &QSocketNotifier::activated, &context,
                         [this] { drain(); });
    }
    scheduleDrain();
    return true;
}

// Xlib reads ahead into its own queue during any round trip, so the socket alone does not say
// when events wait: every call that talks to the server is followed by a drain.
void X11Input::scheduleDrain() {
    if (drainQueued)
        return;
    drainQueued = true;
    QTimer::singleShot(0, &context, [this] {
        drainQueued = false;
        drain();
    });
}

void X11Input::drain() {
    if (draining)
        return;
    draining = true;
    for (;;) {
        if (XPending(watch)) {
            XEvent ev;
            XNextEvent(watch, &ev);
            if (ev.type == GenericEvent)
                handleGeneric(&ev.xcookie);
            continue;
        }
        if (XPending(dpy)) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            if (ev.type == KeyPress)
                coreKeyPress(static_cast<int>(ev.xkey.keycode), ev.xkey.time);
            else if (randrEvent >= 0 && ev.type == randrEvent + RRScreenChangeNotify) {
                XRRUpdateConfiguration(&ev);
                refreshOrigin();
            } else if (ev.type == MappingNotify) {
                XRefreshKeyboardMapping(&ev.xmapping);
                if (ev.xmapping.request != MappingPointer) {
                    buildKeyTable();
                    // The states worth reserving follow the modifier map, and a combination
                    // another program held may have come free with the change.
                    if (!hotkeys.empty())
                        reserveHotkeys(true);
                }
            }
            continue;
        }
        if (!refused.empty()) {
            settleHotkeys();
            continue;
        }
        if (grabNotice || hotkeyNotice) {
            const bool grabs = std::exchange(grabNotice, false);
            const bool keys = std::exchange(hotkeyNotice, false);
            if (grabs && grabChanged)
                grabChanged();
            if (keys && hotkeysChanged)
                hotkeysChanged();
            continue;
        }
        if (pending.empty())
            break;
        InputEvent e = pending.front();
        pending.pop_front();
        if (handler)
            handler(e);
    }
    draining = false;
}

void X11Input::refreshDevices() {
    int count = 0;
    XIDeviceInfo* info = XIQueryDevice(dpy, XIAllDevices, &count);
    std::map<int, Device> fresh;
    for (int i = 0; i < count; ++i) {
        Device& d = fresh[info[i].deviceid];
        d.xtest = info[i].use != XIMasterPointer && info[i].use != XIMasterKeyboard &&
                  std::strstr(info[i].name, "XTEST") != nullptr;
        for (int c = 0; c < info[i].num_classes; ++c) {
            const XIAnyClassInfo* any = info[i].classes[c];
            if (any->type == XIValuatorClass) {
                const auto* v = reinterpret_cast<const XIValuatorClassInfo*>(any);
                d.axes[v->number].absolute = v->mode == XIModeAbsolute;
            } else if (any->type == XIScrollClass) {
                const auto* s = reinterpret_cast<const XIScrollClassInfo*>(any);
                Axis& axis = d.axes[s->number];
                axis.scroll = s->scroll_type == XIScrollTypeVertical ? 1 : 2;
                axis.increment = s->increment;
            }
        }
    }
    XIFreeDeviceInfo(info);
    devices = std::move(fresh);
}

void X11Input::refreshOrigin() {
    originX = originY = 0;
    if (randrEvent < 0)
        return;
    int count = 0;
    XRRMonitorInfo* monitors = XRRGetMonitors(dpy, root, True, &count);
    if (!monitors)
        return;
    // With no monitor marked primary the first one stands in, as the display list does.
    for (int i = 0; i < count; ++i) {
        if (monitors[i].primary || i == 0) {
            originX = monitors[i].x;
            originY = monitors[i].y;
        }
        if (monitors[i].primary)
            break;
    }
    XRRFreeMonitors(monitors);
}

void X11Input::buildKeyTable() {
    std::array<unsigned long, 256> keysyms{};
    for (std::size_t k = 0; k < macOf.size(); ++k) {
        macOf[k] = -1;
        if (k < 8)
            continue;
        keysyms[k] = XkbKeycodeToKeysym(dpy, static_cast<KeyCode>(k), 0, 0);
        auto code = X11KeyCodes::macForModifierKeysym(keysyms[k]);
        if (!code)
            code = X11KeyCodes::macForEvdev(static_cast<int>(k) - 8, iso_);
        // A key with no Mac code still counts as held; its made-up code has no PC code.
        macOf[k] = code ? *code : 256 + static_cast<int>(k) - 8;
    }
    // Several keys may play one Mac code: a US layout gives right Alt its own Alt_R and puts
    // AltGr on a key no keyboard has. A posted key is the one this layout means by it: the key
    // with the modifier's own keysym, else the key at that place, else a key a keyboard has.
    auto preference = [&](std::size_t k) {
        const int mac = macOf[k];
        const auto own = X11KeyCodes::ownKeysymForMac(mac);
        const auto place = X11KeyCodes::evdevForMac(mac, iso_);
        return (own && *own == keysyms[k] ? 4 : 0) +
               (place && *place + 8 == static_cast<int>(k) ? 2 : 0) +
               (X11KeyCodes::macForEvdev(static_cast<int>(k) - 8, iso_) ? 1 : 0);
    };
    // Lock keys by what they do here (Num Lock and Scroll Lock lock what the modifier map puts
    // them on), whatever Mac code or PC code they have.
    lockMods.fill(0);
    if (XModifierKeymap* map = XGetModifierMapping(dpy)) {
        for (int mod = 0; mod < 8; ++mod)
            for (int i = 0; i < map->max_keypermod; ++i)
                if (KeyCode kc = map->modifiermap[mod * map->max_keypermod + i])
                    lockMods[kc] |= 1u << mod;
        XFreeModifiermap(map);
    }
    for (std::size_t k = 0; k < lockMods.size(); ++k) {
        const KeySym sym = keysyms[k];
        if (sym == XK_Caps_Lock || sym == XK_Shift_Lock)
            lockMods[k] |= LockMask;
        else if (sym != XK_Num_Lock && sym != XK_Scroll_Lock)
            lockMods[k] = 0;
    }
    keycodeOf.clear();
    for (std::size_t k = 8; k < macOf.size(); ++k) {
        auto [it, fresh] = keycodeOf.emplace(macOf[k], static_cast<int>(k));
        if (!fresh && preference(k) > preference(static_cast<std::size_t>(it->second)))
            it->second = static_cast<int>(k);
    }
}

int X11Input::keycodeForMac(int code) const {
    auto it = keycodeOf.find(code);
    return it != keycodeOf.end() ? it->second : 0;
}

// The server's view of the keyboard replaces ours whenever a grab starts or ends: key events
// lost to another client's grab must not leave a key or modifier held for good.
void X11Input::resync(bool report) {
    char keys[32] = {};
    XQueryKeymap(dpy, keys);
    for (int k = 8; k < 256; ++k) {
        bool down = (keys[k / 8] >> (k % 8)) & 1;
        auto idx = static_cast<std::size_t>(k);
        bool modifier = KeyMap::modifierMask().count(macOf[idx]) != 0;
        if (held[idx] == down || (down && !modifier))
            continue;
        if (report)
            rawKey(k, down, 0, false);
        else {
            held[idx] = down;
            if (modifier) {
                std::uint64_t bit = KeyMap::modifierMask().at(macOf[idx]);
                sideBits = down ? (sideBits | bit) : (sideBits & ~bit);
            }
        }
    }
    capsLock = (lockedMods() & LockMask) != 0;
    scheduleDrain();
}

unsigned X11Input::lockedMods() const {
    XkbStateRec state{};
    return XkbGetState(dpy, XkbUseCoreKbd, &state) == Success ? state.locked_mods : 0;
}

} // namespace helm
