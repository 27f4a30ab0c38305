#include "input/Router.h"

#include <ostream>
#include <utility>

namespace helm {

Router::Router(std::string home) : hub(std::move(home)), gaze(hub), keys(hub), mouse(hub) {}

Router::Effects Router::look(const std::string& id, double /*at*/) {
    if (paused) {
        return {};
    }
    gaze = id;
    return settle();
}

void Router::keyDown(int code, double at) {
    heldKeys.insert(code);
    lastKey = at;
}

void Router::keyUp(int code, double at) {
    heldKeys.erase(code);
    lastKey = at;
}

Router::Effects Router::button(int number, bool down) {
    if (down) {
        heldButtons.insert(number);
        return {};
    }
    heldButtons.erase(number);
    return settle();
}

Router::Effects Router::tick(double /*at*/) {
    return settle();
}

Router::Effects Router::toggleLock(double /*at*/) {
    if (locked) {
        locked.reset();
        return settle();
    }
    // Lock where the user types now, even when the eyes have already moved on.
    locked = keys;
    return {};
}

void Router::setPaused(bool value) {
    paused = value;
}

Router::Effects Router::lost(std::string id) {
    Effects effects;
    if (keys == id) {
        effects.push_back(Effect::keys(id, hub));
        keys = hub;
    }
    if (mouse == id) {
        effects.push_back(Effect::mouse(id, hub));
        mouse = hub;
    }
    if (gaze == id) {
        gaze = hub;
    }
    if (locked == id) {
        locked.reset();
    }
    // Releases from a vanished source would never arrive: forget everything held.
    heldKeys.clear();
    heldButtons.clear();
    return effects;
}

Router::Effects Router::settle() {
    const std::string& target = locked ? *locked : gaze;
    Effects effects;
    if (mouse != target && heldButtons.empty()) {
        effects.push_back(Effect::mouse(mouse, target));
        mouse = target;
    }
    if (keys != target && heldKeys.empty()) {
        effects.push_back(Effect::keys(keys, target));
        keys = target;
    }
    return effects;
}

std::string describe(const Router::Effect& effect) {
    const char* kind = effect.kind == Router::Effect::Kind::keys ? "keys" : "mouse";
    return std::string(kind) + "(from: " + effect.from + ", to: " + effect.to + ")";
}

std::ostream& operator<<(std::ostream& out, const Router::Effect& effect) {
    return out << describe(effect);
}

} // namespace helm
