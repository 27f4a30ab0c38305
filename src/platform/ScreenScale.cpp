#include "platform/ScreenScale.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace helm {

namespace {

struct Box {
    double x, y, w, h;
};

Box box(const ScaledScreen& s, bool device) {
    if (device) {
        return {s.deviceX, s.deviceY, s.w * s.ratio, s.h * s.ratio};
    }
    return {s.x, s.y, s.w, s.h};
}

// Squared distance from the point to the box; 0 inside. Left and top edges are in, right and
// bottom out, so a point on an edge two screens share belongs to the one right of or below it.
double distance(const Box& b, Pointer::Point p) {
    if (p.x >= b.x && p.x < b.x + b.w && p.y >= b.y && p.y < b.y + b.h) {
        return 0;
    }
    const double dx = std::max({b.x - p.x, 0.0, p.x - (b.x + b.w)});
    const double dy = std::max({b.y - p.y, 0.0, p.y - (b.y + b.h)});
    // Outside, even on the far edge: strictly worse than any screen that holds the point.
    return std::max(dx * dx + dy * dy, std::numeric_limits<double>::min());
}

} // namespace

ScreenScale::ScreenScale(std::vector<ScaledScreen> screens) : screens_(std::move(screens)) {
    // A screen the toolkit reports without a usable ratio converts one to one.
    for (ScaledScreen& s : screens_) {
        if (!std::isfinite(s.ratio) || s.ratio <= 0) {
            s.ratio = 1;
        }
    }
}

const ScaledScreen* ScreenScale::near(Point p, bool device) const {
    const ScaledScreen* best = nullptr;
    double bestDistance = std::numeric_limits<double>::infinity();
    for (const ScaledScreen& s : screens_) {
        const double d = distance(box(s, device), p);
        if (d < bestDistance) {
            best = &s;
            bestDistance = d;
        }
    }
    return best;
}

ScreenScale::Point ScreenScale::toDevice(Point logical) const {
    const ScaledScreen* s = near(logical, false);
    if (s == nullptr) {
        return logical;
    }
    return {s->deviceX + (logical.x - s->x) * s->ratio, s->deviceY + (logical.y - s->y) * s->ratio};
}

ScreenScale::Point ScreenScale::toLogical(Point device) const {
    const ScaledScreen* s = near(device, true);
    if (s == nullptr) {
        return device;
    }
    return {s->x + (device.x - s->deviceX) / s->ratio, s->y + (device.y - s->deviceY) / s->ratio};
}

double ScreenScale::ratioAt(Point device) const {
    const ScaledScreen* s = near(device, true);
    return s != nullptr ? s->ratio : 1;
}

} // namespace helm
