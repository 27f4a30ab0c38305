#include "windows/ScreenMap.h"

#include "ui/Symbols.h"
#include "windows/LineLabel.h"

#include <QLineF>
#include <QMouseEvent>

namespace helm {

namespace {

QString itemName(const Screen& s, bool handle) {
    if (handle) {
        return QStringLiteral("Resize screen %1").arg(s.number);
    }
    return QStringLiteral("Screen %1, %2, %3")
        .arg(s.number)
        .arg(QString::fromStdString(s.computerName), QString::fromStdString(s.name));
}

} // namespace

ScreenMap::ScreenMap(DeskModel& model, bool editable, std::optional<std::string> target,
                     QWidget* parent)
    : QWidget(parent), model_(model), editable_(editable), target_(std::move(target)),
      nameFont_(uiFont(11, QFont::Medium)), warnFont_(uiFont(10, QFont::DemiBold)),
      arrow_(Symbols::path("arrow.up.left.and.arrow.down.right", 10, true)) {
    token_ = model_.observers.add([this] { follow(); });
}

ScreenMap::~ScreenMap() {
    model_.observers.remove(token_);
    if (frozen_ && model_.onDragging) {
        model_.onDragging(false);
    }
}

std::optional<MapGeometry::Fit> ScreenMap::mapping() const {
    if (frozen_) {
        return frozen_;
    }
    return MapGeometry::fit(model_.layout, model_.angle, width(), height());
}

std::vector<MapGeometry::Box> ScreenMap::boxes(const MapGeometry::Fit& f) const {
    std::vector<MapGeometry::Box> out;
    for (const Screen& s : model_.layout.screens) {
        out.push_back(MapGeometry::box(f, model_.layout.rightSign, s));
    }
    return out;
}

void ScreenMap::follow() {
    placeAccessibleItems();
    update();
}

void ScreenMap::resizeEvent(QResizeEvent*) {
    placeAccessibleItems();
}

void ScreenMap::showEvent(QShowEvent*) {
    placeAccessibleItems();
}

void ScreenMap::hideEvent(QHideEvent*) {
    // A window hidden mid-drag never delivers the release.
    endGesture();
}

void ScreenMap::endGesture() {
    press_.reset();
    if (frozen_) {
        frozen_.reset();
        if (model_.onDragging) {
            model_.onDragging(false);
        }
        dragStart_.reset();
        placeAccessibleItems();
        update();
    }
}

void ScreenMap::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) {
        return;
    }
    endGesture();
    std::optional<MapGeometry::Fit> f = mapping();
    if (!f) {
        return;
    }
    std::optional<MapGeometry::Hit> hit =
        MapGeometry::hit(boxes(*f), editable_, e->position().x(), e->position().y());
    if (hit) {
        press_ = Press{e->globalPosition(), *hit,
                       model_.layout.screens[static_cast<size_t>(hit->index)]};
    }
}

void ScreenMap::mouseMoveEvent(QMouseEvent* e) {
    if (!press_) {
        return;
    }
    if (!(e->buttons() & Qt::LeftButton)) {
        endGesture(); // the release went elsewhere
        return;
    }
    if (!editable_) {
        return;
    }
    const double least = press_->hit.handle ? 1 : 2;
    if (!frozen_ && QLineF(press_->global, e->globalPosition()).length() < least) {
        return;
    }
    drag(*press_, e->globalPosition());
}

void ScreenMap::drag(const Press& press, QPointF global) {
    const std::string& id = press.screen.id;
    if (!frozen_) {
        frozen_ = mapping();
        if (!frozen_) {
            return;
        }
        if (model_.onDragging) {
            model_.onDragging(true);
        }
        // The drag edits the first screen with the id, so it starts from that one.
        dragStart_ = model_.layout.screen(id).value_or(press.screen);
    }
    const double dx = global.x() - press.global.x();
    const double dy = global.y() - press.global.y();
    const double sign = model_.layout.rightSign;
    Screen to = press.hit.handle ? MapGeometry::resized(*dragStart_, sign, dx, dy, frozen_->scale)
                                 : MapGeometry::moved(*dragStart_, sign, dx, dy, frozen_->scale);
    model_.selected = id;
    model_.editScreen(id, [&](Screen& s) {
        s.yaw = to.yaw;
        s.pitch = to.pitch;
        s.width = to.width;
        s.height = to.height;
    });
}

void ScreenMap::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !press_) {
        return;
    }
    const bool tap = !frozen_ && QLineF(press_->global, e->globalPosition()).length() <
                                     (press_->hit.handle ? 1 : 2);
    std::string id = press_->screen.id;
    endGesture();
    if (tap) {
        model_.selected = id;
        model_.changed();
    }
}

void ScreenMap::placeAccessibleItems() {
    std::optional<MapGeometry::Fit> f = mapping();
    const std::vector<Screen>& screens = model_.layout.screens;
    const size_t wanted = f ? screens.size() * (editable_ ? 2 : 1) : 0;
    while (items_.size() > wanted) {
        delete items_.back();
        items_.pop_back();
    }
    while (items_.size() < wanted) {
        auto* item = new QWidget(this);
        item->setAttribute(Qt::WA_TransparentForMouseEvents);
        item->show();
        items_.push_back(item);
    }
    size_t k = 0;
    for (const Screen& s : screens) {
        if (!f) {
            break;
        }
        MapGeometry::Box b = MapGeometry::box(*f, model_.layout.rightSign, s);
        for (bool handle : {false, true}) {
            if (handle && !editable_) {
                continue;
            }
            MapGeometry::Box r = handle ? MapGeometry::handle(b) : b;
            QWidget* item = items_[k++];
            QString name = itemName(s, handle);
            if (item->accessibleName() != name) {
                item->setAccessibleName(name);
            }
            // Kept to the map, so far-off boxes never overflow a widget's integer geometry.
            QRectF rect =
                QRectF(r.x, r.y, r.w, r.h).intersected(QRectF(-1, -1, width() + 2, height() + 2));
            item->setGeometry(rect.isValid() ? rect.toAlignedRect() : QRect());
        }
    }
}

} // namespace helm
