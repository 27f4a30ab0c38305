#pragma once

#include "gaze/feed/HoldProgress.h"
#include "overlays/draw/TargetMode.h"

#include <functional>
#include <map>
#include <string>

namespace helm {

class DisplaySource;

// The full-screen target panels over this computer's screens, one per display index, kept for
// reuse once made. Until the panels are drawn this keeps what each one was asked to show; in
// simulation mode it only logs. Main thread only.
class MacOverlays {
public:
    using Mode = TargetMode;

    // What a display's panel shows, and whether it is on screen.
    struct Target {
        int number = 0;
        std::string name;
        Mode mode;
        bool visible = false;
    };

    MacOverlays() = default;
    MacOverlays(const MacOverlays&) = delete;
    MacOverlays& operator=(const MacOverlays&) = delete;

    // Set once by the application: simulation mode, where this computer's displays come from,
    // and the log.
    bool simulation = false;
    DisplaySource* displays = nullptr;
    std::function<void(const std::string&)> log;

    // The hold ring around the calibration dot, shared by every panel; a new target starts it
    // at 0.
    HoldProgress progress;

    // Shows the target for mode over the display with that index; an index with no display
    // does nothing.
    void show(int display, int number, const std::string& name, const Mode& mode);
    // Takes every target panel off the screen; the panels are kept.
    void hideAll();

    const std::map<int, Target>& targets() const { return targets_; }

    // The mode as the simulation log names it: "corner tl", "camera", "number", "dark".
    static std::string text(const Mode& mode);

private:
    std::map<int, Target> targets_;
};

} // namespace helm
