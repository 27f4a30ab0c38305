#pragma once

#include "overlays/draw/JumpDrawer.h"

#include <QTimer>
#include <QWidget>

#include <functional>

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

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    JumpDrawer drawer_;
    std::function<double()> clock_;
    double start_;
    QTimer timer_;
    QRect reach_;
};

} // namespace helm
