#pragma once

#include "desk/CalCorner.h"

namespace helm {

// What an overlay over a screen shows: a calibration dot at one of its points, the camera
// prompt, the screen's number, or only the dimmed screen.
struct TargetMode {
    enum class Kind { corner, camera, number, dark };
    Kind kind = Kind::dark;
    CalCorner corner = CalCorner::c; // for `corner` only

    static TargetMode at(CalCorner c) { return {Kind::corner, c}; }
    static TargetMode camera() { return {Kind::camera}; }
    static TargetMode number() { return {Kind::number}; }
    static TargetMode dark() { return {Kind::dark}; }

    // The corner counts only in `corner` mode.
    friend bool operator==(const TargetMode& a, const TargetMode& b) {
        return a.kind == b.kind && (a.kind != Kind::corner || a.corner == b.corner);
    }
};

} // namespace helm
