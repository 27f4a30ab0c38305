#pragma once

#include <cstddef>
#include <optional>

namespace helm {

// The element at index i, or nothing when i is out of range: for indices that may have gone
// stale (a menu built from an older list, a display that was unplugged).
template <typename List>
auto safe(const List& list, std::ptrdiff_t i) -> std::optional<typename List::value_type> {
    if (i < 0 || static_cast<std::size_t>(i) >= list.size()) {
        return std::nullopt;
    }
    return list[static_cast<std::size_t>(i)];
}

} // namespace helm
