#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace helm {

// Binary payloads: picture and file contents, sealed lines, key material.
using Bytes = std::vector<std::uint8_t>;

inline std::string_view asText(const Bytes& b) {
    return {reinterpret_cast<const char*>(b.data()), b.size()};
}

inline Bytes asBytes(std::string_view s) {
    return Bytes(s.begin(), s.end());
}

} // namespace helm
