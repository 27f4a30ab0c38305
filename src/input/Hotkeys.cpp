#include "input/Hotkeys.h"

#include <algorithm>

namespace helm {

namespace {

using Action = Hotkey::Action;

constexpr const char* modifiers = "Super+Alt+";

} // namespace

const std::array<Hotkey, 11>& Hotkeys::all() {
    // The digit row's codes are not in key order: the Mac numbered its keys as they were built.
    static const std::array<Hotkey, 11> table = {{
        {37, Action::lock, 0, "L"},
        {35, Action::camera, 0, "P"},
        {18, Action::jump, 1, "1"},
        {19, Action::jump, 2, "2"},
        {20, Action::jump, 3, "3"},
        {21, Action::jump, 4, "4"},
        {23, Action::jump, 5, "5"},
        {22, Action::jump, 6, "6"},
        {26, Action::jump, 7, "7"},
        {28, Action::jump, 8, "8"},
        {25, Action::jump, 9, "9"},
    }};
    return table;
}

std::optional<Hotkey> Hotkeys::of(int code, std::uint64_t eventFlags) {
    if ((eventFlags & flags) != flags) {
        return std::nullopt;
    }
    const auto& t = all();
    auto it = std::find_if(t.begin(), t.end(), [code](const Hotkey& h) { return h.code == code; });
    if (it == t.end()) {
        return std::nullopt;
    }
    return *it;
}

std::string Hotkeys::label(const Hotkey& h) {
    return std::string(modifiers) + h.key;
}

std::string Hotkeys::lock() {
    return label(all()[0]);
}

std::string Hotkeys::camera() {
    return label(all()[1]);
}

std::string Hotkeys::jump(int screen) {
    for (const Hotkey& h : all()) {
        if (h.action == Action::jump && h.screen == screen) {
            return label(h);
        }
    }
    return {};
}

std::string Hotkeys::jumps() {
    return jump(1) + "\u2013" + all().back().key;
}

std::string Hotkeys::jumpList() {
    return jump(1) + " \u2026 " + jump(9);
}

} // namespace helm
