#include "guide/GuideText.h"

#include <cmath>
#include <cstdio>

namespace helm {

std::optional<std::string> faceText(const std::optional<Angle>& angle) {
    if (!angle) {
        return std::nullopt;
    }
    char text[96];
    std::snprintf(text, sizeof text, "We see you \xC2\xB7 head %.0f\xC2\xB0 %s, %.0f\xC2\xB0 %s",
                  std::fabs(angle->yaw), angle->yaw >= 0 ? "right" : "left",
                  std::fabs(angle->pitch), angle->pitch >= 0 ? "up" : "down");
    return std::string(text);
}

} // namespace helm
