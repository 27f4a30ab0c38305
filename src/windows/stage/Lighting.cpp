#include "windows/stage/Lighting.h"

#include "ui/Palette.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace helm {

namespace {

// A light's intensity is given in lumen-like units of which 1000 is full strength.
Lighting::Rgb scaled(const QColor& c, double intensity) {
    double k = intensity / 1000;
    return {c.redF() * k, c.greenF() * k, c.blueF() * k};
}

} // namespace

V3 Lighting::direction(double x, double y) {
    // Rx(x)·(0, 0, -1) = (0, sin x, -cos x); then Ry(y).
    double sy = std::sin(y), cy = std::cos(y);
    double a = std::sin(x), b = -std::cos(x);
    return {sy * b, a, cy * b};
}

const Lighting& Lighting::stage() {
    static const Lighting l = [] {
        Lighting s;
        s.ambient = scaled(QColor::fromRgbF(0.75f, 0.82f, 0.95f), 380);
        s.lights.push_back({direction(-0.95, 0.35), scaled(Qt::white, 650)});
        s.lights.push_back({direction(-0.3, std::numbers::pi), scaled(gLive, 260)});
        return s;
    }();
    return l;
}

QColor Lighting::shade(const QColor& diffuse, const V3& n, const QColor& emission,
                       double opacity) const {
    Rgb in = ambient;
    for (const Directional& l : lights) {
        double k = std::max(0.0, -n.dot(l.dir));
        in.r += k * l.colour.r;
        in.g += k * l.colour.g;
        in.b += k * l.colour.b;
    }
    double e = emission.alphaF();
    auto mix = [](double d, double light, double em, double ea) {
        return std::clamp(d * light + em * ea, 0.0, 1.0);
    };
    double alpha = std::clamp(diffuse.alphaF() * opacity, 0.0, 1.0);
    return QColor::fromRgbF(float(mix(diffuse.redF(), in.r, emission.redF(), e)),
                            float(mix(diffuse.greenF(), in.g, emission.greenF(), e)),
                            float(mix(diffuse.blueF(), in.b, emission.blueF(), e)), float(alpha));
}

} // namespace helm
