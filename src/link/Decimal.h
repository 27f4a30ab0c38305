#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace helm {

// Parses a whole token as a signed 64-bit decimal integer: an optional "+" or "-", then one or
// more digits, nothing else. Overflow is refused rather than clamped.
std::optional<std::int64_t> parseDecimal(std::string_view token);

// The plain decimal form: no plus sign, "-" for negatives, no leading zeros.
std::string decimal(std::int64_t value);

} // namespace helm
