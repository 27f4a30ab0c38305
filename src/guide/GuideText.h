#pragma once

#include "desk/Angle.h"

#include <optional>
#include <string>

namespace helm {

// The sentence about the head angle the camera page shows, e.g.
// "We see you · head 12° left, 4° up"; none without an angle.
std::optional<std::string> faceText(const std::optional<Angle>& angle);

} // namespace helm
