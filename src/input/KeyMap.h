#pragma once

#include <cstdint>
#include <map>
#include <optional>

namespace helm {

// Between the Mac virtual key codes the focus logic works in and the PC scan codes (set 1, an
// extended key as 0xE000 plus its second byte) that the "k" lines carry. The Mac's Command keys
// play the PC's Control keys and its Control keys the Windows keys, so shortcuts keep their
// meaning on the PC. On an ISO keyboard the key left of 1 and the key right of left Shift
// report each other's Mac codes, so `iso` exchanges their PC codes.
class KeyMap {
public:
    KeyMap() = delete;

    static const std::map<int, int>& table();
    // The inverse of table(): the lowest Mac code wins should a PC code ever repeat.
    static const std::map<int, int>& reverse();
    // The per-side modifier bit of each modifier key in the event flags; caps lock is apart.
    static const std::map<int, std::uint64_t>& modifierMask();

    static std::optional<int> scan(int code, bool iso = false);
    static std::optional<int> mac(int pc, bool iso = false);
    // Whether a flags-changed event of `code` means that key is down (its own side's bit is
    // set); nothing for a key that is not a modifier.
    static std::optional<bool> modifierDown(int code, std::uint64_t flags);
};

} // namespace helm
