#pragma once

#include "desk/Angle.h"
#include "desk/Extent.h"
#include "desk/Json.h"
#include "desk/Rect3.h"

#include <optional>
#include <string>
#include <vector>

namespace helm {

// One monitor of this Mac or of a PC: its place in angle space as seen from the user's chair
// and, once calibrated, its rectangle in space.
//
// The id is "mac/" + display key for this Mac's screens, the PC's id + "/" + display key for
// a PC's.
struct Screen {
    std::string id;
    int number = 0; // 1-based, unique within the layout
    std::string name;
    std::optional<std::string> computer; // absent for this Mac
    std::string computerName;
    int display = 0; // the display's index on its computer
    double yaw = 0;  // degrees, centre
    double pitch = 0;
    double width = 30; // degrees
    double height = 18;
    bool learned = false;                  // measured by calibration
    std::optional<Rect3> rect;             // in space, once calibrated
    std::optional<std::vector<double>> mm; // [width, height] as reported
    std::optional<bool> portrait;          // explicit orientation
    std::optional<std::vector<double>> px; // [width, height] in points as reported

    friend bool operator==(const Screen&, const Screen&) = default;

    bool local() const { return !computer.has_value(); }
    bool isPortrait() const;
    // Physical size in cm, ordered by orientation; only when the display reported a
    // believable size in millimetres.
    std::optional<Extent> sizeCm() const;
    // Edges count as inside.
    bool contains(const Angle& a) const;

    json::Json toJson() const;
    static Screen fromJson(const json::Json& j);
};

} // namespace helm
