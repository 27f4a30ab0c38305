#include "overlays/draw/JumpView.h"

#include "platform/MediaClock.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScreen>

#include <cmath>
#include <limits>

namespace helm {

JumpView::JumpView(JumpDrawer drawer, QWidget* parent, std::function<double()> clock)
    : QWidget(parent), drawer_(std::move(drawer)),
      clock_(clock ? std::move(clock) : std::function<double()>(mediaNow)), start_(clock_()),
      shown_(std::numeric_limits<double>::quiet_NaN()) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    double hz = screen() != nullptr ? screen()->refreshRate() : 60;
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(static_cast<int>(1000 / (hz >= 20 && hz <= 500 ? hz : 60)));
    QObject::connect(&timer_, &QTimer::timeout, this, &JumpView::tick);
    timer_.start();
}

void JumpView::tick() {
    // Only what changes is repainted: the window system copies and composites every updated
    // pixel, and most effects stay near the landing point.
    double p = (clock_() - start_) / drawer_.recipe.dur;
    if (!(p < 1)) {
        timer_.stop(); // the last frame: the empty one after the end, or no time to play in
    }
    QRegion changed = drawer_.change(shown_, p, this);
    if (changed.isEmpty()) {
        shown_ = p; // the same picture
        next_.reset();
        return;
    }
    next_ = p;
    update(changed);
}

void JumpView::paintEvent(QPaintEvent* event) {
    double dur = drawer_.recipe.dur;
    if (!std::isfinite(dur) || dur <= 0) {
        timer_.stop(); // no time to play in
        return;
    }
    // A tick's frame is the one its region was worked out for; anything else (a first show,
    // an expose, a grab) draws the clock's.
    bool ticked = next_.has_value();
    double p = next_.value_or((clock_() - start_) / dur);
    bool whole = ticked || (QRegion(rect()) - event->region()).isEmpty();
    next_.reset();
    QPainter g(this);
    drawer_.draw(g, p);
    // After a partial expose the screen holds pieces of two frames.
    shown_ = whole ? p : std::numeric_limits<double>::quiet_NaN();
    if (p >= 1) {
        timer_.stop(); // this frame was the empty one after the end
    }
}

} // namespace helm
