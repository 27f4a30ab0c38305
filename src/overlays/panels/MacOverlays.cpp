#include "overlays/panels/MacOverlays.h"

#include "overlays/draw/JumpView.h"
#include "overlays/draw/TargetShape.h"
#include "overlays/draw/TargetView.h"
#include "platform/DesktopWindows.h"
#include "platform/DisplaySource.h"
#include "platform/qt/QtScreenScale.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <string>

namespace helm {

MacOverlays::MacOverlays() = default;
MacOverlays::~MacOverlays() = default;

std::string MacOverlays::text(const Mode& mode) {
    switch (mode.kind) {
    case Mode::Kind::corner:
        return std::string("corner(") + rawValue(mode.corner) + ")";
    case Mode::Kind::camera:
        return "camera";
    case Mode::Kind::number:
        return "number";
    case Mode::Kind::dark:
        break;
    }
    return "dark";
}

QPoint MacOverlays::start() const {
    if (origin) {
        return origin();
    }
    QScreen* primary = QGuiApplication::primaryScreen();
    return primary != nullptr ? primary->geometry().topLeft() : QPoint();
}

QRect MacOverlays::place(const DisplayInfo& d, double* ratio) const {
    const ScreenScale s = scale ? scale() : qtScreenScale();
    const QPoint o = start();
    const ScreenScale::Point corner{o.x() + d.x, o.y() + d.y};
    const ScreenScale::Point at = s.toLogical(corner);
    const double r = s.ratioAt(corner);
    if (ratio != nullptr) {
        *ratio = r;
    }
    return QRect(int(std::lround(at.x)), int(std::lround(at.y)), int(std::lround(d.w / r)),
                 int(std::lround(d.h / r)));
}

void MacOverlays::show(int display, int number, const std::string& name, const Mode& mode) {
    progress.setValue(0);
    if (simulation) {
        if (log) {
            log("target (test mode, not shown): screen " + std::to_string(number) + " " +
                text(mode));
        }
        return;
    }
    if (display < 0 || displays == nullptr) {
        return;
    }
    const std::vector<DisplayInfo> list = displays->displays();
    if (static_cast<std::size_t>(display) >= list.size()) {
        return;
    }
    const DisplayInfo& d = list[static_cast<std::size_t>(display)];
    std::unique_ptr<OverlayPanel>& panel = panels_[display];
    if (!panel) {
        panel = std::make_unique<OverlayPanel>(OverlayPanel::Level::overAll);
    }
    panel->setGeometry(place(d, nullptr));
    panel->setContent(new TargetView(number, name, mode, progress, reduceMotion));
    // Without a compositing manager the dimming shows solid black: the window is cut to what
    // it draws instead, and the desktop stays in view around it.
    if (windows == nullptr || windows->compositing()) {
        panel->clearMask();
    } else {
        if (!toldNoDimming_ && log) {
            log("screens not dimmed: dimming needs a compositing manager");
        }
        toldNoDimming_ = true;
        const QRegion shape = TargetShape::drawn(panel->size(), number, name, mode, panel.get());
        if (shape.isEmpty()) {
            panel->hide(); // a dark screen draws nothing else
            targets_[display] = Target{number, name, mode, false};
            return;
        }
        panel->setMask(shape);
    }
    panel->front();
    targets_[display] = Target{number, name, mode, true};
}

void MacOverlays::hide(int display) {
    if (auto it = panels_.find(display); it != panels_.end()) {
        it->second->hide();
        targets_[display].visible = false;
    }
}

void MacOverlays::hideAll() {
    for (auto& [display, panel] : panels_) {
        panel->hide();
        targets_[display].visible = false;
    }
}

void MacOverlays::arrival(QPointF at, const JumpRecipe& recipe, const std::string& dir, int number,
                          const std::string& name) {
    if (simulation || displays == nullptr) {
        return;
    }
    // Without a compositing manager the panel's clear background shows black: the effect
    // would black out the whole screen.
    if (windows != nullptr && !windows->compositing()) {
        if (!toldNoCompositor_ && log) {
            log("jump effect skipped: no compositing manager");
        }
        toldNoCompositor_ = true;
        return;
    }
    const std::vector<DisplayInfo> list = displays->displays();
    const DisplayInfo* screen = nullptr;
    for (const DisplayInfo& d : list) {
        // Left and top edges in, right and bottom out: a point on a shared edge belongs to
        // one display only.
        if (at.x() >= d.x && at.x() < d.x + d.w && at.y() >= d.y && at.y() < d.y + d.h) {
            screen = &d;
            break;
        }
    }
    if (screen == nullptr) {
        return;
    }
    if (!landing_) {
        landing_ = std::make_unique<OverlayPanel>(OverlayPanel::Level::overAll);
        landingHide_ = new QTimer(landing_.get());
        landingHide_->setSingleShot(true);
        landingHide_->setTimerType(Qt::PreciseTimer);
        OverlayPanel* panel = landing_.get();
        QObject::connect(landingHide_, &QTimer::timeout, panel, [panel] { panel->hide(); });
    }
    double ratio = 1;
    landing_->setGeometry(place(*screen, &ratio));
    JumpDrawer drawer;
    drawer.recipe = recipe;
    // The effect is drawn in the panel's logical pixels.
    drawer.to = QPointF((at.x() - screen->x) / ratio, (at.y() - screen->y) / ratio);
    drawer.area = QRectF(0, 0, screen->w / ratio, screen->h / ratio);
    drawer.dir = dir;
    drawer.number = number;
    drawer.name = name;
    drawer.still = reduceMotion && reduceMotion();
    landing_->setContent(new JumpView(std::move(drawer)));
    landing_->front();
    // One pending order-out, restarted by each arrival: an earlier effect's end never cuts a
    // later one short.
    const double dur = std::isfinite(recipe.dur) && recipe.dur > 0 ? std::min(recipe.dur, 60.0) : 0;
    landingHide_->start(static_cast<int>(std::lround((dur + 0.1) * 1000)));
}

} // namespace helm
