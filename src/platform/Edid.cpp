#include "platform/Edid.h"

#include <algorithm>
#include <numeric>

namespace helm {

std::optional<Edid> Edid::read(const std::vector<std::uint8_t>& b) {
    static constexpr std::uint8_t header[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    if (b.size() < 128 || !std::equal(header, header + 8, b.begin())) {
        return std::nullopt;
    }
    if (std::accumulate(b.begin(), b.begin() + 128, 0u) % 256 != 0) {
        return std::nullopt;
    }
    const std::uint32_t vendor = std::uint32_t(b[8]) << 8 | b[9];
    const std::uint32_t model = b[10] | std::uint32_t(b[11]) << 8;
    const std::uint32_t serial =
        b[12] | std::uint32_t(b[13]) << 8 | std::uint32_t(b[14]) << 16 | std::uint32_t(b[15]) << 24;
    Edid out;
    out.key = std::to_string(vendor) + "-" + std::to_string(model) + "-" + std::to_string(serial);
    // Four 18-byte descriptors; a display descriptor starts with two zero bytes and names its
    // kind in the fourth. The name is up to 13 characters, ended by a line feed.
    for (std::size_t at = 54; at + 18 <= 126; at += 18) {
        if (b[at] != 0 || b[at + 1] != 0 || b[at + 3] != 0xFC) {
            continue;
        }
        std::string name;
        for (std::size_t i = at + 5; i < at + 18 && b[i] != 0x0A; ++i) {
            // Printable ASCII only, so the name is always valid UTF-8.
            if (b[i] >= 0x20 && b[i] < 0x7F) {
                name += char(b[i]);
            }
        }
        while (!name.empty() && name.back() == ' ') {
            name.pop_back();
        }
        if (!name.empty()) {
            out.name = name;
        }
        break;
    }
    return out;
}

} // namespace helm
