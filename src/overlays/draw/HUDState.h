#pragma once

#include "desk/Angle.h"

#include <optional>
#include <string>

namespace helm {

// What the status box shows, compared whole before it is shown. angle, agents and fps are
// not drawn; they take part in the comparison all the same.
struct HUDState {
    std::string looking = "\u2014"; // the screen looked at, "—" for none
    std::string keys = "\u2014";    // where keyboard focus is
    std::string mouse = "\u2014";   // where mouse focus is
    std::optional<Angle> angle;
    bool camera = false;
    bool locked = false; // focus locked to one screen
    bool paused = false; // following the gaze is paused
    bool held = false;   // keyboard focus waits for a key to be released
    int agents = 0;      // connected PCs
    int fps = 0;         // frames the camera has read
    std::optional<std::string> problem;

    friend bool operator==(const HUDState&, const HUDState&) = default;

    // Something needs the user's attention: the box turns to the warning colour.
    bool warn() const { return problem.has_value() || locked || paused || held; }
    // The first line's text.
    std::string line() const {
        if (problem) {
            return *problem;
        }
        if (locked) {
            return "Locked to this screen";
        }
        if (paused) {
            return "Paused";
        }
        if (held) {
            return "Key held down";
        }
        return "Looking at " + looking;
    }
};

} // namespace helm
