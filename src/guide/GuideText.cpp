#include "guide/GuideText.h"

#include <unicode/unistr.h>

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

std::string pairCheckName(const std::string& pc) {
    std::string spaced = pc;
    for (char& c : spaced) {
        if (c == '-') {
            c = ' ';
        }
    }
    // Malformed UTF-8 becomes U+FFFD rather than failing: the name comes from the network.
    std::string out;
    icu::UnicodeString::fromUTF8(spaced).toUpper().toUTF8String(out);
    return out;
}

} // namespace helm
