#pragma once

#include "overlays/draw/JumpDrawer.h"

#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>

namespace helm {

// Plays one jump effect once, in real time from the moment it is created, at the screen's
// refresh rate. Clicks pass through. The frame is a function of the clock alone, never of how
// many ticks came, so a late tick skips ahead rather than slowing the effect down.
class JumpView : public QWidget {
public:
    // clock gives seconds on the media clock; tests pin it.
    explicit JumpView(JumpDrawer drawer, QWidget* parent = nullptr,
                      std::function<double()> clock = {});

    const JumpDrawer& drawer() const { return drawer_; }
    double start() const { return start_; }
    bool playing() const { return timer_.isActive(); }
    int interval() const { return timer_.interval(); }

    // The timer's work: takes the clock's frame and repaints where it differs from the one on
    // screen.
    void tick();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    JumpDrawer drawer_;
    std::function<double()> clock_;
    double start_;
    QTimer timer_;
    double shown_;               // progress of the frame on screen, NaN when not known
    std::optional<double> next_; // the frame a tick asked for, until it is painted
};

} // namespace helm
