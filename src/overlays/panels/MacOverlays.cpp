#include "overlays/panels/MacOverlays.h"

#include "overlays/draw/JumpView.h"
#include "overlays/draw/TargetView.h"
#include "platform/DesktopWindows.h"
#include "platform/DisplaySource.h"

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
    const QPoint o = start();
    panel->setGeometry(QRect(o.x() + int(std::lround(d.x)), o.y() + int(std::lround(d.y)),
                             int(std::lround(d.w)), int(std::lround(d.h))));
    panel->setContent(new TargetView(number, name, mode, progress, reduceMotion));
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
    const QPoint o = start();
    landing_->setGeometry(QRect(o.x() + int(std::lround(screen->x)),
                                o.y() + int(std::lround(screen->y)), int(std::lround(screen->w)),
                                int(std::lround(screen->h))));
    JumpDrawer drawer;
    drawer.recipe = recipe;
    drawer.to = QPointF(at.x() - screen->x, at.y() - screen->y);
    drawer.area = QRectF(0, 0, screen->w, screen->h);
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
