#pragma once

#include "platform/Pointer.h"

#include <string>
#include <vector>

namespace helm {

// A pointer that only remembers: each call appends a line to calls, and a warp moves it.
class RecordingPointer : public Pointer {
public:
    std::optional<Point> at = Point{};
    bool reduced = false;
    bool attached = true;
    std::vector<std::string> calls; // "location", "warp X Y", "move X Y", "attach 0|1", "reduced"

    std::optional<Point> location() override;
    void warp(Point to) override;
    void postMove(Point to) override;
    void setAttached(bool on) override;
    bool reducedMotion() override;
};

} // namespace helm
