#include "desk/Angle.h"

namespace helm {

json::Json Angle::toJson() const {
    return {{"yaw", json::finite(yaw, "yaw")}, {"pitch", json::finite(pitch, "pitch")}};
}

Angle Angle::fromJson(const json::Json& j) {
    return {json::getDouble(j, "yaw"), json::getDouble(j, "pitch")};
}

} // namespace helm
