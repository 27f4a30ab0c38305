#pragma once

#include "desk/Angle.h"
#include "desk/Layout.h"
#include "desk/Screen.h"
#include "desk/V3.h"

#include <optional>
#include <string>

namespace helm {

// Decides, frame by frame, which screen the user looks at. A new winner must beat the current
// screen by a margin and keep winning for `settle` seconds before it is chosen; a look at the
// keyboard chooses nothing. Time is always passed in.
//
// Scores are lower-is-better and in hundredths of a degree of miss: score / 100 is roughly how
// far the gaze misses a screen, the small remainder ranks screens it hits (or misses) equally.
struct GazePicker {
    // The application overwrites this with the user's setting before each update.
    double settle = 0.1;
    double margin = 4;
    double maxOff = 25;
    double pitchWeight = 1.5;
    std::optional<std::string> current;
    std::optional<std::string> candidate;
    double since = 0;
    double keyboardRadius = 12;
    bool atKeyboard = false;

    GazePicker() = default;
    explicit GazePicker(std::optional<std::string> current) : current(std::move(current)) {}

    // Degrees from the gaze to the screen's box in angle space; 0 anywhere inside it.
    double distance(const Angle& angle, const Screen& screen) const;

    // Scores the screens against this frame's gaze (`pos`: the head position in cm, when
    // known) and answers the id of a screen that has just become `current`, else nothing.
    std::optional<std::string> update(const std::optional<Angle>& angle, const Layout& layout,
                                      double at, const std::optional<V3>& pos = std::nullopt);
};

} // namespace helm
