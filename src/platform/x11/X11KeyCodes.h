#pragma once

#include <optional>
#include <string_view>

namespace helm {

// X key codes in the focus logic's Mac key codes. Ordinary keys go by position (the evdev code,
// X code − 8), so a PC receives the key at the same place whatever the layout; modifier keys go
// by role, so a Ctrl moved onto Caps Lock still plays Command.
class X11KeyCodes {
public:
    X11KeyCodes() = delete;

    // The key left of 1 and the key right of left Shift exchange their Mac codes on an ISO
    // keyboard, as a Mac's own ISO keyboard reports them.
    static std::optional<int> macForEvdev(int evdev, bool iso);
    static std::optional<int> evdevForMac(int mac, bool iso);
    // The Mac modifier a keysym plays: Ctrl is Command, Super is Control, Alt and AltGr are
    // Option; nothing for a keysym that is no modifier.
    static std::optional<int> macForModifierKeysym(unsigned long keysym);
    // The keysym a Mac modifier's own key carries here (Alt_R for right Option); nothing for a
    // code that is no modifier. A key that plays the modifier under another keysym (AltGr) is
    // the fallback where no key carries this one.
    static std::optional<unsigned long> ownKeysymForMac(int mac);
    // Whether an XKB keyboard model is of the ISO family (the 102- and 105-key PC models).
    static bool isIsoModel(std::string_view model);
};

} // namespace helm
