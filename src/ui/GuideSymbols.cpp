#include "ui/GuideSymbols.h"

#include "ui/SymbolShapes.h"

#include <cmath>
#include <numbers>

namespace helm::Symbols {

namespace {

QPainterPath speaker() {
    QPainterPath p;
    p.moveTo(-0.46, -0.12);
    p.lineTo(-0.3, -0.12);
    p.lineTo(-0.08, -0.34);
    p.lineTo(-0.08, 0.34);
    p.lineTo(-0.3, 0.12);
    p.lineTo(-0.46, 0.12);
    p.closeSubpath();
    return p;
}

QPainterPath arc(double r, double from, double span) {
    QPainterPath p;
    p.arcMoveTo(QRectF(-r, -r, 2 * r, 2 * r), from);
    p.arcTo(QRectF(-r, -r, 2 * r, 2 * r), from, span);
    return p;
}

} // namespace

QPainterPath guideShapes(std::string_view name, double line) {
    QPainterPath p;
    if (name == "clock") {
        p.moveTo(0, -0.26);
        p.lineTo(0, 0);
        p.lineTo(0.18, 0.1);
        return stroke(disc(0.44), line).united(stroke(p, line));
    }
    if (name == "wifi") {
        QPainterPath out;
        for (double r : {0.18, 0.34, 0.5}) {
            out = out.united(stroke(QTransform().translate(0, 0.3).map(arc(r, 45, 90)), line));
        }
        out.addPath(big(disc(0.07, {0, 0.3})));
        return out;
    }
    if (name == "arrow.down.circle") {
        p.moveTo(0, -0.24);
        p.lineTo(0, 0.22);
        p.moveTo(-0.16, 0.06);
        p.lineTo(0, 0.22);
        p.lineTo(0.16, 0.06);
        return stroke(disc(0.44), line).united(stroke(p, line));
    }
    if (name == "lock.shield") {
        p.moveTo(0, -0.46);
        p.cubicTo(0.16, -0.36, 0.3, -0.34, 0.4, -0.34);
        p.cubicTo(0.4, 0.1, 0.26, 0.34, 0, 0.48);
        p.cubicTo(-0.26, 0.34, -0.4, 0.1, -0.4, -0.34);
        p.cubicTo(-0.3, -0.34, -0.16, -0.36, 0, -0.46);
        QPainterPath lock;
        lock.addRoundedRect(QRectF(-0.14, -0.02, 0.28, 0.22), 0.03, 0.03);
        QPainterPath shackle;
        shackle.moveTo(-0.08, -0.02);
        shackle.lineTo(-0.08, -0.1);
        shackle.arcTo(QRectF(-0.08, -0.2, 0.16, 0.18), 180, -180);
        shackle.lineTo(0.08, -0.02);
        return stroke(p, line).united(big(lock)).united(stroke(shackle, line * 0.8));
    }
    if (name == "speaker.wave.2") {
        QPainterPath out = big(speaker());
        for (double r : {0.2, 0.36}) {
            out = out.united(stroke(QTransform().translate(-0.04, 0).map(arc(r, -40, 80)), line));
        }
        return out;
    }
    if (name == "speaker.slash") {
        QPainterPath slash;
        slash.moveTo(-0.44, -0.44);
        slash.lineTo(0.44, 0.44);
        // The speaker stands in the middle, so that the slash cuts it into two whole pieces.
        QPainterPath middle = QTransform().scale(1.4, 1.4).translate(0.27, 0).map(speaker());
        return big(middle).subtracted(stroke(slash, line * 2.2)).united(stroke(slash, line));
    }
    if (name == "rectangle") {
        return stroke(box(-0.46, -0.3, 0.92, 0.6, 0.08), line);
    }
    if (name == "rectangle.portrait") {
        return stroke(box(-0.3, -0.46, 0.6, 0.92, 0.08), line);
    }
    if (name == "cursorarrow.rays") {
        p.moveTo(-0.1, -0.1);
        p.lineTo(0.34, 0.06);
        p.lineTo(0.14, 0.14);
        p.lineTo(0.06, 0.34);
        p.closeSubpath();
        QPainterPath rays;
        for (int i = 0; i < 5; ++i) {
            const double a = std::numbers::pi * (0.75 + i * 0.25);
            rays.moveTo(-0.1 + 0.14 * std::cos(a), -0.1 + 0.14 * std::sin(a));
            rays.lineTo(-0.1 + 0.3 * std::cos(a), -0.1 + 0.3 * std::sin(a));
        }
        return big(p).united(stroke(p, line * 0.6)).united(stroke(rays, line));
    }
    if (name == "eye") {
        p.moveTo(-0.48, 0);
        p.quadTo(0, -0.42, 0.48, 0);
        p.quadTo(0, 0.42, -0.48, 0);
        QPainterPath out = stroke(p, line);
        out.addPath(big(disc(0.13)));
        return out;
    }
    if (name == "scope") {
        for (double s : {-1.0, 1.0}) {
            p.moveTo(s * 0.5, 0);
            p.lineTo(s * 0.22, 0);
            p.moveTo(0, s * 0.5);
            p.lineTo(0, s * 0.22);
        }
        QPainterPath out = stroke(disc(0.36), line).united(stroke(p, line));
        out.addPath(big(disc(0.07)));
        return out;
    }
    return p;
}

} // namespace helm::Symbols
