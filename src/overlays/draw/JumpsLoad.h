#pragma once

#include "overlays/Jumps.h"

#include <optional>
#include <string>

namespace helm::Jumps {

// Reads a recipe file: the one at path, or without a path the file built into the program
// (the resource ":/jumps.json"). Nothing when it cannot be read or decoded; why, when given,
// receives the reason.
std::optional<File> load(const std::optional<std::string>& path = std::nullopt,
                         std::string* why = nullptr);

} // namespace helm::Jumps
