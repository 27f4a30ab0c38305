#include "overlays/draw/MacOverlays.h"

#include "platform/DisplaySource.h"

#include <string>

namespace helm {

std::string MacOverlays::text(const Mode& mode) {
    switch (mode.kind) {
    case Mode::Kind::corner:
        return std::string("corner ") + rawValue(mode.corner);
    case Mode::Kind::camera:
        return "camera";
    case Mode::Kind::number:
        return "number";
    case Mode::Kind::dark:
        break;
    }
    return "dark";
}

void MacOverlays::show(int display, int number, const std::string& name, const Mode& mode) {
    progress.setValue(0);
    if (simulation) {
        if (log) {
            log("target (test mode, not shown): screen " + std::to_string(number) + " " +
                text(mode));
        }
        return;
    }
    if (display < 0 || !displays ||
        static_cast<std::size_t>(display) >= displays->displays().size()) {
        return;
    }
    targets_[display] = Target{number, name, mode, true};
}

void MacOverlays::hideAll() {
    for (auto& [display, target] : targets_) {
        target.visible = false;
    }
}

} // namespace helm
