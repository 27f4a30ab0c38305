// The portals, the label under the target, and how far an effect reaches.
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

void JumpDrawer::tag(QPainter& g, const JumpRecipe::Layer& l, const Common& k) const {
    const std::string what = l.text.value_or("both");
    std::string text = what == "number" ? std::to_string(number)
                       : what == "name" ? name
                                        : std::to_string(number) + " \u00B7 " + name;
    double env = std::min(4 * k.q, 1.0) * std::min((1 - k.q) / 0.35, 1.0);
    double s = scale;
    double dy = l.dy.value_or(28) * s;
    if (!usable({dy, 13 * s}) || 13 * s > 4096 || !(env > 0)) {
        return;
    }
    QFont font = Fonts::font(13 * s, QFont::DemiBold, g.device());
    QString label = QString::fromStdString(text);
    // Measured wrapped inside 400 × 40, as the label's box allows, not at its natural width.
    QRectF size = QFontMetricsF(font, g.device())
                      .boundingRect(QRectF(0, 0, 400, 40), Qt::TextWordWrap, label);
    QRectF box(to.x() - size.width() / 2 - 10 * s, to.y() + dy, size.width() + 20 * s,
               size.height() + 8 * s);
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

QRectF JumpDrawer::reach() const {
    const double s = scale;
    if (!usable({to.x(), to.y(), s}) || !std::isfinite(recipe.dur)) {
        return area;
    }
    // The larger of two ends, with room for easings that overshoot ("spring" by about 14 %).
    auto big = [](double a, double b) {
        return std::max(std::fabs(a), std::fabs(b)) + 0.2 * std::fabs(b - a);
    };
    auto around = [&](QPointF c, double r) { return QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r); };
    QRectF out = around(to, 14 * s); // the still dot
    for (const JumpRecipe::Layer& l : recipe.layers) {
        const std::string& t = l.type;
        double w = std::max(l.width.value_or(2), 0.0) * s * 1.5 + 2;
        QRectF r;
        if (t == "ring") {
            r = around(to, big(l.r0.value_or(4), l.r1.value_or(40)) * s + w);
        } else if (t == "glow") {
            r = around(to, big(l.r0.value_or(8), l.r1.value_or(36)) * s);
        } else if (t == "particles") {
            r = around(to, (big(l.d0.value_or(0), l.d1.value_or(26)) +
                            big(l.s0.value_or(3), l.s1.value_or(0))) *
                                   s +
                               w);
        } else if (t == "orbit") {
            r = around(to,
                       (big(l.r0.value_or(30), l.r1.value_or(0)) + std::fabs(l.s.value_or(3))) * s);
        } else if (t == "poly") {
            r = around(to, big(l.r0.value_or(40), l.r1.value_or(12)) * s + w);
        } else if (t == "radar") {
            r = around(to, std::fabs(l.r.value_or(30)) * s + w);
        } else if (t == "cross" && l.len.value_or(0) != 0) {
            r = around(to, std::fabs(*l.len) * s + w);
        } else if (t == "brackets") {
            r = around(to, (big(l.s0.value_or(34), l.s1.value_or(10)) * std::sqrt(2.0) +
                            std::fabs(l.len.value_or(7))) *
                                   s +
                               w);
        } else if (t == "spiral") {
            r = around(to, (std::fabs(l.r0.value_or(40)) * 1.2 + 2.2) * s);
        } else if (t == "trail") {
            Jumps::Point v = Jumps::dirVector(dir);
            double d = l.dist.value_or(220) * s;
            QPointF b(to.x() + v.x * d, to.y() + v.y * d);
            double m = (std::fabs(l.lift.value_or(20)) + 2 * std::fabs(l.s.value_or(2))) * s + w;
            r = around(b, m).united(around(to, m));
        } else if (t == "portals") {
            JumpRecipe::Motion way{"portal", l.dist.value_or(220), std::nullopt};
            Jumps::Point e = Jumps::origin(way, {to.x(), to.y()}, dir,
                                           {area.x(), area.y(), area.width(), area.height()}, s);
            r = around({e.x, e.y}, 48 * s).united(around(to, 84 * s));
        } else {
            return area; // the cross without a length, beam, dim, scan, tag and unknown types
        }
        out = out.united(r);
    }
    if (const auto& p = recipe.pointer) {
        double dy = std::fabs(p->dy0.value_or(0)) * 1.2;
        double size = 20 * std::max(std::fabs(p->scale0.value_or(1)), 1.0) * 1.2;
        out = out.united(around(to, (dy + size + 7 * (1 + dy / 26) + 12) * s));
    }
    if (!usable({out.left(), out.right(), out.top(), out.bottom()})) {
        return area;
    }
    return out.adjusted(-2, -2, 2, 2).intersected(area);
}

} // namespace helm
