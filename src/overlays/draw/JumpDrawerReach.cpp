// How far an effect reaches, over its whole life and frame by frame. The window system copies
// and composites every repainted pixel of a full-screen see-through window, so the view
// repaints only where one frame can differ from the last.
#include "overlays/draw/JumpDrawer.h"

#include "overlays/JumpMotion.h"
#include "overlays/draw/Paint.h"

#include <cmath>
#include <unordered_set>

namespace helm {

using paint::usable;
using paint::withAlpha;

namespace {

QRectF around(QPointF c, double r) {
    return QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r);
}

// Layers drawn in their colour at the layer's opacity and nothing else: invisible at opacity 0.
// The ring fades each ring by its own progress, the trail's dots by a wave, and the dimming,
// the portals and the label by envelopes of their own.
bool fadesWithOpacity(const JumpRecipe::Layer& l) {
    static const std::unordered_set<std::string> types = {"glow",  "particles", "orbit",    "poly",
                                                          "radar", "cross",     "brackets", "beam",
                                                          "scan",  "spiral",    "trail"};
    return types.contains(l.type) && !(l.type == "trail" && l.style == "dots");
}

} // namespace

QRectF JumpDrawer::bound(const JumpRecipe::Layer& l) const {
    const double s = scale;
    // The larger of two ends, with room for easings that overshoot ("spring" by about 14 %).
    auto big = [](double a, double b) {
        return std::max(std::fabs(a), std::fabs(b)) + 0.2 * std::fabs(b - a);
    };
    const std::string& t = l.type;
    double w = std::max(l.width.value_or(2), 0.0) * s * 1.5 + 2;
    if (t == "ring") {
        return around(to, big(l.r0.value_or(4), l.r1.value_or(40)) * s + w);
    }
    if (t == "glow") {
        return around(to, big(l.r0.value_or(8), l.r1.value_or(36)) * s);
    }
    if (t == "particles") {
        return around(to, (big(l.d0.value_or(0), l.d1.value_or(26)) +
                           big(l.s0.value_or(3), l.s1.value_or(0))) *
                                  s +
                              w);
    }
    if (t == "orbit") {
        return around(to,
                      (big(l.r0.value_or(30), l.r1.value_or(0)) + std::fabs(l.s.value_or(3))) * s);
    }
    if (t == "poly") {
        return around(to, big(l.r0.value_or(40), l.r1.value_or(12)) * s + w);
    }
    if (t == "radar") {
        return around(to, std::fabs(l.r.value_or(30)) * s + w);
    }
    if (t == "cross" && l.len.value_or(0) != 0) {
        return around(to, std::fabs(*l.len) * s + w);
    }
    if (t == "brackets") {
        return around(to, (big(l.s0.value_or(34), l.s1.value_or(10)) * std::sqrt(2.0) +
                           std::fabs(l.len.value_or(7))) *
                                  s +
                              w);
    }
    if (t == "spiral") {
        return around(to, (std::fabs(l.r0.value_or(40)) * 1.2 + 2.2) * s);
    }
    if (t == "trail") {
        Jumps::Point v = Jumps::dirVector(dir);
        double d = l.dist.value_or(220) * s;
        QPointF b(to.x() + v.x * d, to.y() + v.y * d);
        double m = (std::fabs(l.lift.value_or(20)) + 2 * std::fabs(l.s.value_or(2))) * s + w;
        return around(b, m).united(around(to, m));
    }
    if (t == "portals") {
        JumpRecipe::Motion way{"portal", l.dist.value_or(220), std::nullopt};
        Jumps::Point e = Jumps::origin(way, {to.x(), to.y()}, dir,
                                       {area.x(), area.y(), area.width(), area.height()}, s);
        return around({e.x, e.y}, 48 * s).united(around(to, 84 * s));
    }
    return area; // the cross without a length, beam, dim, scan, tag and unknown types
}

QRectF JumpDrawer::pointerBound() const {
    const JumpRecipe::Pointer& p = *recipe.pointer;
    double dy = std::fabs(p.dy0.value_or(0)) * 1.2;
    double size = 20 * std::max(std::fabs(p.scale0.value_or(1)), 1.0) * 1.2;
    return around(to, (dy + size + 7 * (1 + dy / 26) + 12) * scale);
}

QRectF JumpDrawer::reach() const {
    if (!usable({to.x(), to.y(), scale}) || !std::isfinite(recipe.dur)) {
        return area;
    }
    QRectF out = around(to, 14 * scale); // the still dot
    for (const JumpRecipe::Layer& l : recipe.layers) {
        out = out.united(bound(l));
    }
    if (recipe.pointer) {
        out = out.united(pointerBound());
    }
    if (!usable({out.left(), out.right(), out.top(), out.bottom()})) {
        return area;
    }
    return out.adjusted(-2, -2, 2, 2).intersected(area);
}

std::optional<int> JumpDrawer::darkness(const JumpRecipe::Layer& l, double p) const {
    std::optional<Common> k = common(l, p);
    if (l.type != "dim" || !k) {
        return std::nullopt;
    }
    // The plain fill's colour as it reaches the pixels: eight bits of opacity.
    return qAlpha(withAlpha(Qt::black, (1 - k->q) * l.a.value_or(0.18)).rgba());
}

QRegion JumpDrawer::drawn(double p, bool steadyDim, const QPaintDevice* device) const {
    if (!(p >= 0 && p < 1) ||
        !usable({to.x(), to.y(), scale, area.x(), area.y(), area.width(), area.height()})) {
        return {};
    }
    const QRect whole = area.toAlignedRect();
    auto in = [&](const QRectF& r) {
        if (r.isEmpty()) {
            return QRegion();
        }
        if (!usable({r.left(), r.right(), r.top(), r.bottom()})) {
            return QRegion(whole);
        }
        return QRegion(r.adjusted(-2, -2, 2, 2).toAlignedRect().intersected(whole));
    };
    if (still) {
        bool lit = std::min(p * recipe.dur / 0.15, 1.0) < 1;
        return lit ? in(around(to, 14 * scale)) : QRegion();
    }
    QRegion out;
    for (const JumpRecipe::Layer& l : recipe.layers) {
        std::optional<Common> k = common(l, p);
        if (!k || (fadesWithOpacity(l) && !(k->alpha > 0))) {
            continue;
        }
        if (l.type == "scan") {
            // The band from the starting edge to the line, and the line.
            double x0 = dir == "R" ? area.right() : area.left();
            double x = x0 + k->e * (to.x() - x0);
            double left = std::min(x0, x - k->w / 2), right = std::max(x0, x + k->w / 2);
            out += in(QRectF(left, area.top(), right - left, area.height()));
        } else if (l.type == "tag") {
            if (std::optional<QRectF> box = tagBox(l, *k, device)) {
                out += in(box->adjusted(-2, -2, 2, 2)); // the outline and the glyphs' edges
            }
        } else if (l.type == "beam") {
            double w = std::fabs(
                (l.w0.value_or(18) + k->e * (l.w1.value_or(2) - l.w0.value_or(18))) * scale);
            out += in(QRectF(to.x() - w, area.top(), 2 * w, to.y() + 0.15 * w - area.top()));
        } else if (l.type == "cross" && l.len.value_or(0) == 0) {
            // A line across the area each way.
            out += in(QRectF(area.left(), to.y() - k->w, area.width(), 2 * k->w));
            out += in(QRectF(to.x() - k->w, area.top(), 2 * k->w, area.height()));
        } else if (l.type == "dim" && steadyDim) {
            // Unchanged darkness: only the soft hole round the target moves.
            double h = std::fabs(
                (l.h0.value_or(320) + k->e * (l.h1.value_or(70) - l.h0.value_or(320))) * scale);
            out += in(around(to, h).intersected(area));
        } else {
            out += in(bound(l));
        }
    }
    if (recipe.pointer) {
        out += in(pointerBound());
    }
    return out;
}

QRegion JumpDrawer::change(double a, double b, const QPaintDevice* device) const {
    if (std::isnan(a)) {
        return QRegion(area.toAlignedRect()); // what is on screen is not known
    }
    bool steady = true;
    for (const JumpRecipe::Layer& l : recipe.layers) {
        steady = steady && darkness(l, a) == darkness(l, b);
    }
    // Outside every layer that moves, both frames draw the same pixels.
    bool both = steady && !still && (a >= 0 && a < 1) && (b >= 0 && b < 1);
    return drawn(a, both, device) + drawn(b, both, device);
}

} // namespace helm
