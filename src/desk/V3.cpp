#include "desk/V3.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace helm {

double V3::length() const {
    return std::sqrt(x * x + y * y + z * z);
}

V3 V3::unit() const {
    double sq = x * x + y * y + z * z;
    if (!(sq > 0)) { // also false for NaN
        return *this;
    }
    return *this * (1.0 / std::sqrt(sq));
}

double degreesBetween(const V3& a, const V3& b) {
    double d = std::clamp(a.unit().dot(b.unit()), -1.0, 1.0);
    return std::acos(d) * 180.0 / std::numbers::pi;
}

json::Json V3::toJson() const {
    return {{"x", json::finite(x, "x")}, {"y", json::finite(y, "y")}, {"z", json::finite(z, "z")}};
}

V3 V3::fromJson(const json::Json& j) {
    return {json::getDouble(j, "x"), json::getDouble(j, "y"), json::getDouble(j, "z")};
}

} // namespace helm
