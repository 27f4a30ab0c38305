#include "desk/CalCorner.h"

namespace helm {

namespace {

struct Info {
    const char* raw;
    const char* words;
    double x;
    double y;
};

// Indexed by the enumeration's value.
constexpr Info kInfo[] = {
    {"tl", "top left", 0, 0},
    {"tr", "top right", 1, 0},
    {"br", "bottom right", 1, 1},
    {"bl", "bottom left", 0, 1},
    {"mt", "middle of the top edge", 0.5, 0},
    {"mr", "middle of the right edge", 1, 0.5},
    {"mb", "middle of the bottom edge", 0.5, 1},
    {"ml", "middle of the left edge", 0, 0.5},
    {"c", "centre", 0.5, 0.5},
};

const Info& info(CalCorner corner) {
    return kInfo[static_cast<int>(corner)];
}

} // namespace

const char* rawValue(CalCorner corner) {
    return info(corner).raw;
}

std::optional<CalCorner> calCorner(std::string_view raw) {
    for (CalCorner c : allCalCorners) {
        if (raw == info(c).raw) {
            return c;
        }
    }
    return std::nullopt;
}

const char* words(CalCorner corner) {
    return info(corner).words;
}

std::pair<double, double> spot(CalCorner corner) {
    return {info(corner).x, info(corner).y};
}

json::Json toJson(CalCorner corner) {
    return rawValue(corner);
}

CalCorner calCornerFromJson(const json::Json& j) {
    auto c = calCorner(json::toString(j, "at"));
    if (!c) {
        throw json::DecodeError("\"at\": not a calibration corner");
    }
    return *c;
}

} // namespace helm
