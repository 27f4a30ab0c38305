#pragma once

#include "desk/Angle.h"
#include "desk/CalRecord.h"
#include "desk/DisplayInfo.h"
#include "desk/Extent.h"
#include "desk/Json.h"
#include "desk/Screen.h"
#include "desk/V3.h"

#include <optional>
#include <string>
#include <vector>

namespace helm {

// The desk: every known screen plus what calibration found out about the user's seat, the
// camera and the eyes. Stored as JSON under "layout2" and inside every named setup.
struct Layout {
    std::vector<Screen> screens; // in the order they were added
    // +1 or -1: rightSign × yaw grows towards the user's right.
    double rightSign = 1;
    std::optional<Angle> bias;  // head-angle offset of the camera
    std::optional<V3> seat;     // eye position, cm
    std::optional<V3> keyboard; // keyboard point, cm
    std::optional<CalRecord> cal;
    std::optional<double> mix;    // eye mix the calibration was fitted with, 0 to 1
    std::optional<Angle> eyeSign; // per-axis sign (±1) of the eye offsets

    friend bool operator==(const Layout&, const Layout&) = default;

    // The angular size (degrees) of a display seen from a typical distance, from its size in
    // millimetres or, without one, from its frame. A display that reports neither (zero,
    // negative or not finite) gets nothing rather than 0°, NaN or infinity, which would
    // otherwise end up as a divisor when screens are placed; it gets angles once it reports a
    // real size.
    static std::optional<Extent> degrees(const DisplayInfo& d);

    // The head angle, moved by the eye offset in proportion to the fitted eye mix.
    Angle gaze(const Angle& head, const std::optional<Angle>& eye) const;

    // The id of this Mac's screen with the lowest display index; the first in layout order
    // on a tie.
    std::optional<std::string> hubID() const;

    // The first screen with that id.
    std::optional<Screen> screen(const std::string& id) const;

    // Merges one computer's displays (computer absent for this Mac): its screens that vanished
    // go, known ones are refreshed without moving, new ones are numbered and given a first
    // place in angle space. A known screen reported without a usable frame stays as it is
    // (place, number, calibration); a new one cannot be placed and is left out. Answers a line
    // for each display of either kind.
    std::vector<std::string> sync(const std::optional<std::string>& computer,
                                  const std::string& computerName,
                                  std::vector<DisplayInfo> displays);

    // Throws json::EncodeError for a number that is not finite, so that a caller storing the
    // result keeps its previous copy instead of writing one that cannot be read back.
    json::Json toJson() const;
    std::string encode() const;
    // Throws json::DecodeError. A calibration record that does not decode is left out rather
    // than losing the whole desk; what was left out is added to `dropped`, when given.
    static Layout fromJson(const json::Json& j, std::vector<std::string>* dropped = nullptr);
    static Layout decode(const std::string& text);
};

} // namespace helm
