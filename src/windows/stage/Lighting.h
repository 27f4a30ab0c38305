#pragma once

#include "desk/V3.h"

#include <QColor>

#include <vector>

namespace helm {

// The desk stage's lights and how a surface reflects them: diffuse only, no highlights, colours
// mixed in their sRGB values like the rest of the program's drawing.
struct Lighting {
    struct Rgb {
        double r = 0, g = 0, b = 0;
    };
    struct Directional {
        V3 dir; // unit, the way the light shines
        Rgb colour;
    };

    Rgb ambient;
    std::vector<Directional> lights;

    // The stage's three lights: a cool ambient, a white key light from the upper right and a
    // weak green fill from behind the desk.
    static const Lighting& stage();

    // The way a light turned by Euler angles (x, y) shines: R = Ry(y)·Rx(x) applied to -z.
    static V3 direction(double x, double y);

    // The colour of a surface with unit normal n: diffuse × (ambient + Σ max(0, n·l) × light)
    // + emission × its alpha, with alpha = diffuse alpha × opacity.
    QColor shade(const QColor& diffuse, const V3& n, const QColor& emission = Qt::transparent,
                 double opacity = 1) const;
};

} // namespace helm
