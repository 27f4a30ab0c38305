#pragma once

#include "desk/Json.h"

namespace helm {

// A direction as yaw and pitch in degrees; pitch grows upwards, the yaw's sign is the
// layout's `rightSign` convention.
struct Angle {
    double yaw = 0;
    double pitch = 0;

    friend bool operator==(const Angle&, const Angle&) = default;

    json::Json toJson() const;
    static Angle fromJson(const json::Json& j);
};

} // namespace helm
