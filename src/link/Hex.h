#pragma once

#include "link/Bytes.h"

#include <string>
#include <string_view>

namespace helm {

// Lowercase hexadecimal, two digits per byte: the form of every random identifier and secret.
std::string hex(const std::uint8_t* data, std::size_t size);
std::string hex(const Bytes& bytes);

// True when every character is one of 0-9 a-f and there are exactly `length` of them.
bool isLowerHex(std::string_view text, std::size_t length);

} // namespace helm
