#include "windows/stage/StageCamera.h"

#include <cmath>
#include <numbers>

namespace helm {

StageCamera::StageCamera(const V3& eye, const V3& target) : eye_(eye), target_(target) {
    forward_ = (target - eye).unit();
    // Looking straight up or down, world y cannot say where up is on the picture.
    V3 hint = std::abs(forward_.cross(V3::up).length()) < 1e-9 ? V3{0, 0, -1} : V3::up;
    right_ = forward_.cross(hint).unit();
    up_ = right_.cross(forward_);
}

V3 StageCamera::toView(const V3& world) const {
    V3 d = world - eye_;
    return {d.dot(right_), d.dot(up_), d.dot(forward_)};
}

double StageCamera::focal(double height) {
    return height / 2 / std::tan(fovY / 2 * std::numbers::pi / 180);
}

QPointF StageCamera::project(const V3& view, const QSizeF& size) {
    double f = focal(size.height());
    return {size.width() / 2 + f * view.x / view.z, size.height() / 2 - f * view.y / view.z};
}

namespace {

// One Sutherland-Hodgman pass keeping the side where sign × (z - limit) >= 0.
std::vector<V3> clipAt(const std::vector<V3>& in, double limit, double sign) {
    std::vector<V3> out;
    out.reserve(in.size() + 2);
    for (size_t i = 0; i < in.size(); ++i) {
        const V3& a = in[i];
        const V3& b = in[(i + 1) % in.size()];
        double da = sign * (a.z - limit);
        double db = sign * (b.z - limit);
        if (da >= 0) {
            out.push_back(a);
        }
        if ((da >= 0) != (db >= 0)) {
            double t = da / (da - db);
            out.push_back(a + (b - a) * t);
        }
    }
    return out;
}

} // namespace

std::vector<V3> StageCamera::clip(const std::vector<V3>& view) {
    for (const V3& p : view) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
            return {};
        }
    }
    std::vector<V3> near = clipAt(view, zNear, 1);
    return near.empty() ? near : clipAt(near, zFar, -1);
}

QTransform StageCamera::planeTransform(const V3& o, const V3& u, const V3& v,
                                       const QSizeF& size) const {
    // View-space columns of the plane's map, then the projection K = [f 0 w/2; 0 -f h/2; 0 0 1].
    V3 cu{u.dot(right_), u.dot(up_), u.dot(forward_)};
    V3 cv{v.dot(right_), v.dot(up_), v.dot(forward_)};
    V3 co = toView(o);
    double f = focal(size.height());
    double cx = size.width() / 2, cy = size.height() / 2;
    auto row = [&](const V3& c) { return V3{f * c.x + cx * c.z, -f * c.y + cy * c.z, c.z}; };
    V3 a = row(cu), b = row(cv), t = row(co);
    // QTransform maps row vectors: x' = m11 a + m21 b + m31, y' = m12 a + m22 b + m32, w = ...
    return QTransform(a.x, a.y, a.z, b.x, b.y, b.z, t.x, t.y, t.z);
}

} // namespace helm
