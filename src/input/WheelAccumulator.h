#pragma once

#include <optional>
#include <utility>

namespace helm {

// Turns wheel points into whole PC wheel units, carrying the fractions over, so slow smooth
// scrolling still scrolls the PC. One 48-point notch is 120 units, one Windows notch.
struct WheelAccumulator {
    static constexpr double unitsPerPoint = 2.5;
    // Amounts beyond this (points) are noise or a broken device, never a scroll.
    static constexpr double maxPoints = 10'000;

    struct Rest {
        double y = 0, x = 0;
    };
    Rest rest;

    // The units to send, vertical first, the horizontal axis inverted; nothing while both are
    // still below one unit. An amount that is not finite or out of range is dropped whole and
    // leaves the fractions as they were, so one bad event cannot poison every later one.
    std::optional<std::pair<int, int>> add(double dy, double dx);
};

} // namespace helm
