#include "platform/sim/RecordingPointer.h"

#include <cstdio>

namespace helm {

std::optional<Pointer::Point> RecordingPointer::location() {
    calls.emplace_back("location");
    return at;
}

void RecordingPointer::warp(Point to) {
    char line[64];
    std::snprintf(line, sizeof line, "warp %.0f %.0f", to.x, to.y);
    calls.emplace_back(line);
    at = to;
}

void RecordingPointer::postMove(Point to) {
    char line[64];
    std::snprintf(line, sizeof line, "move %.0f %.0f", to.x, to.y);
    calls.emplace_back(line);
    at = to;
}

void RecordingPointer::setAttached(bool on) {
    calls.emplace_back(on ? "attach 1" : "attach 0");
    attached = on;
}

bool RecordingPointer::reducedMotion() {
    calls.emplace_back("reduced");
    return reduced;
}

} // namespace helm
