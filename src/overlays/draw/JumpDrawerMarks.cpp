// The portals and the label under the target.
#include "overlays/draw/JumpDrawer.h"

#include "overlays/JumpMotion.h"
#include "overlays/draw/Paint.h"
#include "ui/Fonts.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QRadialGradient>

#include <cmath>

namespace helm {

using paint::usable;
using paint::withAlpha;

void JumpDrawer::portals(QPainter& g, const JumpRecipe::Layer& l, const Common& k) const {
    std::vector<std::string> list =
        l.colors && !l.colors->empty() ? *l.colors : std::vector<std::string>{"#2A7FFF", "#FF8A00"};
    double s = scale;
    JumpRecipe::Motion way{"portal", l.dist.value_or(220), std::nullopt};
    Jumps::Rect box{area.x(), area.y(), area.width(), area.height()};
    Jumps::Point exit = Jumps::origin(way, {to.x(), to.y()}, dir, box, s);
    Jumps::Point v = Jumps::dirVector(dir);
    const std::pair<QPointF, QColor> doors[] = {
        {{exit.x, exit.y}, color(list.front())},
        {{to.x() + v.x * 36 * s, to.y() + v.y * 36 * s},
         color(list[std::min<std::size_t>(list.size(), 2) - 1])},
    };
    double env = std::min(k.q / 0.15, 1.0) * std::min((1 - k.q) / 0.2, 1.0);
    double h = 44 * s * env;
    double w = 16 * s;
    if (!usable({exit.x, exit.y, h, w}) || !(h > 0.5)) {
        return;
    }
    for (const auto& [c, col] : doors) {
        QRadialGradient halo(c, std::max(w, h));
        halo.setColorAt(0, withAlpha(col, 0.45));
        halo.setColorAt(1, withAlpha(col, 0));
        QPainterPath outer;
        outer.addEllipse(QRectF(c.x() - 1.5 * w, c.y() - h, 3 * w, 2 * h));
        g.fillPath(outer, halo);
        QPainterPath inner;
        inner.addEllipse(QRectF(c.x() - w / 2, c.y() - h / 2, w, h));
        g.fillPath(inner, withAlpha(Qt::black, 0.6));
        g.strokePath(inner, paint::pen(col, 3 * s));
    }
}

QString JumpDrawer::tagText(const JumpRecipe::Layer& l) const {
    const std::string what = l.text.value_or("both");
    std::string text = what == "number" ? std::to_string(number)
                       : what == "name" ? name
                                        : std::to_string(number) + " \u00B7 " + name;
    return QString::fromStdString(text);
}

std::optional<QRectF> JumpDrawer::tagBox(const JumpRecipe::Layer& l, const Common& k,
                                         const QPaintDevice* device) const {
    double env = std::min(4 * k.q, 1.0) * std::min((1 - k.q) / 0.35, 1.0);
    double s = scale;
    double dy = l.dy.value_or(28) * s;
    if (!usable({dy, 13 * s}) || 13 * s > 4096 || !(env > 0)) {
        return std::nullopt;
    }
    QFont font = Fonts::font(13 * s, QFont::DemiBold, device);
    // Measured wrapped inside 400 × 40, as the label's box allows, not at its natural width.
    QRectF size = (device != nullptr ? QFontMetricsF(font, device) : QFontMetricsF(font))
                      .boundingRect(QRectF(0, 0, 400, 40), Qt::TextWordWrap, tagText(l));
    return QRectF(to.x() - size.width() / 2 - 10 * s, to.y() + dy, size.width() + 20 * s,
                  size.height() + 8 * s);
}

void JumpDrawer::tag(QPainter& g, const JumpRecipe::Layer& l, const Common& k) const {
    std::optional<QRectF> at = tagBox(l, k, g.device());
    if (!at) {
        return;
    }
    const QRectF box = *at;
    double env = std::min(4 * k.q, 1.0) * std::min((1 - k.q) / 0.35, 1.0);
    QFont font = Fonts::font(13 * scale, QFont::DemiBold, g.device());
    QString label = tagText(l);
    double radius = box.height() / 2;
    QPainterPath pill;
    pill.addRoundedRect(box, radius, radius);
    g.fillPath(pill, withAlpha(Qt::black, 0.7 * env));
    g.strokePath(pill, paint::pen(withAlpha(k.c, env), 1));
    g.setOpacity(g.opacity() * env);
    g.setFont(font);
    g.setPen(Qt::white);
    g.drawText(box, Qt::AlignCenter | Qt::TextWordWrap, label);
}

} // namespace helm
