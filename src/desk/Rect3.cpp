#include "desk/Rect3.h"

#include "desk/Layout.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace helm {

namespace {

constexpr double kDefaultDistance = 60; // cm, when the rays alone cannot tell
constexpr double kMinDistance = 30;
constexpr double kMaxDistance = 200;
constexpr double kMinHalfW = 5;
constexpr double kMinHalfH = 4;

// Distance from the eyes to the dots, from the angle the two opposite dots span and the
// monitor's physical size.
double viewingDistance(const std::vector<V3>& corners, std::optional<Extent> size) {
    if (!size) {
        return kDefaultDistance;
    }
    V3 a = corners.front().unit();
    V3 b = corners[std::min<std::size_t>(corners.size(), 3) - 1].unit();
    double chord = (a - b).length();
    if (!(chord > 0.01)) {
        return kDefaultDistance;
    }
    // The dots sit 7 % of the shorter side in from the edges.
    double inset = 0.07 * std::min(size->w, size->h);
    double span = std::hypot(size->w - 2 * inset, size->h - 2 * inset);
    double d = span / chord;
    if (!std::isfinite(d)) {
        return kDefaultDistance;
    }
    return d < kMinDistance ? kMinDistance : std::min(d, kMaxDistance);
}

// v limited to [-half, half]; unlike std::clamp, defined for a negative half read from a
// damaged record.
double clampTo(double v, double half) {
    return std::max(-half, std::min(v, half));
}

} // namespace

Rect3 Rect3::fit(const V3& from, const std::vector<V3>& corners, std::optional<Extent> size,
                 Extent grow) {
    if (corners.empty()) {
        // Nothing was measured: a smallest screen straight ahead rather than a centre of NaNs.
        return fit(from, {V3{0, 0, -1}}, std::nullopt, grow);
    }
    double dist = viewingDistance(corners, size);

    std::vector<V3> points;
    points.reserve(corners.size());
    V3 sum;
    for (const V3& ray : corners) {
        points.push_back(from + ray.unit() * dist);
        sum = sum + points.back();
    }
    V3 c = sum * (1.0 / static_cast<double>(points.size()));

    V3 f = V3{c.x - from.x, 0, c.z - from.z}.unit();
    V3 u = V3{-f.z, 0, f.x}.unit();

    double spreadW = 0;
    double spreadH = 0;
    for (const V3& p : points) {
        spreadW = std::max(spreadW, std::fabs(u.dot(p - c)));
        spreadH = std::max(spreadH, std::fabs(p.y - c.y));
    }
    double halfW = std::max(grow.w * spreadW, kMinHalfW);
    double halfH = grow.h * spreadH;
    if (halfH < kMinHalfH) {
        halfH = kMinHalfH;
    }
    return {c, u, halfW, halfH};
}

Rect3 Rect3::guess(const Screen& screen, const Layout& layout) {
    constexpr double radius = 60;
    constexpr double rad = std::numbers::pi / 180;
    V3 s = layout.seat.value_or(V3::seat);
    Angle bias = layout.bias.value_or(Angle{});
    double r = layout.rightSign;

    // Angles are measured from the direction in which the seat sees the camera.
    V3 t = (V3{} - s).unit();
    double baseYaw = std::atan2(t.x, -t.z);
    double basePitch = std::asin(std::clamp(t.y, -1.0, 1.0));

    double yaw = (screen.yaw - bias.yaw) * r * rad + baseYaw;
    double pitch = (screen.pitch - bias.pitch) * rad + basePitch;
    V3 f{std::sin(yaw) * std::cos(pitch), std::sin(pitch), -std::cos(yaw) * std::cos(pitch)};

    V3 c = s + f * radius;
    V3 h = V3{f.x, 0, f.z}.unit();
    V3 u = V3{-h.z, 0, h.x}.unit();
    return {c, u, std::tan(screen.width / 2 * rad) * radius,
            std::tan(screen.height / 2 * rad) * radius};
}

double Rect3::miss(const V3& o, const V3& d) const {
    V3 n{-u.z, 0, u.x};
    double w = d.dot(n);
    if (std::fabs(w) > 1e-6) {
        double t = (c - o).dot(n) / w;
        if (t > 0) {
            V3 p = o + d * t;
            if (std::fabs(u.dot(p - c)) <= halfW && std::fabs(p.y - c.y) <= halfH) {
                return 0;
            }
        }
    }
    // Parallel to the screen, screen behind, or outside: measure against the screen's point
    // nearest to where the ray passes the centre (at least one unit along the ray).
    double s = std::max(d.dot(c - o), 1.0);
    V3 q = o + d * s;
    double a = clampTo(u.dot(q - c), halfW);
    double b = clampTo(q.y - c.y, halfH);
    V3 nearest = c + u * a + V3{0, b, 0};
    return degreesBetween(nearest - o, d);
}

double Rect3::centre(const V3& o, const V3& d) const {
    return degreesBetween(c - o, d);
}

json::Json Rect3::toJson() const {
    return {{"c", c.toJson()},
            {"u", u.toJson()},
            {"halfW", json::finite(halfW, "halfW")},
            {"halfH", json::finite(halfH, "halfH")}};
}

Rect3 Rect3::fromJson(const json::Json& j) {
    return {V3::fromJson(json::field(j, "c")), V3::fromJson(json::field(j, "u")),
            json::getDouble(j, "halfW"), json::getDouble(j, "halfH")};
}

} // namespace helm
