#pragma once

#include <optional>
#include <string>

namespace helm {

// A rectangle in normalised image coordinates: 0 to 1 across the image, origin at the bottom
// left, y up (the convention face detectors report in).
struct Box {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    double midX() const { return x + width / 2; }
    double midY() const { return y + height / 2; }

    bool operator==(const Box&) const = default;
};

// The face found in a frame: where it sits in the image and how sure the detector is.
struct Face {
    Box box;
    double confidence = 0;

    // What the user should change when the face is badly placed for reading, or nothing.
    std::optional<std::string> hint() const;

    bool operator==(const Face&) const = default;
};

} // namespace helm
