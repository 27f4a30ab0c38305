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

// The same over caller-owned buffers, for lines too large to copy twice. The encoder writes
// base64EncodedSize(size) characters; the decoder writes base64DecodedSize(text) bytes and
// yields that count, or nothing for text it refuses (a size alone says nothing about the
// characters).
constexpr std::size_t base64EncodedSize(std::size_t size) {
    return (size + 2) / 3 * 4;
}
std::size_t base64EncodeTo(const std::uint8_t* data, std::size_t size, char* out);
std::optional<std::size_t> base64DecodedSize(std::string_view text);
std::optional<std::size_t> base64DecodeTo(std::string_view text, std::uint8_t* out);

} // namespace helm
