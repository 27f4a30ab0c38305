#pragma once

#include "link/Bytes.h"

#include <string>
#include <string_view>

namespace helm::test {

// Decodes the hexadecimal of a published test vector.
inline Bytes unhex(std::string_view h) {
    Bytes out;
    for (std::size_t i = 0; i + 1 < h.size(); i += 2) {
        out.push_back(
            static_cast<std::uint8_t>(std::stoi(std::string(h.substr(i, 2)), nullptr, 16)));
    }
    return out;
}

inline std::string unhexText(std::string_view h) {
    Bytes b = unhex(h);
    return std::string(b.begin(), b.end());
}

} // namespace helm::test
