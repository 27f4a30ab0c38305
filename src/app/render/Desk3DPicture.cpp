#include "app/render/Desk3DPicture.h"

#include "desk/Rect3.h"
#include "ui/Palette.h"
#include "windows/stage/Stage.h"

#include <QPainter>

namespace helm {

namespace {

// Each output pixel the plain mean of its four samples: the same bytes on every machine,
// unlike a filtered scale whose rounding may change with the CPU's vector unit.
QImage halve(const QImage& big) {
    QImage out(big.width() / 2, big.height() / 2, QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y) {
        const QRgb* a = reinterpret_cast<const QRgb*>(big.constScanLine(2 * y));
        const QRgb* b = reinterpret_cast<const QRgb*>(big.constScanLine(2 * y + 1));
        QRgb* o = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            QRgb s[4] = {a[2 * x], a[2 * x + 1], b[2 * x], b[2 * x + 1]};
            int r = 2, g = 2, bl = 2; // rounds the mean to nearest
            for (QRgb c : s) {
                r += qRed(c);
                g += qGreen(c);
                bl += qBlue(c);
            }
            o[x] = qRgb(r / 4, g / 4, bl / 4);
        }
    }
    return out;
}

} // namespace

QImage desk3DPicture(const Layout& from, QSize size) {
    if (size.isEmpty() || from.screens.size() < 2) {
        return {};
    }
    Layout layout = from;
    layout.bias = Angle{0, 0};
    layout.seat = V3::seat;
    layout.keyboard = V3{0, -27, 28};
    for (Screen& s : layout.screens) {
        s.rect = Rect3::guess(s, layout);
    }
    DeskModel model(layout);
    model.looking = layout.screens[1].id;
    model.angle = Angle{25, 2};
    model.head = V3{-4, -6, 52};

    Stage stage;
    stage.update(model, std::nullopt);
    QImage big(size * 2, QImage::Format_RGB32);
    big.fill(gGround);
    {
        QPainter p(&big);
        p.scale(2, 2);
        stage.paint(p, QSizeF(size), stage.eye());
    }
    return halve(big);
}

} // namespace helm
