#pragma once

#include "desk/Json.h"

#include <array>
#include <optional>
#include <string_view>
#include <utility>

namespace helm {

// A calibration dot on one screen. The order is the order of the rays handed to the
// rectangle fit, so it must not change.
enum class CalCorner { tl, tr, br, bl, mt, mr, mb, ml, c };

inline constexpr std::array<CalCorner, 9> allCalCorners{CalCorner::tl, CalCorner::tr, CalCorner::br,
                                                        CalCorner::bl, CalCorner::mt, CalCorner::mr,
                                                        CalCorner::mb, CalCorner::ml, CalCorner::c};

// The stored name ("tl", "mr", …).
const char* rawValue(CalCorner corner);
// The corner with that stored name, or nothing.
std::optional<CalCorner> calCorner(std::string_view raw);
// The spoken and shown name of the point ("top left", "middle of the right edge", …).
const char* words(CalCorner corner);
// The point as fractions of the screen's width and height: x to the right, y down from the
// top edge.
std::pair<double, double> spot(CalCorner corner);

json::Json toJson(CalCorner corner);
CalCorner calCornerFromJson(const json::Json& j);

} // namespace helm
