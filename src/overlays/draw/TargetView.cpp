#include "overlays/draw/TargetView.h"

#include "gaze/feed/HoldProgress.h"
#include "overlays/draw/Paint.h"
#include "overlays/draw/TargetShape.h"
#include "platform/MediaClock.h"
#include "ui/Symbols.h"

#include <QPainter>
#include <QScreen>

#include <cmath>

namespace helm {

namespace {

const QColor live = QColor::fromRgbF(0.19f, 0.82f, 0.35f);

double clamped(double p) {
    return std::isnan(p) ? 0 : std::clamp(p, 0.0, 1.0);
}

// White text on a faint white pill, centred on c.
void label(QPainter& g, const QString& text, QPointF c) {
    QRectF box = TargetShape::labelBox(text, c, g.device());
    QPainterPath pill;
    pill.addRoundedRect(box, 10, 10);
    g.fillPath(pill, paint::withAlpha(Qt::white, 0.1));
    g.setFont(TargetShape::labelFont(g.device()));
    g.setPen(Qt::white);
    g.drawText(box, Qt::AlignCenter, text);
}

// The dot with its track, hold ring, spinner and, once held, the check mark.
void dot(QPainter& g, QPointF c, double p, double t, bool reduceMotion) {
    g.strokePath(paint::circle(c, 45), paint::pen(paint::withAlpha(live, 0.22), 5));
    if (p > 0) {
        // From 12 o'clock, clockwise.
        g.strokePath(paint::arc(c, 45, -90, -90 + 360 * p), paint::pen(live, 5, Qt::RoundCap));
    }
    if (!reduceMotion) {
        double turn = std::fmod(t, 1.2) / 1.2 * 360;
        g.strokePath(paint::arc(c, 54, turn, turn + 0.22 * 360),
                     paint::pen(paint::withAlpha(live, 0.75), 2.5, Qt::RoundCap));
    }
    g.fillPath(paint::circle(c, 13), live);
    if (p >= 1) {
        g.fillPath(Symbols::path("checkmark", 14, true).translated(c), Qt::black);
    }
}

} // namespace

TargetView::TargetView(int number, std::string name, TargetMode mode, HoldProgress& progress,
                       std::function<bool()> reduceMotion, QWidget* parent,
                       std::function<double()> clock)
    : QWidget(parent), number_(number), name_(std::move(name)), mode_(mode), progress_(progress),
      reduceMotion_(std::move(reduceMotion)),
      clock_(clock ? std::move(clock) : std::function<double()>(mediaNow)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAccessibleName(mode_.kind == TargetMode::Kind::dark
                          ? QStringLiteral("Screen dimmed during setup")
                          : QStringLiteral("Look at the green dot"));
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(16);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] { update(); });
    QObject::connect(&progress_, &HoldProgress::changed, this, [this] {
        if (painted_) {
            double now = clock_();
            from_ = shown(now);
            to_ = clamped(progress_.value());
            since_ = now;
        }
        update();
    });
}

double TargetView::shown(double now) const {
    if (!painted_) {
        return clamped(progress_.value());
    }
    double k = std::clamp((now - since_) / 0.1, 0.0, 1.0);
    return from_ + (to_ - from_) * (std::isnan(k) ? 1 : k);
}

void TargetView::paint(QPainter& g, QSizeF size, int number, const std::string& name,
                       const TargetMode& mode, double progress, double t, bool reduceMotion) {
    const double w = size.width();
    const double h = size.height();
    const double p = clamped(progress);
    g.save();
    g.setRenderHint(QPainter::Antialiasing);
    using Kind = TargetMode::Kind;
    g.fillRect(QRectF(0, 0, w, h),
               paint::withAlpha(Qt::black, mode.kind == Kind::number ? 0.8 : 0.92));
    // A slow drift keeps the eyes from settling beside the dot.
    QPointF drift =
        reduceMotion ? QPointF() : QPointF(7 * std::sin(1.6 * t), 5 * std::cos(1.3 * t));
    if (mode.kind == Kind::corner || mode.kind == Kind::camera) {
        dot(g, TargetShape::dotCentre(size, mode) + drift, p, t, reduceMotion);
        if (std::optional<TargetShape::Label> l = TargetShape::label(size, number, mode)) {
            label(g, l->text, l->centre);
        }
    } else if (mode.kind == Kind::number) {
        const TargetShape::Line digits = TargetShape::numberLine(size, number, g.device());
        const TargetShape::Line title = TargetShape::nameLine(size, name, g.device());
        g.setFont(digits.font);
        g.setPen(live);
        g.drawText(digits.box, Qt::AlignCenter, digits.text);
        g.setFont(title.font);
        g.setPen(Qt::white);
        g.drawText(title.box, Qt::AlignCenter, title.text);
    }
    g.restore();
}

void TargetView::paintEvent(QPaintEvent*) {
    double now = clock_();
    if (!painted_) {
        painted_ = true;
        from_ = to_ = clamped(progress_.value());
        since_ = now;
    }
    QPainter g(this);
    paint(g, size(), number_, name_, mode_, shown(now), now, reduceMotion_ && reduceMotion_());
}

void TargetView::showEvent(QShowEvent*) {
    // Only the dot moves; the number and the dark screen are still pictures.
    if (mode_.kind == TargetMode::Kind::corner || mode_.kind == TargetMode::Kind::camera) {
        double hz = screen() != nullptr ? screen()->refreshRate() : 60;
        timer_.setInterval(static_cast<int>(1000 / (hz >= 20 && hz <= 500 ? hz : 60)));
        timer_.start();
    }
}

void TargetView::hideEvent(QHideEvent*) {
    timer_.stop();
}

} // namespace helm
