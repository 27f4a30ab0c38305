#pragma once

#include "desk/Angle.h"
#include "desk/Layout.h"
#include "desk/Screen.h"
#include "desk/V3.h"
#include "gaze/GazePicker.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace helm {

// One accuracy check: a dot in the middle of each screen in turn, twice per screen, while a
// private picker is fed the same gaze as the real one. Each frame after the first second of a
// look counts as right when that picker holds the screen looked at. Time is passed in.
struct AccuracyCheck {
    static constexpr double lookSecs = 2.4;
    static constexpr double warmUpSecs = 1.0; // frames this early in a look are not counted

    struct Hits {
        int n = 0;  // frames counted
        int ok = 0; // of those, frames on which the picker held the screen
        friend bool operator==(const Hits&, const Hits&) = default;
    };

    std::vector<Screen> list; // the looks in order
    int i = -1;               // the current look; -1 before the first
    double start = 0;         // when the current look began
    std::map<std::string, Hits> hits;
    // Its own picker, with the default settle time whatever the user's setting: the check
    // measures the calibration, not the preference.
    GazePicker picker;

    // The looks for these screens: sorted by number, look k shows position
    // (2k + k / n) mod n, so each screen comes twice and rarely twice in a row.
    explicit AccuracyCheck(std::vector<Screen> screens);

    // One frame of the current look. Answers how far the look has come, 0 to 1, or nothing
    // when no look is shown.
    std::optional<double> feed(const std::optional<Angle>& angle, const Layout& layout, double at,
                               const std::optional<V3>& pos);

    // Right frames of all looks in percent, rounded half away from zero; 0 without frames.
    int percent() const;
    // The screen with the lowest share of right frames, when that share is below 80 %; among
    // equals the one with the lowest number.
    std::optional<std::string> hardest() const;
};

} // namespace helm
