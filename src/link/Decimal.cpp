#include "link/Decimal.h"

#include <charconv>
#include <cinttypes>
#include <cstdio>
#include <limits>

namespace helm {

std::optional<std::int64_t> parseDecimal(std::string_view token) {
    bool negative = false;
    if (!token.empty() && (token.front() == '+' || token.front() == '-')) {
        negative = token.front() == '-';
        token.remove_prefix(1);
    }
    // from_chars would take a second sign ("+-5"); only digits may follow ours.
    if (token.empty() || token.front() < '0' || token.front() > '9') {
        return std::nullopt;
    }
    std::uint64_t magnitude = 0;
    auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), magnitude);
    if (ec != std::errc() || end != token.data() + token.size()) {
        return std::nullopt;
    }
    constexpr auto max = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (negative) {
        if (magnitude > max + 1) {
            return std::nullopt;
        }
        return magnitude == max + 1 ? std::numeric_limits<std::int64_t>::min()
                                    : -static_cast<std::int64_t>(magnitude);
    }
    if (magnitude > max) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(magnitude);
}

std::string decimal(std::int64_t value) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%" PRId64, value);
    return buf;
}

std::string megabytes(std::uint64_t bytes) {
    return decimal(static_cast<std::int64_t>((bytes + 500'000) / 1'000'000)) + " MB";
}

} // namespace helm
