// The application's side of this computer's keyboard and mouse: each event passes, is eaten
// as a hotkey, or is forwarded to the PC whose screen holds focus.
#include "app/App.h"
#include "app/Log.h"
#include "input/Hotkeys.h"
#include "input/KeyMap.h"
#include "link/Hub.h"
#include "link/Wire.h"
#include "platform/MediaClock.h"
#include "windows/SettingsModel.h"

#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace helm {

namespace {

using Type = InputEvent::Type;

constexpr int keyCapsLock = 57;
constexpr int keyEscape = 53;
// Movements beyond this (points) come from a broken device, never from a hand.
constexpr std::int64_t maxDelta = 10'000;
// Edge switches closer together than this are one push, not two.
constexpr double edgeSpacing = 0.4;

// The hotkey a key-down is, unless another program holds its combination: the press is that
// program's then, and acting on it too would make both act. The keyboard grab, while held, takes
// every key before any other program's hotkey.
std::optional<Hotkey> hotkeyOf(const InputEvent& e, const InputService* input) {
    if (e.type != Type::keyDown) {
        return std::nullopt;
    }
    std::optional<Hotkey> h = Hotkeys::of(e.code, e.flags);
    if (h && input && !input->keyboardGrabbed() && input->takenHotkeys().contains(h->code)) {
        return std::nullopt;
    }
    return h;
}

// "Another program holds Super+Alt+L and Super+Alt+P…" in the words of this desktop.
std::string takenSentence(const std::vector<std::string>& labels) {
    std::string list;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        list += (i == 0 ? "" : i + 1 == labels.size() ? " and " : ", ") + labels[i];
    }
    const bool one = labels.size() == 1;
    return "Another program holds " + list + ", so Helmvantor leaves " + (one ? "it" : "them") +
           " to that program. Helmvantor takes " + (one ? "it" : "them") + " as soon as " +
           (one ? "it's" : "they're") + " free.";
}

bool isMotion(Type t) {
    return t == Type::moved || t == Type::leftDragged || t == Type::rightDragged ||
           t == Type::otherDragged;
}

} // namespace

void App::installTap(bool) {
    // Nothing on this desktop shows a prompt: the server either offers what we need or not.
    InputService* input = platform_.input.get();
    if (input == nullptr) {
        log("event tap failed");
        return;
    }
    if (!input->trusted()) {
        log("accessibility not granted: watching only");
        accessMissing = true;
        if (!accessPoll_) {
            accessPoll_ = std::make_unique<QTimer>();
            accessPoll_->setInterval(std::chrono::milliseconds(2000));
            QObject::connect(accessPoll_.get(), &QTimer::timeout, accessPoll_.get(), [this] {
                if (platform_.input && platform_.input->trusted()) {
                    accessPoll_->stop();
                    installTap(false);
                }
            });
        }
        accessPoll_->start();
        refresh();
        return;
    }
    accessMissing = false;
    if (tapOn_) {
        return;
    }
    if (!input->observe([this](const InputEvent& e) { tapped(e); })) {
        log("event tap failed");
        refresh();
        return;
    }
    input->onHotkeysChange([this] { hotkeysChanged(); });
    input->grabHotkeys({Hotkeys::all().begin(), Hotkeys::all().end()});
    input->onGrabChange([this] { grabChanged(); });
    tapOn_ = true;
    capturing = true; // the pointer may now be held still while the mouse drives a PC
    log("event tap on");
    updateGrabs();
    refresh();
}

bool App::tapped(const InputEvent& e) {
    if (e.marked) {
        return true; // our own posting: never ours to route
    }
    // The user's hand takes the pointer back from a running glide.
    if (e.type == Type::moved || e.type == Type::leftDragged) {
        stopGlide();
    }
    if (source) {
        macInputUsed();
    }
    // Only a camera that went off for want of a face wakes; one the user switched off stays
    // off. Modifiers and the camera hotkey itself do not wake it, so the hotkey pressed while
    // the camera is away turns it on rather than on and off again.
    const std::optional<Hotkey> hotkey = hotkeyOf(e, tapOn_ ? platform_.input.get() : nullptr);
    const bool cameraKey = hotkey && hotkey->action == Hotkey::Action::camera;
    if (cameraAway && !commandLine_.noCamera() && followEyes && e.type != Type::flagsChanged &&
        !cameraKey) {
        setCamera(true, "you're back");
    }
    switch (e.type) {
    case Type::keyUp:
        if (swallowedKeys.erase(e.code) != 0) {
            return false;
        }
        return key(e.code, false);
    case Type::keyDown: {
        // A held key repeats as its press went: a swallowed one stays swallowed and a hotkey
        // acts once per press, so a toggle held a little long is not flipped again and again.
        if (e.repeat) {
            return swallowedKeys.contains(e.code) ? false : key(e.code, true);
        }
        if (e.code == keyEscape && escapeHeld) {
            swallowedKeys.insert(e.code);
            stopRunByEscape();
            return false;
        }
        if (const std::optional<Hotkey>& h = hotkey) {
            swallowedKeys.insert(e.code);
            switch (h->action) {
            case Hotkey::Action::jump:
                jumpTo(h->screen);
                break;
            case Hotkey::Action::lock:
                toggleLock();
                break;
            case Hotkey::Action::camera:
                setCamera(!cameraSwitchedOn(), "you asked");
                break;
            }
            return false;
        }
        // A key-up lost to another program's grab must not eat this key's next release.
        swallowedKeys.erase(e.code);
        return key(e.code, true);
    }
    case Type::flagsChanged: {
        if (e.code == keyCapsLock) {
            return capsLock();
        }
        std::optional<bool> down = KeyMap::modifierDown(e.code, e.flags);
        if (!down) {
            return true;
        }
        return key(e.code, *down);
    }
    default:
        return mouse(e);
    }
}

bool App::key(int code, bool down) {
    double t = mediaNow();
    if (down) {
        router().keyDown(code, t);
    } else {
        router().keyUp(code, t);
    }
    std::optional<std::string> pc = keysTarget();
    if (!pc) {
        return true;
    }
    if (std::optional<int> scan = KeyMap::scan(code, iso)) {
        sendTo(*pc, Wire::key(*scan, down));
        if (down) {
            sentKeys[*pc].insert(*scan);
        } else {
            sentKeys[*pc].erase(*scan);
        }
    }
    return false; // a key the PC has no code for is lost rather than typed here
}

bool App::capsLock() {
    std::optional<std::string> pc = keysTarget();
    std::optional<int> scan = KeyMap::scan(keyCapsLock);
    if (!pc || !scan) {
        return true;
    }
    // Each change of the light is one press and release: it toggles the PC's caps lock.
    sendTo(*pc, Wire::key(*scan, true));
    sendTo(*pc, Wire::key(*scan, false));
    return false;
}

bool App::mouse(const InputEvent& e) {
    const std::string noted = router().mouse;
    // Without the pointer grab the event reaches this computer's programs, not the PC.
    std::optional<std::string> pc = mouseTarget();
    if (pc && pc != pcOf(noted)) {
        pc.reset();
    }
    std::optional<InputEvent::Button> button = e.button();
    if (button) {
        if (pc && !button->down) {
            sentButtons[*pc].erase(button->number); // its release follows below, once
        }
        apply(router().button(button->number, button->down));
    }
    const std::optional<Screen> s = screen(noted);
    if (pc) {
        if (isMotion(e.type)) {
            if (std::llabs(e.dx) > maxDelta || std::llabs(e.dy) > maxDelta) {
                return false;
            }
            double factor = prefs.pcPointer();
            factor = std::isfinite(factor) ? std::clamp(factor, 0.5, 2.0) : 1.0;
            double f = factor * static_cast<double>(e.dx) + pointerRest.x;
            double g = factor * static_cast<double>(e.dy) + pointerRest.y;
            double ix = std::trunc(f);
            double iy = std::trunc(g);
            pointerRest = {f - ix, g - iy};
            if (ix != 0 || iy != 0) {
                sendTo(*pc,
                       Wire::move(static_cast<std::int64_t>(ix), static_cast<std::int64_t>(iy)));
            }
        } else if (e.type == Type::scrollWheel) {
            if (std::optional<std::pair<int, int>> r = wheel.add(e.scrollY, e.scrollX)) {
                sendTo(*pc, Wire::wheel(r->first, r->second));
            }
        } else if (button) {
            sendTo(*pc, Wire::button(button->number, button->down));
            if (button->down) {
                sentButtons[*pc].insert(button->number);
            }
        }
        return false;
    }
    if (prefs.edgeBackup() && e.type == Type::moved && s && platform_.displays) {
        double minX = std::numeric_limits<double>::infinity();
        double maxX = -minX;
        for (const DisplayInfo& d : platform_.displays->displays()) {
            minX = std::min(minX, d.x);
            maxX = std::max(maxX, d.x + d.w);
        }
        if (minX <= maxX) {
            if (e.dx < 0 && e.x <= minX + 0.5) {
                edgeSwitch(*s, false);
            } else if (e.dx > 0 && e.x >= maxX - 1.5) {
                edgeSwitch(*s, true);
            }
        }
    }
    return true;
}

void App::edgeSwitch(const Screen& from, bool right) {
    double t = mediaNow();
    if (t - lastEdge <= edgeSpacing) {
        return;
    }
    const double sign = layout_.rightSign;
    const Screen* best = nullptr;
    double bestDistance = 0;
    for (const Screen& c : layout_.screens) {
        if (c.computer == from.computer) {
            continue;
        }
        if (c.computer && connected.count(*c.computer) == 0) {
            continue;
        }
        double d = sign * (c.yaw - from.yaw);
        if (right ? d <= 0 : d >= 0) {
            continue;
        }
        if (best == nullptr || std::fabs(d) < bestDistance) {
            best = &c;
            bestDistance = std::fabs(d);
        }
    }
    if (best == nullptr) {
        return; // nothing that way: the next push is tried at once
    }
    lastEdge = t;
    const std::string id = best->id; // lookAt may replace the layout
    log(std::string(right ? "edge right → " : "edge left → ") + id);
    lookAt(id, t, true);
}

void App::updateGrabs() {
    if (tapOn_ && platform_.input) {
        platform_.input->wantGrabs(pcOf(router().keys).has_value(),
                                   pcOf(router().mouse).has_value());
    }
    releaseSent();
}

// Each combination found taken is told once a run; the Shortcuts page names those taken now.
void App::hotkeysChanged() {
    std::vector<std::string> now, fresh;
    const std::set<int> taken = platform_.input ? platform_.input->takenHotkeys() : std::set<int>{};
    for (const Hotkey& h : Hotkeys::all()) {
        if (taken.contains(h.code)) {
            now.push_back(Hotkeys::label(h));
            if (hotkeysTold.insert(h.code).second) {
                fresh.push_back(now.back());
            }
        }
    }
    if (!fresh.empty()) {
        note(takenSentence(fresh));
    }
    settings().setHotkeysMessage(now.empty() ? std::nullopt
                                             : std::optional<std::string>(takenSentence(now)));
}

void App::grabChanged() {
    // The swallowed keys stay: the input layer sees every key-up whoever holds the grabs, and
    // a swallowed key's release must not reach the PC without its press.
    releaseSent();
}

std::optional<std::string> App::pcOf(const std::string& id) const {
    std::optional<Screen> s = screen(id);
    if (!s || !s->computer || connected.count(*s->computer) == 0) {
        return std::nullopt;
    }
    return s->computer;
}

// Input goes to a PC only while the grab that keeps it from this computer's programs is held:
// nothing is both typed here and there. Without an input service (simulation mode, tests)
// nothing here receives it either.
std::optional<std::string> App::keysTarget() const {
    if (tapOn_ && platform_.input && !platform_.input->keyboardGrabbed()) {
        return std::nullopt;
    }
    return pcOf(router_ ? router_->keys : std::string());
}

std::optional<std::string> App::mouseTarget() const {
    if (tapOn_ && platform_.input && !platform_.input->pointerGrabbed()) {
        return std::nullopt;
    }
    return pcOf(router_ ? router_->mouse : std::string());
}

void App::sendTo(const std::string& pc, const std::string& line) {
    post(line, pc);
}

// A PC that no longer gets our keys or buttons receives the release of each one it holds, so
// no modifier or button stays down there.
void App::releaseSent() {
    const std::optional<std::string> keysPC = keysTarget();
    for (auto it = sentKeys.begin(); it != sentKeys.end();) {
        if (it->first == keysPC) {
            ++it;
            continue;
        }
        for (int scan : it->second) {
            if (connected.count(it->first) != 0) {
                sendTo(it->first, Wire::key(scan, false));
            }
        }
        it = sentKeys.erase(it);
    }
    const std::optional<std::string> mousePC = mouseTarget();
    for (auto it = sentButtons.begin(); it != sentButtons.end();) {
        if (it->first == mousePC) {
            ++it;
            continue;
        }
        for (int number : it->second) {
            if (connected.count(it->first) != 0) {
                sendTo(it->first, Wire::button(number, false));
            }
        }
        it = sentButtons.erase(it);
    }
}

} // namespace helm
