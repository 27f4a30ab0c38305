#include "overlays/draw/JumpPreview.h"

#include "overlays/JumpMotion.h"
#include "overlays/draw/JumpDrawer.h"
#include "overlays/draw/Paint.h"
#include "platform/MediaClock.h"
#include "ui/Fonts.h"

#include <QPainter>
#include <QPainterPath>
#include <QScreen>

#include <cmath>

namespace helm {

namespace {

void screenBox(QPainter& g, const QRectF& r, double k, const char* label, bool target) {
    QPainterPath box;
    box.addRoundedRect(r, 3 * k, 3 * k);
    g.fillPath(box, QColor::fromRgbF(0.08f, 0.09f, 0.11f));
    g.fillRect(QRectF(r.left() + 0.1 * r.width(), r.top() + 0.15 * r.height(), 0.5 * r.width(),
                      0.45 * r.height()),
               QColor::fromRgbF(0.11f, 0.12f, 0.15f));
    QColor edge = target ? paint::withAlpha(QColor::fromRgbF(0.19f, 0.82f, 0.35f), 0.4)
                         : QColor::fromRgbF(0.2f, 0.2f, 0.2f);
    g.strokePath(box, paint::pen(edge, 1)); // 1 whatever the tile's size
    g.setFont(Fonts::font(9 * k, QFont::Normal, g.device()));
    g.setPen(QColor::fromRgbF(0.557f, 0.557f, 0.576f));
    // Over the box's left edge, so a longer name grows into the tile rather than out of it.
    g.drawText(QRectF(r.left() + k, r.top() - 28 * k, 200 * k, 40 * k),
               Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(label));
}

} // namespace

JumpPreview::JumpPreview(JumpRecipe recipe, std::string color, std::function<bool()> reduceMotion,
                         QWidget* parent, std::function<double()> clock)
    : QWidget(parent), recipe_(std::move(recipe)), color_(std::move(color)),
      reduceMotion_(std::move(reduceMotion)),
      clock_(clock ? std::move(clock) : std::function<double()>(mediaNow)) {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(16);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] { update(); });
}

void JumpPreview::paint(QPainter& g, double w, const JumpRecipe& recipe, const std::string& color,
                        double t, bool still) {
    const double k = w / 320;
    if (!paint::usable({w}) || w <= 0) {
        return;
    }
    g.save();
    g.setRenderHint(QPainter::Antialiasing);
    QPainterPath tile;
    tile.addRoundedRect(QRectF(0, 0, w, w * 9 / 16), 8, 8);
    g.setClipPath(tile);
    g.fillPath(tile, QColor::fromRgbF(0.03f, 0.035f, 0.045f));

    const QRectF mac(10 * k, 40 * k, 120 * k, 78 * k);
    const QRectF pc(140 * k, 26 * k, 170 * k, 110 * k);
    screenBox(g, mac, k, "This computer", false);
    screenBox(g, pc, k, "PC", true);

    const QPointF target(pc.center().x() + 10 * k, pc.center().y());
    QPointF pointer = target;
    double dur = recipe.dur;
    // Without a usable duration the effect cannot loop: the desk and the resting pointer only.
    if (std::isfinite(dur) && dur > 0 && std::isfinite(t)) {
        double p = std::fmod(t, dur + 0.9) / dur;
        if (recipe.motion) {
            Jumps::Point at = Jumps::position(*recipe.motion, p, {target.x(), target.y()}, "L",
                                              {pc.x(), pc.y(), pc.width(), pc.height()}, 0.5 * k);
            if (paint::usable({at.x, at.y})) {
                pointer = QPointF(at.x, at.y);
            }
        }
        JumpDrawer drawer{recipe.colored(color), target, pc, "L", 2, "WORK PC", 1.4 * k, still};
        drawer.draw(g, p);
    }
    QPainterPath arrow = paint::arrow(pointer, 1.4 * k);
    g.fillPath(arrow, Qt::white);
    g.strokePath(arrow, paint::pen(Qt::black, 0.8));
    g.restore();
}

void JumpPreview::paintEvent(QPaintEvent*) {
    // 16:9, as large as fits, centred.
    double w = std::min<double>(width(), height() * 16.0 / 9.0);
    QPainter g(this);
    g.translate((width() - w) / 2, (height() - w * 9 / 16) / 2);
    paint(g, w, recipe_, color_, clock_(), reduceMotion_ && reduceMotion_());
}

void JumpPreview::showEvent(QShowEvent*) {
    double hz = screen() != nullptr ? screen()->refreshRate() : 60;
    timer_.setInterval(static_cast<int>(1000 / (hz >= 20 && hz <= 500 ? hz : 60)));
    timer_.start(); // repaints only while the tile can be seen
}

void JumpPreview::hideEvent(QHideEvent*) {
    timer_.stop();
}

} // namespace helm
