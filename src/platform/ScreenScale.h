#pragma once

#include "platform/Pointer.h"

#include <vector>

namespace helm {

// One screen as the toolkit places it (logical pixels) and as the X server does (device
// pixels).
struct ScaledScreen {
    double x = 0, y = 0, w = 0, h = 0; // logical geometry
    double deviceX = 0, deviceY = 0;   // the top-left corner in device pixels
    double ratio = 1;                  // device pixels per logical pixel
};

// Converts global points between the toolkit's logical pixels and the server's device pixels
// through the screen that holds the point, or the nearest one when none does; a scaled
// desktop gives each screen its own ratio. With no screens, or a ratio of 1 and the same
// corner in both, points are unchanged.
class ScreenScale {
public:
    using Point = Pointer::Point;

    ScreenScale() = default;
    explicit ScreenScale(std::vector<ScaledScreen> screens);

    Point toDevice(Point logical) const;
    Point toLogical(Point device) const;
    // Device pixels per logical pixel on the screen that holds (or is nearest) a device point.
    double ratioAt(Point device) const;

    const std::vector<ScaledScreen>& screens() const { return screens_; }

private:
    std::vector<ScaledScreen> screens_;

    const ScaledScreen* near(Point p, bool device) const;
};

} // namespace helm
