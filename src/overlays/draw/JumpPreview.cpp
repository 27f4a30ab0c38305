#include "overlays/draw/JumpPreview.h"

#include "overlays/JumpMotion.h"
#include "overlays/draw/JumpDrawer.h"
#include "overlays/draw/Paint.h"
#include "platform/MediaClock.h"
#include "ui/Fonts.h"

#include <QCoreApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QScreen>
#include <QSet>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <vector>

namespace helm {

namespace {

constexpr double kRadius = 8; // the tile's corners

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

QPainterPath tileShape(double w) {
    QPainterPath tile;
    tile.addRoundedRect(QRectF(0, 0, w, w * 9 / 16), kRadius, kRadius);
    return tile;
}

QRectF macScreen(double k) {
    return {10 * k, 40 * k, 120 * k, 78 * k};
}

// Where a kept frame differs from the desk, in the widget's coordinates.
QRect logical(const LoopFrames::Frame& frame, qreal ratio) {
    return QRectF(QPointF(frame.at) / ratio, QSizeF(frame.image.size()) / ratio).toAlignedRect();
}

QRectF pcScreen(double k) {
    return {140 * k, 26 * k, 170 * k, 110 * k};
}

// The ground of the tile and its two screens: what stays the same in every frame.
void desk(QPainter& g, double w) {
    const double k = w / 320;
    g.fillPath(tileShape(w), QColor::fromRgbF(0.03f, 0.035f, 0.045f));
    screenBox(g, macScreen(k), k, "This computer", false);
    screenBox(g, pcScreen(k), k, "PC", true);
}

// The effect at time t and the pointer on top.
void moving(QPainter& g, double w, const JumpRecipe& recipe, const std::string& color, double t,
            bool still) {
    const double k = w / 320;
    const QRectF pc = pcScreen(k);
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
}

} // namespace

// One timer for every preview on screen, at the screen's rate (60 a second at most): the
// previews repaint together, in one pass of the window, rather than each waking the program on
// its own. While every tile rests, or none can be seen (its window minimised, not mapped or
// covered), the timer sleeps: until the next play starts, or until a window shows again.
class JumpPreview::Frames : public QObject {
public:
    static Frames& instance() {
        static QPointer<Frames> frames;
        if (frames.isNull()) {
            frames = new Frames(QCoreApplication::instance()); // goes with the application
        }
        return *frames;
    }
    void add(JumpPreview* p) {
        shown_.push_back(p);
        if (QWidget* w = p->window(); w != nullptr && !windows_.contains(w)) {
            windows_.insert(w);
            w->installEventFilter(this); // minimised and restored
            if (QWindow* handle = w->windowHandle()) {
                handle->installEventFilter(this); // mapped and unmapped
            }
            QObject::connect(w, &QObject::destroyed, this, [this, w] { windows_.remove(w); });
        }
        if (!timer_.isActive()) {
            timer_.setInterval(static_cast<int>(1000 / p->frameRate()));
        }
        wake();
    }
    void remove(JumpPreview* p) {
        std::erase(shown_, p);
        if (shown_.empty()) {
            timer_.stop();
            sleep_.stop();
        }
    }
    bool running() const { return timer_.isActive(); }
    // Frames again from now: a preview came, a window showed, or the next play is due.
    void wake() {
        sleep_.stop();
        if (!shown_.empty() && !timer_.isActive()) {
            timer_.start();
        }
        tick();
    }

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Expose || e->type() == QEvent::WindowStateChange ||
            e->type() == QEvent::Show || e->type() == QEvent::DynamicPropertyChange) {
            // Handled once the window's state is in: a restored window is exposed after it.
            QTimer::singleShot(0, this, [this] { wake(); });
        }
        return false;
    }

private:
    explicit Frames(QObject* parent) : QObject(parent) {
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] { tick(); });
        sleep_.setSingleShot(true);
        sleep_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&sleep_, &QTimer::timeout, this, [this] { wake(); });
    }
    static bool seen(const JumpPreview* p) {
        const QWidget* w = p->window();
        const QWindow* handle = w != nullptr ? w->windowHandle() : nullptr;
        return handle != nullptr && handle->isExposed() && !w->isMinimized() &&
               !w->property(coveredProperty).toBool();
    }
    void tick() {
        double nextPlay = -1; // seconds until the first resting tile in sight plays again
        bool moving = false;
        for (JumpPreview* p : shown_) {
            if (!seen(p)) {
                continue;
            }
            const double t = p->clock_();
            if (!p->resting(t)) {
                moving = true;
                p->advance(t);
                continue;
            }
            if (!p->shownRest_) {
                p->advance(t); // the first frame of the rest, then nothing until the next play
                moving = true;
            }
            const double wait = p->untilPlay(t);
            if (wait > 0 && (nextPlay < 0 || wait < nextPlay)) {
                nextPlay = wait;
            }
        }
        if (moving) {
            return;
        }
        timer_.stop();
        if (nextPlay > 0) {
            sleep_.start(static_cast<int>(std::ceil(nextPlay * 1000)));
        }
    }
    QTimer timer_;
    QTimer sleep_;
    std::vector<JumpPreview*> shown_;
    QSet<QWidget*> windows_;
};

JumpPreview::JumpPreview(JumpRecipe recipe, std::string color, std::function<bool()> reduceMotion,
                         QWidget* parent, std::function<double()> clock)
    : QWidget(parent), recipe_(std::move(recipe)), color_(std::move(color)),
      reduceMotion_(std::move(reduceMotion)),
      clock_(clock ? std::move(clock) : std::function<double()>(mediaNow)) {}

JumpPreview::~JumpPreview() {
    Frames::instance().remove(this);
}

void JumpPreview::setGround(const QColor& ground) {
    ground_ = ground;
    setAttribute(Qt::WA_OpaquePaintEvent, ground.isValid());
    desk_ = QImage();
    kept_.clear();
    keptFull_ = false;
    forgetShown();
    update();
}

bool JumpPreview::playing() const {
    return shown_ && Frames::instance().running();
}

double JumpPreview::untilPlay(double t) const {
    const double dur = recipe_.dur;
    if (!(std::isfinite(dur) && dur > 0 && std::isfinite(t))) {
        return -1; // never plays
    }
    const double period = dur + 0.9;
    return period - std::fmod(std::fmod(t, period) + period, period);
}

bool JumpPreview::resting(double t) const {
    const double dur = recipe_.dur;
    return !(std::isfinite(dur) && dur > 0 && std::isfinite(t)) || std::fmod(t, dur + 0.9) >= dur;
}

double JumpPreview::frameRate() const {
    const double hz = screen() != nullptr ? screen()->refreshRate() : 60;
    return hz >= 20 ? std::min(hz, 60.0) : 60;
}

int JumpPreview::frameAt(double t, double hz) const {
    if (resting(t)) {
        return -1;
    }
    const double period = recipe_.dur + 0.9;
    const double into = std::fmod(std::fmod(t, period) + period, period);
    // The nearest frame; one that falls at the end of the play is already the rest.
    const double index = std::round(into * hz);
    if (index / hz >= recipe_.dur) {
        return -1;
    }
    return index < 1e6 ? static_cast<int>(index) : -2; // a play of hours is no loop to keep
}

void JumpPreview::advance(double t) {
    const double hz = frameRate();
    const int index = frameAt(t, hz);
    const LoopFrames::Frame* frame = nullptr;
    const qreal ratio = devicePixelRatioF();
    if (ground_.isValid() && index >= -1 && shownPart_ &&
        keptFor_ == KeptFor{size() * ratio, ratio, hz, reduceMotion_ && reduceMotion_()}) {
        if (index == shownIndex_) {
            return; // that picture is on screen
        }
        frame = kept_.find(index);
    }
    if (frame == nullptr) {
        pending_ = t;
        update();
        return;
    }
    // Where the frame on screen and the next one differ from the desk: the rest is the same.
    const QRect changed = *shownPart_ | logical(*frame, ratio);
    if (changed.isEmpty()) {
        shownIndex_ = index; // both are the desk itself
        shownRest_ = resting(t);
        return;
    }
    pending_ = t;
    update(changed);
}

void JumpPreview::forgetShown() {
    shownIndex_ = noFrame;
    shownPart_.reset();
}

double JumpPreview::frameTime(int index, double hz) const {
    return index >= 0 ? index / hz : recipe_.dur; // at the rest the effect has ended
}

void JumpPreview::paint(QPainter& g, double w, const JumpRecipe& recipe, const std::string& color,
                        double t, bool still) {
    if (!paint::usable({w}) || w <= 0) {
        return;
    }
    g.save();
    g.setRenderHint(QPainter::Antialiasing);
    g.setClipPath(tileShape(w), Qt::IntersectClip);
    desk(g, w);
    moving(g, w, recipe, color, t, still);
    g.restore();
}

void JumpPreview::overDesk(QPainter& g, double w, QPoint at, double t, bool still) const {
    // Clipping to the rounded tile would make every fill of the frame follow the curve: the
    // rectangle, then the corners from the desk, draw the same for less.
    g.setCompositionMode(QPainter::CompositionMode_Source);
    g.drawImage(0, 0, desk_);
    g.setCompositionMode(QPainter::CompositionMode_SourceOver);
    g.save();
    g.setRenderHint(QPainter::Antialiasing);
    g.translate(at);
    g.setClipRect(QRectF(0, 0, w, w * 9 / 16));
    moving(g, w, recipe_, color_, t, still);
    g.restore();
    const qreal ratio = desk_.devicePixelRatio();
    const int r = static_cast<int>(std::ceil(kRadius)) + 1;
    const QRect tile(at, QSize(static_cast<int>(w), static_cast<int>(w * 9 / 16)));
    g.setCompositionMode(QPainter::CompositionMode_Source);
    for (QPoint corner : {tile.topLeft(), QPoint(tile.right() - r + 1, tile.top()),
                          QPoint(tile.left(), tile.bottom() - r + 1),
                          QPoint(tile.right() - r + 1, tile.bottom() - r + 1)}) {
        const QRect square(corner, QSize(r, r));
        g.drawImage(square, desk_,
                    QRectF(QPointF(square.topLeft()) * ratio, QSizeF(square.size()) * ratio));
    }
}

void JumpPreview::paintEvent(QPaintEvent* event) {
    // 16:9, as large as fits, centred on a whole pixel.
    const double w = std::min<double>(width(), height() * 16.0 / 9.0);
    const QPoint at(static_cast<int>((width() - w) / 2),
                    static_cast<int>((height() - w * 9 / 16) / 2));
    // A tick's frame is the one its region was worked out for; anything else (a first show,
    // an expose) draws the clock's.
    const double t = pending_.value_or(clock_());
    pending_.reset();
    const bool still = reduceMotion_ && reduceMotion_();
    shownRest_ = resting(t);
    QPainter g(this);
    if (!ground_.isValid() || !paint::usable({w}) || w <= 0) {
        forgetShown();
        g.translate(at);
        paint(g, w, recipe_, color_, t, still);
        return;
    }
    // The desk, drawn once over the ground at this size.
    const qreal ratio = devicePixelRatioF();
    if (desk_.size() != size() * ratio || desk_.devicePixelRatio() != ratio) {
        desk_ = QImage(size() * ratio, QImage::Format_ARGB32_Premultiplied);
        desk_.setDevicePixelRatio(ratio);
        desk_.fill(ground_);
        QPainter d(&desk_);
        d.setRenderHint(QPainter::Antialiasing);
        d.translate(at);
        d.setClipPath(tileShape(w));
        desk(d, w);
    }
    // Each frame of the loop at the screen's rate, kept once drawn: the loop repeats exactly.
    const double hz = frameRate();
    const KeptFor now{desk_.size(), ratio, hz, still};
    if (now != keptFor_) {
        kept_.clear();
        keptFull_ = false;
        keptFor_ = now;
        forgetShown();
    }
    const int index = frameAt(t, hz);
    const LoopFrames::Frame* frame = index >= -1 ? kept_.find(index) : nullptr;
    QImage picture;
    if (frame == nullptr && !keptFull_ && index >= -1) {
        picture = QImage(desk_.size(), desk_.format());
        picture.setDevicePixelRatio(ratio);
        QPainter p(&picture);
        overDesk(p, w, at, frameTime(index, hz), still);
        p.end();
        if (kept_.keep(index, LoopFrames::difference(picture, desk_))) {
            frame = kept_.find(index);
        } else {
            keptFull_ = true;
        }
    }
    // Where this frame differs from the desk; all of the tile when that is not known.
    QRect part = rect();
    if (frame != nullptr) {
        g.setCompositionMode(QPainter::CompositionMode_Source);
        g.setWorldTransform(QTransform::fromScale(1 / ratio, 1 / ratio)); // device pixels
        const QRect dirty =
            QRectF(QPointF(event->rect().topLeft()) * ratio, QSizeF(event->rect().size()) * ratio)
                .toAlignedRect() &
            desk_.rect();
        g.drawImage(QRectF(dirty), desk_, QRectF(dirty));
        if (!frame->image.isNull()) {
            g.drawImage(frame->at, frame->image);
        }
        part = logical(*frame, ratio);
    } else if (!picture.isNull()) {
        g.setCompositionMode(QPainter::CompositionMode_Source);
        g.drawImage(0, 0, picture);
    } else {
        overDesk(g, w, at, index >= -1 ? frameTime(index, hz) : t, still);
    }
    // A paint that missed part of what changed leaves pieces of two frames on screen.
    if (index != shownIndex_) {
        const QRect changed = shownPart_ ? *shownPart_ | part : rect();
        const bool whole = (QRegion(changed) - event->region()).isEmpty();
        if (whole) {
            shownIndex_ = index;
            shownPart_ = part;
        } else {
            forgetShown();
        }
    }
}

void JumpPreview::showEvent(QShowEvent*) {
    if (!shown_) {
        shown_ = true;
        Frames::instance().add(this); // repaints only while the tile can be seen
    }
}

void JumpPreview::hideEvent(QHideEvent*) {
    if (shown_) {
        shown_ = false;
        Frames::instance().remove(this);
    }
    // Out of sight the frames only hold memory; the page shown again draws them anew.
    kept_.clear();
    keptFull_ = false;
    forgetShown();
    pending_.reset();
}

} // namespace helm
