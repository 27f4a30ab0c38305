#include "windows/ScreenMap.h"

#include "ui/Fonts.h"
#include "ui/Palette.h"
#include "windows/LineLabel.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace helm {

namespace {

QColor faded(QColor c, double opacity) {
    c.setAlphaF(static_cast<float>(c.alphaF() * opacity));
    return c;
}

// c at opacity a laid over the opaque ground: one fill in place of two.
QColor over(const QColor& ground, const QColor& c, double a) {
    return QColor::fromRgbF(static_cast<float>(ground.redF() * (1 - a) + c.redF() * a),
                            static_cast<float>(ground.greenF() * (1 - a) + c.greenF() * a),
                            static_cast<float>(ground.blueF() * (1 - a) + c.blueF() * a));
}

// One line of text centred in width w around x, cut at the right with an ellipsis.
void centredLine(QPainter& p, const QString& text, double x, double top, double w) {
    QFontMetricsF m(p.font());
    QString shown = m.elidedText(text, Qt::ElideRight, w);
    p.drawText(QPointF(x + (w - m.horizontalAdvance(shown)) / 2, top + m.ascent()), shown);
}

} // namespace

void ScreenMap::paintEvent(QPaintEvent*) {
    std::optional<MapGeometry::Fit> f = mapping();
    if (!f) {
        return;
    }
    const double w = width();
    const double h = height();
    const Layout& layout = model_.layout;
    QPainter p(this);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);

    // The faint grid changes only when the mapping does; most repaints (each gaze update) reuse
    // it. Its lines are drawn opaque and laid down at 60 %: lines blended one by one take the
    // rasteriser's slow path, many times the cost of the rest of the map.
    const qreal dpr = devicePixelRatioF();
    if (grid_.size() != size() * dpr || !(gridFit_ == *f)) {
        if (grid_.size() != size() * dpr) {
            grid_ = QImage(size() * dpr, QImage::Format_ARGB32_Premultiplied);
            grid_.setDevicePixelRatio(dpr);
        }
        grid_.fill(Qt::transparent);
        gridFit_ = *f;
        QPainter g(&grid_);
        g.setRenderHint(QPainter::Antialiasing);
        g.setPen(QPen(gLine, 1));
        for (double x : MapGeometry::verticalLines(*f, w)) {
            g.drawLine(QPointF(x, 0), QPointF(x, h));
        }
        for (const MapGeometry::Level& l : MapGeometry::horizontalLines(*f, h)) {
            if (!l.eyeLevel) {
                g.drawLine(QPointF(0, l.y), QPointF(w, l.y));
            }
        }
    }
    p.setOpacity(0.6);
    p.drawImage(QPointF(0, 0), grid_);
    p.setOpacity(1);
    for (const MapGeometry::Level& l : MapGeometry::horizontalLines(*f, h)) {
        if (l.eyeLevel) {
            p.setPen(QPen(gLine, 1.5));
            p.drawLine(QPointF(0, l.y), QPointF(w, l.y));
        }
    }

    const QFont& nameFont = nameFont_;
    const QFont& warnFont = warnFont_;
    const QFontMetricsF nameMetrics(nameFont);
    const QFontMetricsF warnMetrics(warnFont);
    for (const Screen& s : layout.screens) {
        const QColor c = computerColor(s, layout);
        const bool aimed = target_ && s.id == *target_;
        const bool looking = model_.looking && s.id == *model_.looking;
        const bool emphasised = looking || (editable_ && model_.selected == s.id);
        const MapGeometry::Box b = MapGeometry::box(*f, layout.rightSign, s);
        const QRectF r(b.x, b.y, b.w, b.h);
        if (!r.intersects(QRectF(-100, -100, w + 200, h + 200))) {
            continue; // far outside a frozen map
        }
        QPainterPath shape;
        shape.addRoundedRect(r, 8, 8);
        p.fillPath(shape, over(gPanel, c, aimed || looking ? 0.22 : 0.08));
        if (aimed) {
            p.strokePath(shape, QPen(gWarn, 2));
        } else if (emphasised) {
            p.strokePath(shape, QPen(c, 2));
        } else {
            p.strokePath(shape, QPen(faded(c, 0.55), 1));
        }

        p.save();
        p.setClipRect(r.toAlignedRect()); // a whole-pixel clip needs no mask
        // Whole pixels: every other size would build and fill a glyph cache of its own, and the
        // size follows the scale, which moves with the gaze.
        const QFont numberFont =
            uiFont(static_cast<int>(std::lround(MapGeometry::numberSize(b.h))), QFont::Bold);
        const double numberH = QFontMetricsF(numberFont).height();
        const bool named = MapGeometry::showsComputerName(b.h);
        const double nameH = named ? nameMetrics.height() : 0;
        const double stackH = named ? numberH + 2 + nameH : numberH;
        double top = b.y + (b.h - stackH) / 2;
        p.setFont(numberFont);
        p.setPen(c);
        centredLine(p, QString::number(s.number), b.x, top, b.w);
        if (named) {
            p.setFont(nameFont);
            p.setPen(gMuted);
            centredLine(p, QString::fromStdString(s.computerName), b.x, top + numberH + 2, b.w);
        }
        if (!s.learned) {
            p.setFont(warnFont);
            p.setPen(gWarn);
            p.drawText(
                QPointF(b.x + 5, b.y + 5 + warnMetrics.ascent()),
                warnMetrics.elidedText(QStringLiteral("Not calibrated"), Qt::ElideRight, b.w - 10));
        }
        p.restore();

        if (editable_) {
            const MapGeometry::Box hb = MapGeometry::handle(b);
            const QPointF centre(hb.x + hb.w / 2, hb.y + hb.h / 2);
            p.setPen(Qt::NoPen);
            p.setBrush(gLine);
            p.drawEllipse(centre, hb.w / 2, hb.h / 2);
            p.fillPath(arrow_.translated(centre), gInk);
        }
    }

    if (model_.angle) {
        const MapGeometry::Point g =
            MapGeometry::point(*f, layout.rightSign, model_.angle->yaw, model_.angle->pitch);
        p.setPen(Qt::NoPen);
        p.setBrush(faded(gLive, 0.25));
        p.drawEllipse(QPointF(g.x, g.y), 15, 15);
        p.setBrush(gLive);
        p.drawEllipse(QPointF(g.x, g.y), 6, 6);
    }
}

} // namespace helm
