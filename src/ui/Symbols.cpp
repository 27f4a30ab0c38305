#include "ui/Symbols.h"

#include "ui/SymbolShapes.h"

namespace helm::Symbols {

namespace {

QPainterPath camera(double line, bool filled) {
    QPainterPath body = box(-0.5, -0.3, 0.66, 0.6, 0.12);
    QPainterPath lens;
    lens.moveTo(0.22, -0.08);
    lens.lineTo(0.5, -0.27);
    lens.lineTo(0.5, 0.27);
    lens.lineTo(0.22, 0.08);
    lens.closeSubpath();
    if (filled) {
        return big(body).united(big(lens));
    }
    return stroke(body, line).united(stroke(lens, line));
}

// A filled triangle with rounded corners and the "!" cut out of it.
QPainterPath warning() {
    QPainterPath t;
    t.moveTo(0, -0.44);
    t.lineTo(0.48, 0.4);
    t.lineTo(-0.48, 0.4);
    t.closeSubpath();
    QPainterPath mark;
    mark.addRoundedRect(QRectF(-0.045, -0.17, 0.09, 0.33), 0.04, 0.04);
    mark.addEllipse(QPointF(0, 0.26), 0.055, 0.055);
    return big(t).united(stroke(t, 0.08)).subtracted(big(mark));
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
        QPainterPath keys;
        for (int row = 0; row < 2; ++row) {
            for (int col = 0; col < 5; ++col) {
                keys.addRect(QRectF(-0.37 + col * 0.16, -0.18 + row * 0.14, 0.09, 0.08));
            }
        }
        keys.addRect(QRectF(-0.22, 0.12, 0.44, 0.07));
        out.addPath(big(keys));
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
        out.addPath(big(disc(line * 0.8, {0, 0.38})));
    } else if (name == "exclamationmark.triangle.fill") {
        out = warning();
    } else if (name == "checkmark.circle.fill") {
        QPainterPath tick;
        tick.moveTo(-0.22, 0.0);
        tick.lineTo(-0.06, 0.17);
        tick.lineTo(0.23, -0.18);
        out = big(disc(0.5)).subtracted(stroke(tick, 0.11));
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
    return QTransform::fromScale(size / em, size / em).map(out);
}

} // namespace helm::Symbols
