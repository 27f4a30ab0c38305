#pragma once

#include "platform/Pointer.h"

#include <optional>

namespace helm {

// Pointer moves posted from one thread other than the main one (the PC link's), on a
// connection of its own that it opens on first use and only ever uses from that thread.
// Posted moves carry the program's mark, like every event it posts.
class PointerPoster {
public:
    virtual ~PointerPoster() = default;
    // Where the pointer is, in the shared display frame; nothing when it cannot be read.
    virtual std::optional<Pointer::Point> location() = 0;
    virtual void moveTo(Pointer::Point to) = 0;
};

} // namespace helm
