#include "windows/stage/Lighting.h"
#include "windows/stage/Stage.h"

#include "ui/Palette.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

namespace helm {

namespace {

struct Face {
    V3 n; // outward unit normal
    std::vector<V3> points;
};

// An upright box about `c` with horizontal axes ax (its width) and az (its depth); the face
// facing +az gets corners rounded by `radius`.
std::vector<Face> boxFaces(const V3& c, const V3& ax, const V3& az, double hx, double hy, double hz,
                           double radius) {
    const V3& ay = V3::up;
    auto at = [&](double x, double y, double z) { return c + ax * x + ay * y + az * z; };
    std::vector<Face> faces;
    std::vector<V3> front;
    double r = std::min({radius, hx, hy});
    if (r > 0) {
        // Four arcs, counter-clockwise from the top right corner.
        const double cx[4] = {hx - r, -hx + r, -hx + r, hx - r};
        const double cy[4] = {hy - r, hy - r, -hy + r, -hy + r};
        for (int k = 0; k < 4; ++k) {
            for (int i = 0; i <= 4; ++i) {
                double a = (k + i / 4.0) * std::numbers::pi / 2;
                front.push_back(at(cx[k] + r * std::cos(a), cy[k] + r * std::sin(a), hz));
            }
        }
    } else {
        front = {at(hx, hy, hz), at(-hx, hy, hz), at(-hx, -hy, hz), at(hx, -hy, hz)};
    }
    faces.push_back({az, front});
    faces.push_back(
        {az * -1, {at(hx, hy, -hz), at(hx, -hy, -hz), at(-hx, -hy, -hz), at(-hx, hy, -hz)}});
    faces.push_back({ax, {at(hx, hy, hz), at(hx, -hy, hz), at(hx, -hy, -hz), at(hx, hy, -hz)}});
    faces.push_back(
        {ax * -1, {at(-hx, hy, hz), at(-hx, hy, -hz), at(-hx, -hy, -hz), at(-hx, -hy, hz)}});
    faces.push_back({ay, {at(hx, hy, hz), at(hx, hy, -hz), at(-hx, hy, -hz), at(-hx, hy, hz)}});
    faces.push_back(
        {ay * -1, {at(hx, -hy, hz), at(-hx, -hy, hz), at(-hx, -hy, -hz), at(hx, -hy, -hz)}});
    return faces;
}

// What one paint needs: the painter, its size, the view and the lights.
class Painter {
public:
    Painter(QPainter& p, const QSizeF& size, const StageCamera& cam)
        : p_(p), size_(size), cam_(cam), light_(Lighting::stage()) {}

    bool facing(const V3& n, const V3& point) const { return n.dot(cam_.eye() - point) > 0; }
    double depth(const V3& world) const { return cam_.toView(world).z; }

    QPolygonF screen(const std::vector<V3>& world) const {
        std::vector<V3> view;
        view.reserve(world.size());
        for (const V3& w : world) {
            view.push_back(cam_.toView(w));
        }
        QPolygonF poly;
        for (const V3& v : StageCamera::clip(view)) {
            poly << StageCamera::project(v, size_);
        }
        return poly;
    }

    void fill(const QPolygonF& poly, const QBrush& brush) {
        if (poly.size() >= 3) {
            p_.setPen(Qt::NoPen);
            p_.setBrush(brush);
            p_.drawPolygon(poly);
        }
    }

    void box(const std::vector<Face>& faces, const QColor& diffuse, const QColor& emission,
             double opacity) {
        for (const Face& f : faces) {
            if (facing(f.n, f.points.front())) {
                fill(screen(f.points), light_.shade(diffuse, f.n, emission, opacity));
            }
        }
    }

    // Glyph outlines on the plane o + a·u + b·v; skipped unless wholly in front of the eye.
    void text(const Stage::Glyphs& g, const V3& o, const V3& u, const V3& v, const QColor& colour) {
        if (g.box.isEmpty()) {
            return;
        }
        const QRectF& box = g.box;
        for (QPointF q : {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()}) {
            if (!(depth(o + u * q.x() + v * q.y()) >= StageCamera::zNear)) {
                return;
            }
        }
        QTransform t = cam_.planeTransform(o, u, v, size_);
        QPainterPath path;
        path.setFillRule(Qt::WindingFill);
        for (const QPolygonF& poly : g.outline) {
            path.addPolygon(t.map(poly));
        }
        p_.fillPath(path, colour);
    }

    void ball(const V3& c, double r, const QColor& diffuse, const QColor& emission) {
        double z = depth(c);
        if (!(z - r >= StageCamera::zNear)) {
            return;
        }
        QPointF centre = StageCamera::project(cam_.toView(c), size_);
        double radius = StageCamera::focal(size_.height()) * r / z;
        // Brightest where the normal is halfway between the eye and the key light, darkest on
        // the far rim.
        V3 toEye = (cam_.eye() - c).unit();
        V3 toLight = light_.lights.front().dir * -1;
        V3 bright = (toEye + toLight).unit();
        V3 side = toLight - toEye * toEye.dot(toLight);
        V3 dark = side.length() > 1e-9 ? side.unit() * -1 : toEye;
        QPointF focal = StageCamera::project(cam_.toView(c + bright * r), size_);
        QRadialGradient g(centre, radius, focal);
        for (double t : {0.0, 0.35, 0.7, 1.0}) {
            V3 n = (bright * (1 - t) + dark * t).unit();
            g.setColorAt(t, light_.shade(diffuse, n, emission));
        }
        p_.setPen(Qt::NoPen);
        p_.setBrush(g);
        p_.drawEllipse(centre, radius, radius);
    }

    // One piece of the rod between a and b, as wide as the rod looks at each end.
    void rod(const V3& a, const V3& b, double r, const QColor& diffuse, const QColor& emission) {
        V3 va = cam_.toView(a), vb = cam_.toView(b);
        if (va.z < StageCamera::zNear && vb.z < StageCamera::zNear) {
            return;
        }
        auto toNear = [](V3 from, const V3& to) {
            double t = (StageCamera::zNear - from.z) / (to.z - from.z);
            return from + (to - from) * t;
        };
        if (va.z < StageCamera::zNear) {
            va = toNear(va, vb);
        } else if (vb.z < StageCamera::zNear) {
            vb = toNear(vb, va);
        }
        QPointF pa = StageCamera::project(va, size_), pb = StageCamera::project(vb, size_);
        QPointF d = pb - pa;
        double len = std::hypot(d.x(), d.y());
        double f = StageCamera::focal(size_.height());
        double wa = f * r / va.z, wb = f * r / vb.z;
        QPointF side = len > 1e-9 ? QPointF(-d.y() / len, d.x() / len) : QPointF(1, 0);
        V3 axis = (b - a).unit();
        V3 mid = (a + b) * 0.5;
        V3 out = cam_.eye() - mid;
        V3 n = (out - axis * axis.dot(out)).unit();
        QPolygonF quad;
        quad << pa + side * wa << pb + side * wb << pb - side * wb << pa - side * wa;
        fill(quad, light_.shade(diffuse, n, emission));
    }

    void floor() {
        // 220 × 120 lying at y = -28 around z = 5; the image's top edge is the far edge.
        std::vector<V3> corners = {
            {-110, -28, -55}, {110, -28, -55}, {110, -28, 65}, {-110, -28, 65}};
        QPolygonF poly = screen(corners);
        if (poly.size() < 3) {
            return;
        }
        QBrush brush(Stage::gridImage());
        brush.setTransform(cam_.planeTransform(corners[0], {0.25, 0, 0}, {0, 0, 0.25}, size_));
        fill(poly, brush);
    }

private:
    QPainter& p_;
    QSizeF size_;
    const StageCamera& cam_;
    const Lighting& light_;
};

struct Item {
    double depth;
    std::function<void(Painter&)> draw;
};

} // namespace

namespace {

double rodDepth(const V3& m, const std::vector<Stage::Slab>& slabs, const StageCamera& view) {
    // The rod passes through the slab looked at, where the two centres' depths say little about
    // which hides which: a slab the line of sight crosses decides.
    double d = view.toView(m).z;
    const V3& e = view.eye();
    for (const Stage::Slab& s : slabs) {
        V3 ax{std::cos(s.turn), 0, -std::sin(s.turn)};
        V3 az{std::sin(s.turn), 0, std::cos(s.turn)};
        double se = az.dot(e - s.c), sm = az.dot(m - s.c);
        if (se == sm) {
            continue;
        }
        double t = se / (se - sm); // along e → m, where the slab's plane is crossed
        V3 x = e + (m - e) * t - s.c;
        if (t <= 0 || std::abs(x.dot(ax)) > s.halfW || std::abs(x.y) > s.halfH) {
            continue;
        }
        double slab = view.toView(s.c).z;
        d = t < 1 ? std::max(d, slab + 1e-3) : std::min(d, slab - 1e-3);
    }
    return d;
}

} // namespace

void Stage::paint(QPainter& p, const QSizeF& size, const StageCamera& view) const {
    p.save();
    p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    p.fillRect(QRectF(QPointF(0, 0), size), gGround);
    Painter out(p, size, view);
    out.floor();

    // No depth buffer: whole pieces are drawn from the farthest to the nearest.
    std::vector<Item> items;
    const QColor white85 = QColor::fromRgbF(0.85f, 0.85f, 0.85f);
    for (const Slab& s : slabs_) {
        V3 ax{std::cos(s.turn), 0, -std::sin(s.turn)};
        V3 az{std::sin(s.turn), 0, std::cos(s.turn)};
        items.push_back(
            {out.depth(s.c), [&s, ax, az](Painter& o) {
                 o.box(boxFaces(s.c, ax, az, s.halfW, s.halfH, 0.6, 0.8), s.diffuse, s.emission,
                       s.opacity);
                 V3 front = s.c + az * 0.8;
                 if (!o.facing(az, front)) {
                     return;
                 }
                 // Path y runs down, the slab's y up: v = -y per path unit.
                 double k = s.numberScale;
                 const QRectF& nb = s.number.box;
                 V3 top = front + ax * (-nb.width() * k / 2) + V3::up * (nb.height() * k / 2);
                 QColor white = Lighting::stage().shade(Qt::white, az, Qt::transparent, s.opacity);
                 o.text(s.number, top, ax * k, V3::up * -k, white);
                 const QRectF& tb = s.name.box;
                 V3 nameTop = s.c + az * 0.8 + ax * (-tb.width() * 0.45 / 2) +
                              V3::up * (-7 - s.halfH + tb.height() * 0.45);
                 o.text(s.name, nameTop, ax * 0.45, V3::up * -0.45,
                        QColor::fromRgbF(0.7f, 0.7f, 0.7f, float(s.opacity)));
             }});
    }
    items.push_back({out.depth({0, 0, 0}), [white85](Painter& o) {
                         o.ball({0, 0, 0}, 1.2, white85, Qt::transparent);
                     }});
    items.push_back({out.depth(head_), [this, white85](Painter& o) {
                         o.ball(head_, 5, white85, QColor::fromRgbF(0.12f, 0.12f, 0.12f));
                     }});
    if (gaze_) {
        QColor rod = gLive;
        rod.setAlphaF(0.8f);
        for (int i = 0; i < 28; ++i) {
            V3 a = head_ + *gaze_ * (5.0 * i), b = head_ + *gaze_ * (5.0 * (i + 1));
            items.push_back({rodDepth((a + b) * 0.5, slabs_, view),
                             [a, b, rod](Painter& o) { o.rod(a, b, 0.5, rod, gLive); }});
        }
    }
    if (keyboard_) {
        items.push_back({out.depth(*keyboard_), [this](Painter& o) {
                             o.box(boxFaces(*keyboard_, {1, 0, 0}, {0, 0, 1}, 18, 0.75, 6.5, 0),
                                   keyboardColor_, Qt::transparent, 1);
                         }});
    }
    // A piece whose place is not a number has nowhere to be drawn, and would break the order.
    std::erase_if(items, [](const Item& i) { return !std::isfinite(i.depth); });
    std::stable_sort(items.begin(), items.end(),
                     [](const Item& a, const Item& b) { return a.depth > b.depth; });
    for (const Item& i : items) {
        i.draw(out);
    }
    p.restore();
}

} // namespace helm
