#pragma once

#include "desk/DisplayInfo.h"

#include <optional>
#include <vector>

namespace helm {

// Simulation mode's displays: HELMVANTOR_DISPLAYS may hold a JSON display list, as a PC sends
// one, so end-to-end tests get several screens without a desktop. Nothing when it is unset
// (Qt's screens are taken then); a value that does not decode is logged and ignored.
std::optional<std::vector<DisplayInfo>> simDisplays();

} // namespace helm
