#pragma once

#include "desk/Extent.h"
#include "desk/Json.h"
#include "desk/V3.h"

#include <optional>
#include <vector>

namespace helm {

struct Screen;
struct Layout;

// One monitor as an upright rectangle in space: it may turn about the vertical axis only, so
// its vertical axis is always `V3::up` and its normal is (-u.z, 0, u.x).
struct Rect3 {
    V3 c;             // centre, cm
    V3 u;             // unit horizontal axis, pointing right
    double halfW = 0; // cm
    double halfH = 0; // cm, along y

    friend bool operator==(const Rect3&, const Rect3&) = default;

    // Places a monitor from the gaze rays held at its calibration dots. The first and third
    // rays are opposite dots; `size` is the physical size in cm when known; `grow` widens the
    // spread of the dots out to the screen's edges.
    static Rect3 fit(const V3& from, const std::vector<V3>& corners,
                     std::optional<Extent> size = std::nullopt, Extent grow = {1.2, 1.35});

    // Places a monitor that has never been measured from its box in angle space alone: on a
    // sphere of 60 cm around the layout's seat.
    static Rect3 guess(const Screen& screen, const Layout& layout);

    // Degrees by which the ray from `from` along `dir` misses the rectangle; 0 on a hit.
    // `dir` is expected to be a unit vector.
    double miss(const V3& from, const V3& dir) const;

    // Degrees between the ray and the direction from its origin to the centre.
    double centre(const V3& from, const V3& dir) const;

    json::Json toJson() const;
    static Rect3 fromJson(const json::Json& j);
};

} // namespace helm
