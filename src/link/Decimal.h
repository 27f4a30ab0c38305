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

// A size as notes and the log give it, in whole megabytes of a million bytes: "300 MB".
std::string megabytes(std::uint64_t bytes);

} // namespace helm
