#include "overlays/draw/TargetView.h"

#include "gaze/feed/HoldProgress.h"
#include "overlays/draw/Paint.h"
#include "platform/MediaClock.h"
#include "ui/Fonts.h"
#include "ui/Symbols.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QScreen>

#include <cmath>
#include <cstdio>

namespace helm {

namespace {

const QColor live = QColor::fromRgbF(0.19f, 0.82f, 0.35f);

double clamped(double p) {
    return std::isnan(p) ? 0 : std::clamp(p, 0.0, 1.0);
}

// White text on a faint white pill, centred on c.
void label(QPainter& g, const QString& text, QPointF c) {
    QFont font = Fonts::font(22, QFont::DemiBold, g.device());
    QFontMetricsF fm(font, g.device());
    double w = fm.horizontalAdvance(text) + 32;
    double h = fm.height() + 20;
    QRectF box(c.x() - w / 2, c.y() - h / 2, w, h);
    QPainterPath pill;
    pill.addRoundedRect(box, 10, 10);
    g.fillPath(pill, paint::withAlpha(Qt::white, 0.1));
    g.setFont(font);
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
    if (mode.kind == Kind::corner) {
        double m = 0.07 * std::min(w, h);
        auto [fx, fy] = spot(mode.corner);
        QPointF c(m + fx * (w - 2 * m), m + fy * (h - 2 * m));
        dot(g, c + drift, p, t, reduceMotion);
        // The label sits inwards of the dot, placed from where the dot rests.
        QPointF at(c.x() + (fx == 1 ? -150 : 150), c.y() + (fy == 1 ? -80 : 80));
        label(g, QString::number(number) + QStringLiteral(" \u00B7 Look here"), at);
    } else if (mode.kind == Kind::camera) {
        dot(g, QPointF(w / 2, 60) + drift, p, t, reduceMotion);
        label(g, QStringLiteral("Look at the camera"), QPointF(w / 2, 150));
    } else if (mode.kind == Kind::number) {
        char digits[24];
        std::snprintf(digits, sizeof digits, "%lld", static_cast<long long>(number));
        QFont big = Fonts::font(220, QFont::Bold, g.device());
        QFont small = Fonts::font(26, QFont::Medium, g.device());
        double h1 = QFontMetricsF(big, g.device()).height();
        double h2 = QFontMetricsF(small, g.device()).height();
        double top = (h - (h1 + 8 + h2)) / 2;
        g.setFont(big);
        g.setPen(live);
        g.drawText(QRectF(0, top, w, h1), Qt::AlignCenter, QString::fromLatin1(digits));
        g.setFont(small);
        g.setPen(Qt::white);
        g.drawText(QRectF(0, top + h1 + 8, w, h2), Qt::AlignCenter, QString::fromStdString(name));
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
