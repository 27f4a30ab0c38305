#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace helm {

// One keyboard or mouse event in the terms the focus logic works in: Mac event types, Mac
// virtual key codes and Mac modifier flags, whatever the windowing system underneath reports.
// The key codes are positions, so shortcuts keep their place on a PC whatever the layout.
struct InputEvent {
    // The values are the Mac's event-type numbers, so lines and logs read the same everywhere.
    enum class Type : int {
        leftDown = 1,
        leftUp = 2,
        rightDown = 3,
        rightUp = 4,
        moved = 5,
        leftDragged = 6,
        rightDragged = 7,
        keyDown = 10,
        keyUp = 11,
        flagsChanged = 12,
        scrollWheel = 22,
        otherDown = 25,
        otherUp = 26,
        otherDragged = 27,
    };
    // Every type the input layer reports, in the order the tap lists them.
    static constexpr std::array<Type, 14> types = {
        Type::keyDown,     Type::keyUp,        Type::flagsChanged, Type::moved,      Type::leftDown,
        Type::leftUp,      Type::rightDown,    Type::rightUp,      Type::otherDown,  Type::otherUp,
        Type::leftDragged, Type::rightDragged, Type::otherDragged, Type::scrollWheel};

    // Device-independent modifier flags; the per-side bits are KeyMap::modifierMask's.
    static constexpr std::uint64_t alphaShift = 0x10000;
    static constexpr std::uint64_t shift = 0x20000;
    static constexpr std::uint64_t control = 0x40000;
    static constexpr std::uint64_t option = 0x80000;
    static constexpr std::uint64_t command = 0x100000;

    // A button event's number (0 left, 1 right, 2 any other) and direction.
    struct Button {
        int number;
        bool down;
        bool operator==(const Button&) const = default;
    };

    Type type = Type::moved;
    int code = 0;                    // Mac virtual key code of key and flags-changed events
    std::uint64_t flags = 0;         // device-independent and per-side modifier bits
    double x = 0, y = 0;             // pointer location in the shared frame, points
    std::int64_t dx = 0, dy = 0;     // pointer movement, whole points
    double scrollY = 0, scrollX = 0; // wheel movement, points; one notch is 48
    bool marked = false;             // posted by this program, not by the user or another one
    bool repeat = false;             // a key-down the keyboard repeats while the key is held

    // The flags for a set of per-side modifier bits: each side's bit turns on its
    // device-independent flag, caps lock adds alphaShift.
    static std::uint64_t flagsFor(std::uint64_t sideBits, bool capsLock);
    // The mask of every listed type (1 shifted left by each type's number).
    static std::uint64_t typeMask();

    bool isKey() const {
        return type == Type::keyDown || type == Type::keyUp || type == Type::flagsChanged;
    }
    std::optional<Button> button() const;
    // The drag type while a button is held, else moved.
    static Type motionType(bool left, bool right, bool other);
};

} // namespace helm
