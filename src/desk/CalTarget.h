#pragma once

#include "desk/CalCorner.h"
#include "desk/Json.h"

#include <string>
#include <utility>

namespace helm {

// What one calibration step asks the user to look at: a dot on one screen, the camera, a
// turn of the head to the right, or the keyboard.
struct CalTarget {
    enum class Kind { corner, camera, turnRight, keyboard };

    Kind kind = Kind::camera;
    std::string screen;           // corner only: the screen id
    CalCorner at = CalCorner::tl; // corner only

    static CalTarget corner(std::string screen, CalCorner at) {
        return {Kind::corner, std::move(screen), at};
    }
    static CalTarget camera() { return {Kind::camera, {}, CalCorner::tl}; }
    static CalTarget turnRight() { return {Kind::turnRight, {}, CalCorner::tl}; }
    static CalTarget keyboard() { return {Kind::keyboard, {}, CalCorner::tl}; }

    // The payload only counts for a corner.
    friend bool operator==(const CalTarget& a, const CalTarget& b) {
        return a.kind == b.kind &&
               (a.kind != Kind::corner || (a.screen == b.screen && a.at == b.at));
    }

    // An object with exactly one key, the case's name: {"camera": {}} or
    // {"corner": {"screen": "mac/1-2-3", "at": "mr"}}.
    json::Json toJson() const;
    static CalTarget fromJson(const json::Json& j);
};

} // namespace helm
