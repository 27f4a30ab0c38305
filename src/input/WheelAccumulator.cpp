#include "input/WheelAccumulator.h"

#include <cmath>

namespace helm {

namespace {

bool usable(double points) {
    return std::isfinite(points) && std::fabs(points) <= WheelAccumulator::maxPoints;
}

} // namespace

std::optional<std::pair<int, int>> WheelAccumulator::add(double dy, double dx) {
    if (!usable(dy) || !usable(dx))
        return std::nullopt;
    double y = dy * unitsPerPoint + rest.y;
    double x = rest.x - dx * unitsPerPoint;
    double iy = std::trunc(y), ix = std::trunc(x);
    rest = {y - iy, x - ix};
    if (iy == 0 && ix == 0)
        return std::nullopt;
    return std::pair{static_cast<int>(iy), static_cast<int>(ix)};
}

} // namespace helm
