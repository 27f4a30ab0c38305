#include "windows/stage/Stage.h"

#include "gaze/Head.h"
#include "ui/Fonts.h"
#include "ui/Palette.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace helm {

namespace {

bool finite(const V3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// A rectangle that cannot be placed (from a damaged layout) would put NaN into every face and
// text transform; such a screen simply gets no slab.
bool placeable(const Rect3& r) {
    return finite(r.c) && finite(r.u) && std::isfinite(r.halfW) && std::isfinite(r.halfH) &&
           r.halfW > 0 && r.halfH > 0;
}

// Glyph outlines at size 10, made at 100 px and scaled down so hinting plays no part; flattened
// at 100 px, so curves stay smooth when the text is seen up close.
Stage::Glyphs glyphs(const std::string& text, QFont::Weight weight) {
    QFont f(Fonts::family());
    f.setPixelSize(100);
    f.setWeight(weight);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::NoFontMerging);
    QPainterPath path;
    path.addText(0, 0, f, QString::fromStdString(text));
    QRectF box = path.boundingRect();
    Stage::Glyphs g;
    g.box = QRectF(0, 0, box.width() * 0.1, box.height() * 0.1);
    for (QPolygonF poly : path.toSubpathPolygons()) {
        for (QPointF& q : poly) {
            q = (q - box.topLeft()) * 0.1;
        }
        g.outline.push_back(std::move(poly));
    }
    return g;
}

QColor withAlpha(QColor c, double a) {
    c.setAlphaF(float(a));
    return c;
}

} // namespace

Stage::Stage() = default;

double Stage::turnFor(const V3& u) {
    return -std::atan2(u.z, u.x);
}

double Stage::numberScale(double halfH) {
    return std::min(1.1 * halfH, 14.0) / 10;
}

void Stage::rebuild(const Layout& layout) {
    ++rebuilds_;
    // A list, not a map by id: a layout naming one id twice still gets every slab replaced.
    slabs_.clear();
    for (const Screen& screen : layout.screens) {
        Rect3 r = screen.rect ? *screen.rect : Rect3::guess(screen, layout);
        if (!placeable(r)) {
            continue;
        }
        Slab s;
        s.screen = screen;
        s.c = r.c;
        s.turn = turnFor(r.u);
        s.halfW = r.halfW;
        s.halfH = r.halfH;
        s.opacity = screen.learned ? 1.0 : 0.55;
        s.number = glyphs(std::to_string(screen.number), QFont::Bold);
        s.name = glyphs(screen.computerName, QFont::Medium);
        s.numberScale = numberScale(r.halfH);
        slabs_.push_back(std::move(s));
    }
}

void Stage::update(const DeskModel& model, const std::optional<std::string>& target) {
    const Layout& layout = model.layout;
    if (!built_ || *built_ != layout) {
        built_ = layout;
        rebuild(layout);
    }
    for (Slab& s : slabs_) {
        QColor c = computerColor(s.screen, layout);
        bool looking = model.looking == s.screen.id;
        bool aimed = target == s.screen.id;
        s.diffuse = withAlpha(c, looking || aimed ? 0.55 : 0.18);
        s.emission = looking ? withAlpha(gLive, 0.5)
                     : aimed ? withAlpha(c, 0.35)
                             : QColor(Qt::black);
    }

    head_ = model.head ? *model.head : layout.seat ? *layout.seat : V3::seat;
    gaze_.reset();
    if (model.angle) {
        V3 d = Head::direction(head_, *model.angle, layout.bias.value_or(Angle{0, 0}),
                               layout.rightSign);
        // A head at the camera's own position has no direction to point along.
        if (finite(d) && finite(head_)) {
            gaze_ = d;
        }
    }

    keyboard_.reset();
    if (layout.keyboard) {
        const V3& k = *layout.keyboard;
        keyboard_ = V3{k.x, std::max(k.y, -27.0), k.z};
        keyboardColor_ =
            model.atKeyboard ? withAlpha(gLive, 0.7) : QColor::fromRgbF(0.45f, 0.45f, 0.45f);
    }
}

QImage Stage::gridImage() {
    static const QImage image = [] {
        QImage img(880, 480, QImage::Format_RGB32);
        img.fill(QColor::fromRgbF(0.05f, 0.06f, 0.075f));
        QPainter p(&img);
        auto white = [](double a) { return QColor::fromRgbF(1, 1, 1, float(a)); };
        for (int x = 0; x <= 880; x += 40) {
            p.fillRect(QRectF(x, 0, 1, 480), white(0.05 + 0.07 * (1 - std::abs(x - 440) / 440.0)));
        }
        // Rows count from the bottom: the line at y sits on image row 479 - y.
        for (int y = 0; y <= 480; y += 40) {
            p.fillRect(QRectF(0, 480 - y - 1, 880, 1),
                       white(0.05 + 0.07 * (1 - std::abs(y - 240) / 240.0)));
        }
        return img;
    }();
    return image;
}

QImage Stage::snapshot(const QSize& size) const {
    QImage img(size, QImage::Format_RGB32);
    img.fill(gGround);
    QPainter p(&img);
    paint(p, QSizeF(size), eye_);
    return img;
}

} // namespace helm
