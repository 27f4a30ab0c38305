#pragma once

#include "overlays/JumpMotion.h"
#include "overlays/JumpRecipe.h"

#include <QTimer>

#include <functional>
#include <string>

namespace helm {

// The real pointer's glide along a motion path: one step at once, then one every 8 ms at the
// path's place for the time gone by, until the first step at or after the end, which lands
// on the end point. Each step's place comes from the clock, never from counting steps, so a
// late tick skips ahead. At most one glide runs. Main thread only.
class Glide {
public:
    // clock gives seconds on the media clock; post moves the pointer, as a marked event.
    Glide(std::function<double()> clock, std::function<void(Jumps::Point)> post);

    // Replaces any glide in progress. A duration that is not a positive number posts the end
    // point alone and starts no timer.
    void start(const JumpRecipe::Motion& motion, double dur, Jumps::Point to,
               const std::string& dir, const Jumps::Rect& area);
    // One step, as the timer takes it; tests call it to drive the glide.
    void tick();
    // Halts the glide where the pointer is now.
    void stop();

    // The running glide's timer, active exactly while a glide runs.
    const QTimer& timer() const { return timer_; }
    bool running() const { return timer_.isActive(); }

private:
    std::function<double()> clock_;
    std::function<void(Jumps::Point)> post_;
    QTimer timer_;
    JumpRecipe::Motion motion_;
    double start_ = 0;
    double dur_ = 0;
    Jumps::Point to_;
    std::string dir_;
    Jumps::Rect area_;
};

} // namespace helm
