#include "ui/StatusSymbols.h"

#include "ui/SymbolShapes.h"
#include "ui/Symbols.h"

#include <cmath>
#include <numbers>

namespace helm::StatusSymbols {

namespace {

using Symbols::big;
using Symbols::disc;
using Symbols::em;

constexpr double line = 0.09; // stroke width in em

QPainterPath stroked(const QPainterPath& p, double width = line) {
    return Symbols::stroke(p, width);
}

QPainterPath circle(double r) {
    return big(disc(r));
}

QPainterPath bars(double h) {
    QPainterPath p;
    p.addRoundedRect(QRectF(-0.2, -h / 2, 0.13, h), 0.03, 0.03);
    p.addRoundedRect(QRectF(0.07, -h / 2, 0.13, h), 0.03, 0.03);
    return big(p);
}

// On the em grid, for stroking or big().
QPainterPath almond() {
    QPainterPath p;
    p.moveTo(-0.48, 0);
    p.quadTo(0, -0.5, 0.48, 0);
    p.quadTo(0, 0.5, -0.48, 0);
    p.closeSubpath();
    return p;
}

QPainterPath lock() {
    QPainterPath body;
    body.addRoundedRect(QRectF(-0.34, -0.06, 0.68, 0.54), 0.08, 0.08);
    QPainterPath shackle;
    shackle.moveTo(-0.2, -0.06);
    shackle.lineTo(-0.2, -0.2);
    shackle.arcTo(QRectF(-0.2, -0.44, 0.4, 0.48), 180, -180);
    shackle.lineTo(0.2, -0.06);
    return big(body).united(stroked(shackle, 0.1));
}

QPainterPath gear() {
    QPainterPath teeth;
    for (int i = 0; i < 8; ++i) {
        double a = i * std::numbers::pi / 4;
        QPainterPath tooth;
        tooth.addRoundedRect(QRectF(-0.08, -0.48, 0.16, 0.2), 0.03, 0.03);
        teeth.addPath(QTransform().rotateRadians(a).map(tooth));
    }
    return circle(0.36).united(big(teeth).simplified()).subtracted(circle(0.14));
}

QPainterPath turnBack() {
    QPainterPath arc;
    arc.arcMoveTo(QRectF(-0.36, -0.36, 0.72, 0.72), 110);
    arc.arcTo(QRectF(-0.36, -0.36, 0.72, 0.72), 110, 290);
    QPainterPath head;
    double a = 110 * std::numbers::pi / 180;
    QPointF tip(0.36 * std::cos(a), -0.36 * std::sin(a));
    head.moveTo(tip + QPointF(0.16, -0.1));
    head.lineTo(tip);
    head.lineTo(tip + QPointF(0.12, 0.16));
    return stroked(arc).united(stroked(head));
}

} // namespace

QPainterPath path(std::string_view name, double size) {
    // The warning sign and the scope are the same icons as the windows'.
    if (name == "exclamationmark.triangle.fill" || name == "scope") {
        return Symbols::path(name, size);
    }
    QPainterPath out;
    if (name == "lock.fill") {
        out = lock();
    } else if (name == "eye") {
        out = stroked(almond()).united(circle(0.14));
    } else if (name == "eye.fill") {
        out = big(almond()).subtracted(circle(0.19)).united(circle(0.11));
    } else if (name == "pause.circle") {
        out = stroked(disc(0.44)).united(bars(0.4));
    } else if (name == "pause.circle.fill") {
        out = circle(0.48).subtracted(bars(0.4));
    } else if (name == "pause.fill") {
        out = QTransform::fromScale(1.5, 1).map(bars(0.8));
    } else if (name == "play.fill") {
        QPainterPath t;
        t.moveTo(-0.3, -0.42);
        t.lineTo(0.42, 0);
        t.lineTo(-0.3, 0.42);
        t.closeSubpath();
        out = big(t);
    } else if (name == "gearshape") {
        out = gear();
    } else if (name == "arrow.counterclockwise") {
        out = turnBack();
    }
    return QTransform::fromScale(size / em, size / em).map(out);
}

} // namespace helm::StatusSymbols
