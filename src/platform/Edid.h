#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace helm {

// The identity a monitor reports in its EDID block, read as the display key: vendor (bytes
// 8–9, big-endian), model (10–11, little-endian) and serial (12–15, little-endian) in decimal,
// joined by "-". A block that is short, has a bad header or fails its checksum says nothing.
struct Edid {
    static constexpr const char* unknownKey = "0-0-0";

    std::string key;
    std::optional<std::string> name; // the monitor-name descriptor, when there is one

    static std::optional<Edid> read(const std::vector<std::uint8_t>& bytes);
};

} // namespace helm
