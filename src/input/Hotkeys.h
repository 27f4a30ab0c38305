#pragma once

#include "input/InputEvent.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace helm {

// One of the fixed hotkeys: control-option and a key, in the focus logic's Mac terms.
struct Hotkey {
    enum class Action { lock, camera, jump };
    int code; // Mac virtual key code: a key position, whatever the layout
    Action action;
    int screen;      // the screen a jump goes to, else 0
    const char* key; // the key as labels name it
};

// Every hotkey the program listens to, and every label that shows one. This desktop's Super
// plays control and Alt (either one, AltGr included) plays option, so the labels say Super+Alt
// and the input layer reserves exactly these keys with exactly those modifiers.
class Hotkeys {
public:
    Hotkeys() = delete;

    // Both must be held; any other modifier may be held too.
    static constexpr std::uint64_t flags = InputEvent::control | InputEvent::option;

    static const std::array<Hotkey, 11>& all();
    // The hotkey a key-down of code with these event flags is, or nothing.
    static std::optional<Hotkey> of(int code, std::uint64_t flags);

    // "Super+Alt+" and the key.
    static std::string label(const Hotkey& h);
    static std::string lock();
    static std::string camera();
    // The jump to one screen; empty for a screen no hotkey reaches.
    static std::string jump(int screen);
    // The nine jumps as a range ("Super+Alt+1–9") and as a list of the first and last.
    static std::string jumps();
    static std::string jumpList();
};

} // namespace helm
