#pragma once

#include "desk/Angle.h"

#include <optional>
#include <string>

namespace helm {

// The sentence about the head angle the camera page shows, e.g.
// "We see you · head 12° left, 4° up"; none without an angle.
std::optional<std::string> faceText(const std::optional<Angle>& angle);

// A PC's name as the pairing question shows it: every "-" a space, upper-cased by Unicode
// rules (so "ß" and accented letters are upper-cased too, not only ASCII).
std::string pairCheckName(const std::string& pc);

} // namespace helm
