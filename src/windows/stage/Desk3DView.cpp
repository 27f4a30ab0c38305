#include "windows/stage/Desk3DView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace helm {

namespace {

constexpr double toRad = std::numbers::pi / 180;
constexpr double degreesPerPixel = 0.5;

} // namespace

Desk3DView::Desk3DView(DeskModel& model, std::optional<std::string> target, QWidget* parent)
    : QWidget(parent), model_(model), target_(std::move(target)) {
    setAccessibleName(QStringLiteral("3D view of your desk: monitors, keyboard and your head"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    const StageCamera& eye = stage_.eye();
    V3 off = eye.eye() - eye.target();
    distance_ = off.length();
    elevation_ = std::asin(off.y / distance_) / toRad;
    azimuth_ = std::atan2(off.x, off.z) / toRad;
    token_ = model_.observers.add([this] { follow(); });
    stage_.update(model_, target_);
}

Desk3DView::~Desk3DView() {
    model_.observers.remove(token_);
}

void Desk3DView::follow() {
    stage_.update(model_, target_);
    update();
}

StageCamera Desk3DView::view() const {
    if (!moved_) {
        return stage_.eye();
    }
    const V3& at = stage_.eye().target();
    double a = azimuth_ * toRad, e = elevation_ * toRad;
    V3 off{std::sin(a) * std::cos(e), std::sin(e), std::cos(a) * std::cos(e)};
    return StageCamera(at + off * distance_, at);
}

void Desk3DView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    stage_.paint(p, QSizeF(size()), view());
}

void Desk3DView::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) {
        dragFrom_ = e->position();
    }
}

void Desk3DView::mouseMoveEvent(QMouseEvent* e) {
    if (!dragFrom_) {
        return;
    }
    QPointF d = e->position() - *dragFrom_;
    dragFrom_ = e->position();
    // Dragging right carries the desk to the right, so the eye goes round the other way.
    azimuth_ = std::fmod(azimuth_ - d.x() * degreesPerPixel, 360.0);
    // The eye stays above the floor and never reaches straight overhead, where up is lost.
    elevation_ = std::clamp(elevation_ + d.y() * degreesPerPixel, 0.0, 89.0);
    moved_ = true;
    update();
}

void Desk3DView::mouseReleaseEvent(QMouseEvent*) {
    dragFrom_.reset();
}

void Desk3DView::wheelEvent(QWheelEvent* e) {
    double notches = e->angleDelta().y() / 120.0;
    distance_ = std::clamp(distance_ * std::pow(0.9, notches), 40.0, 600.0);
    moved_ = true;
    update();
    e->accept();
}

} // namespace helm
