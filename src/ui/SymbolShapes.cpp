#include "ui/SymbolShapes.h"

#include "ui/GuideSymbols.h"

#include <QPainterPathStroker>

namespace helm::Symbols {

QPainterPath big(const QPainterPath& p) {
    return QTransform::fromScale(em, em).map(p);
}

QPainterPath stroke(const QPainterPath& p, double width) {
    QPainterPathStroker s;
    s.setWidth(width * em);
    s.setCapStyle(Qt::RoundCap);
    s.setJoinStyle(Qt::RoundJoin);
    return s.createStroke(big(p)).simplified();
}

QPainterPath box(double x, double y, double w, double h, double r) {
    QPainterPath p;
    p.addRoundedRect(QRectF(x, y, w, h), r, r);
    return p;
}

QPainterPath disc(double r, QPointF c) {
    QPainterPath p;
    p.addEllipse(c, r, r);
    return p;
}

namespace {

QPainterPath eye(double line, double scale) {
    QPainterPath lid;
    lid.moveTo(-0.48 * scale, 0);
    lid.quadTo(0, -0.42 * scale, 0.48 * scale, 0);
    lid.quadTo(0, 0.42 * scale, -0.48 * scale, 0);
    QPainterPath out = stroke(lid, line);
    out.addPath(big(disc(0.12 * scale)));
    return out;
}

} // namespace

QPainterPath moreShapes(std::string_view name, double line) {
    QPainterPath p;
    if (name == "circle") {
        return stroke(disc(0.42), line);
    }
    if (name == "circle.fill") {
        return big(disc(0.42));
    }
    if (name == "plus") {
        p.moveTo(-0.35, 0);
        p.lineTo(0.35, 0);
        p.moveTo(0, -0.35);
        p.lineTo(0, 0.35);
        return stroke(p, line * 1.3);
    }
    if (name == "arrow.left.arrow.right") {
        p.moveTo(-0.42, -0.16);
        p.lineTo(0.42, -0.16);
        p.lineTo(0.24, -0.34);
        p.moveTo(0.42, 0.16);
        p.lineTo(-0.42, 0.16);
        p.lineTo(-0.24, 0.34);
        return stroke(p, line);
    }
    if (name == "eye.circle") {
        return stroke(disc(0.47), line).united(eye(line, 0.62));
    }
    if (name == "cursorarrow.motionlines") {
        QPainterPath arrow;
        arrow.moveTo(-0.05, -0.42);
        arrow.lineTo(0.42, 0.06);
        arrow.lineTo(0.17, 0.1);
        arrow.lineTo(0.3, 0.38);
        arrow.lineTo(0.2, 0.43);
        arrow.lineTo(0.07, 0.15);
        arrow.lineTo(-0.05, 0.3);
        arrow.closeSubpath();
        p.moveTo(-0.45, -0.2);
        p.lineTo(-0.22, -0.2);
        p.moveTo(-0.45, 0.02);
        p.lineTo(-0.18, 0.02);
        p.moveTo(-0.45, 0.24);
        p.lineTo(-0.22, 0.24);
        return stroke(arrow, line).united(stroke(p, line));
    }
    if (name == "doc.on.clipboard") {
        p = stroke(box(-0.36, -0.4, 0.6, 0.82, 0.08), line);
        p = p.united(stroke(box(-0.16, -0.48, 0.2, 0.14, 0.04), line));
        QPainterPath lines;
        for (double y : {-0.12, 0.04, 0.2}) {
            lines.moveTo(-0.22, y);
            lines.lineTo(0.1, y);
        }
        return p.united(stroke(lines, line * 0.8));
    }
    if (name == "desktopcomputer" || name == "pc") {
        p = stroke(box(-0.48, -0.38, 0.96, 0.62, 0.06), line);
        QPainterPath stand;
        stand.moveTo(0, 0.24);
        stand.lineTo(0, 0.4);
        stand.moveTo(-0.2, 0.42);
        stand.lineTo(0.2, 0.42);
        return p.united(stroke(stand, line));
    }
    if (name == "laptopcomputer") {
        p = stroke(box(-0.36, -0.34, 0.72, 0.5, 0.05), line);
        QPainterPath base;
        base.moveTo(-0.5, 0.3);
        base.lineTo(0.5, 0.3);
        return p.united(stroke(base, line * 1.2));
    }
    if (name == "square.stack.3d.up") {
        QPainterPath top;
        top.moveTo(0, -0.46);
        top.lineTo(0.44, -0.22);
        top.lineTo(0, 0.02);
        top.lineTo(-0.44, -0.22);
        top.closeSubpath();
        p.moveTo(-0.44, 0.0);
        p.lineTo(0, 0.24);
        p.lineTo(0.44, 0.0);
        p.moveTo(-0.44, 0.2);
        p.lineTo(0, 0.44);
        p.lineTo(0.44, 0.2);
        return stroke(top, line).united(stroke(p, line));
    }
    if (name == "trash") {
        p.moveTo(-0.38, -0.3);
        p.lineTo(0.38, -0.3);
        p.moveTo(-0.12, -0.42);
        p.lineTo(0.12, -0.42);
        p.addRoundedRect(QRectF(-0.28, -0.3, 0.56, 0.74), 0.06, 0.06);
        return stroke(p, line);
    }
    return guideShapes(name, line);
}

} // namespace helm::Symbols
