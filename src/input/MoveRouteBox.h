#pragma once

#include "input/MoveRoute.h"

#include <mutex>
#include <optional>

namespace helm {

// The one piece of application state shared across threads: the main thread writes the route,
// the hub's queue reads it for every pointer move a PC sends. Readers take a copy, so nothing
// is called while the lock is held.
class MoveRouteBox {
public:
    std::optional<MoveRoute> get() const {
        std::lock_guard<std::mutex> hold(lock_);
        return route_;
    }
    void set(std::optional<MoveRoute> route) {
        std::lock_guard<std::mutex> hold(lock_);
        route_ = std::move(route);
    }

private:
    mutable std::mutex lock_;
    std::optional<MoveRoute> route_;
};

} // namespace helm
