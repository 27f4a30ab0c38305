#include "link/Utf8.h"

namespace helm {

std::optional<char32_t> nextScalar(std::string_view text, std::size_t& pos) {
    if (pos >= text.size()) {
        return std::nullopt;
    }
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char b0 = byte(pos);
    if (b0 < 0x80) {
        ++pos;
        return char32_t{b0};
    }
    std::size_t len;
    char32_t cp;
    char32_t min;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4, cp = b0 & 0x07, min = 0x10000;
    } else {
        return std::nullopt;
    }
    if (text.size() - pos < len) {
        return std::nullopt;
    }
    for (std::size_t i = 1; i < len; ++i) {
        unsigned char b = byte(pos + i);
        if ((b & 0xC0) != 0x80) {
            return std::nullopt;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return std::nullopt;
    }
    pos += len;
    return cp;
}

bool isValidUtf8(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        // Plain ASCII runs are the common case, even in 100 MB texts.
        while (pos + 8 <= text.size()) {
            std::uint64_t chunk = 0;
            for (int i = 0; i < 8; ++i) {
                chunk |= std::uint64_t{static_cast<unsigned char>(text[pos + i])} << (8 * i);
            }
            if ((chunk & 0x8080808080808080ULL) != 0) {
                break;
            }
            pos += 8;
        }
        if (pos >= text.size()) {
            break;
        }
        if (!nextScalar(text, pos)) {
            return false;
        }
    }
    return true;
}

} // namespace helm
