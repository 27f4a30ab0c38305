#include "overlays/draw/TargetView.h"

#include "gaze/feed/HoldProgress.h"
#include "overlays/draw/Paint.h"
#include "overlays/draw/TargetShape.h"
#include "platform/MediaClock.h"
#include "ui/Symbols.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPathStroker>
#include <QScreen>

#include <cmath>
#include <optional>

namespace helm {

namespace {

const QColor live = QColor::fromRgbF(0.19f, 0.82f, 0.35f);

// From the dot's centre to the outer edge of its spinner, antialiasing included.
constexpr double kDotReach = 58;

double clamped(double p) {
    return std::isnan(p) ? 0 : std::clamp(p, 0.0, 1.0);
}

// A slow drift keeps the eyes from settling beside the dot.
QPointF drift(double t, bool reduceMotion) {
    return reduceMotion ? QPointF() : QPointF(7 * std::sin(1.6 * t), 5 * std::cos(1.3 * t));
}

// Where the dot rests on a screen of that size; the number and the dark screen have none.
std::optional<QPointF> rest(QSizeF size, const TargetMode& mode) {
    if (mode.kind == TargetMode::Kind::corner || mode.kind == TargetMode::Kind::camera) {
        return TargetShape::dotCentre(size, mode);
    }
    return std::nullopt;
}

// White text on a faint white pill, centred on c; nothing when the pill lies outside dirty.
void label(QPainter& g, const QString& text, QPointF c, const QRect& dirty) {
    QRectF box = TargetShape::labelBox(text, c, g.device());
    if (!dirty.isNull() && !dirty.intersects(box.toAlignedRect())) {
        return;
    }
    QPainterPath pill;
    pill.addRoundedRect(box, 10, 10);
    g.fillPath(pill, paint::withAlpha(Qt::white, 0.1));
    g.setFont(TargetShape::labelFont(g.device()));
    g.setPen(Qt::white);
    g.drawText(box, Qt::AlignCenter, text);
}

// A colour at an opacity as it shows over the dimming. Over a ground that is clear (a repainted
// part of a see-through panel) the dimming and what is drawn on it can be put down at once,
// already mixed, as they are: Qt blends translucent colours span by span on a pool of threads,
// which costs far more than the dot itself.
struct Ink {
    double dim;   // the dimming's opacity
    bool cleared; // the ground is clear and everything is drawn as it is, mixed beforehand
    QColor operator()(const QColor& c, double a) const {
        if (!cleared) {
            return paint::withAlpha(c, a);
        }
        const double alpha = a + (1 - a) * dim;
        auto part = [&](float v) { return static_cast<float>(v * a / alpha); };
        return QColor::fromRgbF(part(c.redF()), part(c.greenF()), part(c.blueF()),
                                static_cast<float>(alpha));
    }
};

// The dot with its track, hold ring, spinner and, once held, the check mark. None of them
// overlaps another where it is translucent, so each can be mixed with the dimming alone.
// The outline of a stroke about the dot's centre at the origin: the shapes that do not change
// from frame to frame are outlined once and only moved after, since outlining a curve costs
// more than filling it.
QPainterPath outlined(const QPainterPath& path, double width) {
    QPainterPathStroker s;
    s.setWidth(width);
    s.setCapStyle(Qt::FlatCap);
    s.setJoinStyle(Qt::MiterJoin);
    s.setMiterLimit(10);
    return s.createStroke(path);
}

void dot(QPainter& g, QPointF c, double p, double t, bool reduceMotion, const Ink& ink) {
    thread_local const QPainterPath track = outlined(paint::circle({}, 45), 5);
    thread_local const QPainterPath centre = paint::circle({}, 13);
    g.fillPath(track.translated(c), ink(live, 0.22));
    if (p > 0) {
        // From 12 o'clock, clockwise.
        g.strokePath(paint::arc(c, 45, -90, -90 + 360 * p), paint::pen(live, 5, Qt::RoundCap));
    }
    if (!reduceMotion) {
        double turn = std::fmod(t, 1.2) / 1.2 * 360;
        g.strokePath(paint::arc(c, 54, turn, turn + 0.22 * 360),
                     paint::pen(ink(live, 0.75), 2.5, Qt::RoundCap));
    }
    g.fillPath(centre.translated(c), live);
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
    QObject::connect(&timer_, &QTimer::timeout, this, &TargetView::tick);
    QObject::connect(&progress_, &HoldProgress::changed, this, [this] {
        if (painted_) {
            double now = clock_();
            from_ = shown(now);
            to_ = clamped(progress_.value());
            since_ = now;
            return; // the ring moves there on the next ticks
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
                       const TargetMode& mode, double progress, double t, bool reduceMotion,
                       const QRect& dirty, bool cleared) {
    const double w = size.width();
    const double h = size.height();
    const double p = clamped(progress);
    g.save();
    g.setRenderHint(QPainter::Antialiasing);
    using Kind = TargetMode::Kind;
    const Ink ink{mode.kind == Kind::number ? 0.8 : 0.92, cleared};
    if (cleared) {
        g.setCompositionMode(QPainter::CompositionMode_Source);
    }
    g.fillRect(dirty.isNull() ? QRectF(0, 0, w, h) : QRectF(dirty) & QRectF(0, 0, w, h),
               paint::withAlpha(Qt::black, ink.dim));
    const std::optional<QPointF> c = rest(size, mode);
    if (c) {
        dot(g, *c + drift(t, reduceMotion), p, t, reduceMotion, ink);
    }
    g.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (std::optional<TargetShape::Label> l = TargetShape::label(size, number, mode)) {
        label(g, l->text, l->centre, dirty);
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

QRect TargetView::dotRect(double t) const {
    const std::optional<QPointF> c = rest(size(), mode_);
    if (!c) {
        return {};
    }
    const QPointF at = *c + drift(t, reduced());
    return QRectF(at - QPointF(kDotReach, kDotReach), QSizeF(2 * kDotReach, 2 * kDotReach))
        .toAlignedRect();
}

bool TargetView::reduced() const {
    return reduceMotion_ && reduceMotion_();
}

void TargetView::tick() {
    // Only the dot and its rings move: the window system copies and composites every pixel
    // that is repainted, and a whole screen of them each frame costs a core's fifth at 1080p.
    const double now = clock_();
    const QRect at = dotRect(now);
    if (shownDot_.isNull()) {
        frame_ = now;
        update(); // what is on screen is not known
        return;
    }
    // Held still, the dot changes only while its ring moves to a new value.
    if (reduced() && at == shownDot_ && shown(now) == shownProgress_) {
        return;
    }
    frame_ = now;
    // One rectangle: one copy to the server. Painted now, in the timer's turn of the event
    // loop, rather than posted for another turn: 60 turns a second fewer.
    repaint(at | shownDot_);
}

void TargetView::paintEvent(QPaintEvent* event) {
    // A tick's frame is the one its region was worked out for; anything else (a first show,
    // an expose) draws the clock's.
    const double now = frame_.value_or(clock_());
    frame_.reset();
    if (!painted_) {
        painted_ = true;
        from_ = to_ = clamped(progress_.value());
        since_ = now;
    }
    QPainter g(this);
    const double p = shown(now);
    // A see-through panel's repainted part is cleared before it is painted.
    const bool cleared = window() != this && window()->testAttribute(Qt::WA_TranslucentBackground);
    paint(g, size(), number_, name_, mode_, p, now, reduced(), event->rect(), cleared);
    // After an expose that missed part of the dot, the screen holds pieces of two frames.
    const QRect at = dotRect(now);
    const bool whole = (QRegion(at & rect()) - event->region()).isEmpty();
    shownDot_ = whole ? at : QRect();
    shownProgress_ = p;
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
