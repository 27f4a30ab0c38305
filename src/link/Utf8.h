#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace helm {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF, no cut-off sequence.
bool isValidUtf8(std::string_view text);

// Reads the scalar that starts at `pos` in valid UTF-8 and moves `pos` past it; nothing at the
// end or on a malformed sequence.
std::optional<char32_t> nextScalar(std::string_view text, std::size_t& pos);

} // namespace helm
