#include "ui/Symbols.h"

#include "ui/SymbolShapes.h"

namespace helm::Symbols {

namespace {

// Icons are drawn on a grid of one em (-0.5 to 0.5), then scaled to the size.
QPainterPath camera(double line, bool filled) {
    QPainterPath body = box(-0.5, -0.3, 0.66, 0.6, 0.12);
    QPainterPath lens;
    lens.moveTo(0.22, -0.08);
    lens.lineTo(0.5, -0.27);
    lens.lineTo(0.5, 0.27);
    lens.lineTo(0.22, 0.08);
    lens.closeSubpath();
    if (filled) {
        return body.united(lens);
    }
    return stroke(body, line).united(stroke(lens, line));
}

} // namespace

QPainterPath path(std::string_view name, double size, bool heavy) {
    const double line = heavy ? 0.17 : 0.09;
    QPainterPath out;
    if (name == "checkmark") {
        QPainterPath tick;
        tick.moveTo(-0.36, 0.02);
        tick.lineTo(-0.1, 0.3);
        tick.lineTo(0.38, -0.32);
        out = stroke(tick, line);
    } else if (name == "video.fill") {
        out = camera(line, true);
    } else if (name == "video.slash") {
        QPainterPath slash;
        slash.moveTo(-0.48, -0.46);
        slash.lineTo(0.48, 0.46);
        // A gap either side of the slash keeps it readable at small sizes.
        QPainterPath gap = stroke(slash, line * 3);
        out = camera(line, false).subtracted(gap).united(stroke(slash, line));
    } else if (name == "keyboard") {
        out = stroke(box(-0.5, -0.3, 1.0, 0.6, 0.1), line);
        for (int row = 0; row < 2; ++row) {
            for (int col = 0; col < 5; ++col) {
                out.addRect(QRectF(-0.37 + col * 0.16, -0.18 + row * 0.14, 0.09, 0.08));
            }
        }
        out.addRect(QRectF(-0.22, 0.12, 0.44, 0.07));
    } else if (name == "computermouse") {
        out = stroke(box(-0.27, -0.45, 0.54, 0.9, 0.27), line);
        QPainterPath split;
        split.moveTo(0, -0.42);
        split.lineTo(0, -0.16);
        out = out.united(stroke(split, line));
    } else if (name == "questionmark") {
        QPainterPath q;
        q.moveTo(-0.22, -0.2);
        q.cubicTo(-0.22, -0.5, 0.26, -0.5, 0.26, -0.2);
        q.cubicTo(0.26, 0.0, 0.0, 0.0, 0.0, 0.16);
        out = stroke(q, line);
        out.addEllipse(QPointF(0, 0.38), line * 0.8, line * 0.8);
    } else if (name == "exclamationmark.triangle.fill") {
        QPainterPath t;
        t.moveTo(0, -0.44);
        t.lineTo(0.5, 0.4);
        t.lineTo(-0.5, 0.4);
        t.closeSubpath();
        QPainterPath bar;
        bar.moveTo(0, -0.16);
        bar.lineTo(0, 0.1);
        QPainterPath mark = stroke(bar, 0.1);
        mark.addEllipse(QPointF(0, 0.26), 0.055, 0.055);
        out = stroke(t, 0.1).united(t).subtracted(mark);
    } else if (name == "checkmark.circle.fill") {
        QPainterPath disc;
        disc.addEllipse(QPointF(0, 0), 0.5, 0.5);
        QPainterPath tick;
        tick.moveTo(-0.22, 0.0);
        tick.lineTo(-0.06, 0.17);
        tick.lineTo(0.23, -0.18);
        out = disc.subtracted(stroke(tick, 0.11));
    } else if (name == "arrow.up.left.and.arrow.down.right") {
        QPainterPath a;
        a.moveTo(-0.38, -0.38);
        a.lineTo(0.38, 0.38);
        // The two heads, each an open corner at one end of the diagonal.
        a.moveTo(-0.38, -0.06);
        a.lineTo(-0.38, -0.38);
        a.lineTo(-0.06, -0.38);
        a.moveTo(0.38, 0.06);
        a.lineTo(0.38, 0.38);
        a.lineTo(0.06, 0.38);
        out = stroke(a, line);
    } else {
        out = moreShapes(name, line);
    }
    out.setFillRule(Qt::WindingFill);
    QTransform t = QTransform::fromScale(size, size);
    return t.map(out);
}

} // namespace helm::Symbols
