#include "overlays/draw/JumpView.h"

#include "platform/MediaClock.h"

#include <QPainter>
#include <QScreen>

#include <cmath>

namespace helm {

JumpView::JumpView(JumpDrawer drawer, QWidget* parent, std::function<double()> clock)
    : QWidget(parent), drawer_(std::move(drawer)),
      clock_(clock ? std::move(clock) : std::function<double()>(mediaNow)), start_(clock_()),
      reach_(drawer_.reach().toAlignedRect()) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    double hz = screen() != nullptr ? screen()->refreshRate() : 60;
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(static_cast<int>(1000 / (hz >= 20 && hz <= 500 ? hz : 60)));
    // Only what the effect can reach is repainted: the window system copies every updated
    // pixel, and most effects stay near the landing point.
    QObject::connect(&timer_, &QTimer::timeout, this, [this] { update(reach_); });
    timer_.start();
}

void JumpView::paintEvent(QPaintEvent*) {
    double dur = drawer_.recipe.dur;
    if (!std::isfinite(dur) || dur <= 0) {
        timer_.stop(); // no time to play in
        return;
    }
    double p = (clock_() - start_) / dur;
    QPainter g(this);
    drawer_.draw(g, p);
    if (p >= 1) {
        timer_.stop(); // this frame was the empty one after the end
    }
}

} // namespace helm
