#pragma once

#include <string>

namespace helm {

// This computer's name as people know it, with a typographic apostrophe made plain so every
// agent can show it; fallback when the host has no name.
std::string hostName(const std::string& fallback);

// The name PCs list this computer by when the host has none of its own.
inline constexpr const char* listedNameFallback = "Linux computer";

} // namespace helm
