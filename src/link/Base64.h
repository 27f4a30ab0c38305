#pragma once

#include "link/Bytes.h"

#include <optional>
#include <string>
#include <string_view>

namespace helm {

// Standard base64 (RFC 4648 alphabet, "=" padding, no line breaks). The decoder is strict on
// purpose: every text it accepts is exactly what `base64Encode` produces for the result, so a
// line has one spelling and nothing outside the alphabet (space, line break, "-", "_") slips
// through.
std::string base64Encode(const std::uint8_t* data, std::size_t size);
std::string base64Encode(std::string_view bytes);
std::string base64Encode(const Bytes& bytes);

std::optional<Bytes> base64Decode(std::string_view text);

} // namespace helm
