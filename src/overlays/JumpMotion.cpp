#include "overlays/JumpMotion.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace helm::Jumps {

namespace {

constexpr double pi = std::numbers::pi;

// Weighted rather than a + (b - a)·e, so that e = 1 lands exactly on b.
Point lerp(Point a, Point b, double e) {
    return {a.x * (1 - e) + b.x * e, a.y * (1 - e) + b.y * e};
}

Point plus(Point a, Point v, double k) {
    return {a.x + v.x * k, a.y + v.y * k};
}

} // namespace

double ease(std::string_view name, double x) {
    if (name == "linear") {
        return x;
    }
    if (name == "in") {
        return x * x * x;
    }
    if (name == "inout") {
        return x < 0.5 ? 4 * x * x * x : 1 - std::pow(2 - 2 * x, 3) / 2;
    }
    if (name == "spring") {
        return 1 - std::exp(-7 * x) * std::cos(11 * x);
    }
    return 1 - std::pow(1 - x, 3);
}

double ease(const std::optional<std::string>& name, double x) {
    return ease(name ? std::string_view(*name) : std::string_view("out"), x);
}

double bounceOut(double x) {
    constexpr double k = 7.5625;
    if (x < 1 / 2.75) {
        return k * x * x;
    }
    if (x < 2 / 2.75) {
        x -= 1.5 / 2.75;
        return k * x * x + 0.75;
    }
    if (x < 2.5 / 2.75) {
        x -= 2.25 / 2.75;
        return k * x * x + 0.9375;
    }
    x -= 2.625 / 2.75;
    return k * x * x + 0.984375;
}

Point dirVector(std::string_view dir) {
    if (dir == "R") {
        return {1, 0};
    }
    if (dir == "U") {
        return {0, -1};
    }
    if (dir == "D") {
        return {0, 1};
    }
    return {-1, 0};
}

std::string direction(const Screen* from, const Screen& to, double rightSign) {
    if (from == nullptr || from->id == to.id) {
        return "-";
    }
    double dx = rightSign * (from->yaw - to.yaw);
    double dy = from->pitch - to.pitch;
    if (std::fabs(dy) <= std::fabs(dx)) {
        return dx < 0 ? "L" : "R";
    }
    return dy > 0 ? "U" : "D";
}

Point origin(const JumpRecipe::Motion& motion, Point to, std::string_view dir, const Rect& area,
             double scale) {
    Point v = dirVector(dir);
    double d = scale * motion.dist.value_or(220);
    double inset = 20 * scale;
    Point s = plus(to, v, d);
    // Raise to the minimum, then lower to the maximum: an area too small for the inset ends on
    // its maximum, where std::clamp would be undefined.
    s.x = std::min(std::max(s.x, area.x + inset), area.x + area.w - inset);
    s.y = std::min(std::max(s.y, area.y + inset), area.y + area.h - inset);
    return s;
}

Point position(const JumpRecipe::Motion& motion, double p, Point to, std::string_view dir,
               const Rect& area, double scale) {
    p = std::isnan(p) ? 0 : std::min(std::max(p, 0.0), 1.0);
    Point v = dirVector(dir);
    double d = scale * motion.dist.value_or(220);
    double lift = scale * motion.lift.value_or(40);
    Point s = origin(motion, to, dir, area, scale);
    const Point& t = to;
    const std::string& path = motion.path;

    if (path == "glide") {
        double e = ease("inout", p);
        Point q = lerp(s, t, e);
        // sin(π(1 − e)) is sin(πe), and exactly 0 at the end, so the path ends on T.
        return {q.x, q.y - lift * std::sin(pi * (1 - e))};
    }
    if (path == "slingshot") {
        Point b = plus(s, v, 40 * scale);
        if (p < 0.2) {
            return lerp(s, b, ease("out", p / 0.2));
        }
        return lerp(b, t, ease("spring", (p - 0.2) / 0.8));
    }
    if (path == "spiral") {
        double e = ease("out", p);
        double a = std::atan2(s.y - t.y, s.x - t.x) + 2.5 * pi * e;
        double r = d * (1 - e);
        return {t.x + r * std::cos(a), t.y + r * std::sin(a)};
    }
    if (path == "bounce") {
        return {t.x, t.y - d * (1 - bounceOut(p))};
    }
    if (path == "wiggle") {
        if (p < 0.35) {
            return lerp(s, t, ease("out", p / 0.35));
        }
        double k = (p - 0.35) / 0.65;
        double w = (1 - k) * std::sin(6 * pi * k) * 14 * scale;
        return {t.x - w * v.y, t.y + w * v.x};
    }
    if (path == "swoop") {
        double e = ease("inout", p);
        Point p1{s.x, s.y - 2.5 * lift};
        Point p2{t.x + v.x * 0.2 * d, t.y + v.y * 0.2 * d + lift};
        double u = 1 - e;
        double b0 = u * u * u, b1 = 3 * u * u * e, b2 = 3 * u * e * e, b3 = e * e * e;
        return {b0 * s.x + b1 * p1.x + b2 * p2.x + b3 * t.x,
                b0 * s.y + b1 * p1.y + b2 * p2.y + b3 * t.y};
    }
    if (path == "portal") {
        if (p < 0.35) {
            return lerp(plus(s, v, 30 * scale), s, ease("in", p / 0.35));
        }
        if (p < 0.75) {
            return lerp(plus(t, v, 36 * scale), t, ease("out", (p - 0.35) / 0.4));
        }
        return t;
    }
    return t;
}

} // namespace helm::Jumps
