#pragma once

#include "desk/V3.h"

#include <QPointF>
#include <QSizeF>
#include <QTransform>

#include <vector>

namespace helm {

// A perspective camera looking from `eye` at `target` with world y up, as the desk stage draws
// through it. View space: x to the right of the picture, y up, z the depth in front of the eye.
class StageCamera {
public:
    // The stage's own view of the desk, from above and behind the chair.
    StageCamera() : StageCamera({0, 60, 150}, {0, 5, -15}) {}
    StageCamera(const V3& eye, const V3& target);

    static constexpr double fovY = 50; // degrees, vertical
    static constexpr double zNear = 1;
    static constexpr double zFar = 1000;

    const V3& eye() const { return eye_; }
    const V3& target() const { return target_; }

    V3 toView(const V3& world) const;
    // Pixels per unit at depth 1 for a picture `height` pixels high.
    static double focal(double height);
    // A view-space point in front of the eye onto a picture of the given size (y down).
    static QPointF project(const V3& view, const QSizeF& size);
    // The polygon's part between the near and the far plane, view space in and out.
    static std::vector<V3> clip(const std::vector<V3>& view);
    // The picture transform of the plane o + a·u + b·v, mapping its (a, b) to pixels. Only
    // meaningful where the plane lies in front of the eye.
    QTransform planeTransform(const V3& o, const V3& u, const V3& v, const QSizeF& size) const;

private:
    V3 eye_, target_;
    V3 right_, up_, forward_;
};

} // namespace helm
