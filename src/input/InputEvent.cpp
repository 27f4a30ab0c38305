#include "input/InputEvent.h"

namespace helm {

std::uint64_t InputEvent::flagsFor(std::uint64_t sideBits, bool capsLock) {
    std::uint64_t flags = sideBits;
    if (sideBits & (0x02 | 0x04))
        flags |= shift;
    if (sideBits & (0x01 | 0x2000))
        flags |= control;
    if (sideBits & (0x20 | 0x40))
        flags |= option;
    if (sideBits & (0x08 | 0x10))
        flags |= command;
    if (capsLock)
        flags |= alphaShift;
    return flags;
}

std::uint64_t InputEvent::typeMask() {
    std::uint64_t mask = 0;
    for (Type t : types)
        mask |= std::uint64_t{1} << static_cast<int>(t);
    return mask;
}

std::optional<InputEvent::Button> InputEvent::button() const {
    switch (type) {
    case Type::leftDown:
        return Button{0, true};
    case Type::leftUp:
        return Button{0, false};
    case Type::rightDown:
        return Button{1, true};
    case Type::rightUp:
        return Button{1, false};
    case Type::otherDown:
        return Button{2, true};
    case Type::otherUp:
        return Button{2, false};
    default:
        return std::nullopt;
    }
}

InputEvent::Type InputEvent::motionType(bool left, bool right, bool other) {
    if (left)
        return Type::leftDragged;
    if (right)
        return Type::rightDragged;
    if (other)
        return Type::otherDragged;
    return Type::moved;
}

} // namespace helm
