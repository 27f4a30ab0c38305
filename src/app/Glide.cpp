#include "app/Glide.h"

#include <chrono>
#include <cmath>

namespace helm {

Glide::Glide(std::function<double()> clock, std::function<void(Jumps::Point)> post)
    : clock_(std::move(clock)), post_(std::move(post)) {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(std::chrono::milliseconds(8));
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { tick(); });
}

void Glide::start(const JumpRecipe::Motion& motion, double dur, Jumps::Point to,
                  const std::string& dir, const Jumps::Rect& area) {
    stop();
    if (!std::isfinite(dur) || dur <= 0) {
        // Nothing to spread over time; a negative duration would never reach the end.
        post_(Jumps::position(motion, 1, to, dir, area));
        return;
    }
    motion_ = motion;
    dur_ = dur;
    to_ = to;
    dir_ = dir;
    area_ = area;
    start_ = clock_();
    post_(Jumps::position(motion_, 0, to_, dir_, area_));
    timer_.start();
}

void Glide::tick() {
    if (!timer_.isActive()) {
        return;
    }
    const double p = (clock_() - start_) / dur_;
    post_(Jumps::position(motion_, p, to_, dir_, area_));
    if (!(p < 1)) {
        timer_.stop();
    }
}

void Glide::stop() {
    timer_.stop();
}

} // namespace helm
