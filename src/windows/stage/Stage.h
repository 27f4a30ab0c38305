#pragma once

#include "desk/DeskModel.h"
#include "desk/Layout.h"
#include "desk/Rect3.h"
#include "desk/V3.h"
#include "windows/stage/StageCamera.h"

#include <QColor>
#include <QImage>
#include <QPolygonF>
#include <QRectF>
#include <QSize>

#include <optional>
#include <string>
#include <vector>

class QPainter;

namespace helm {

// The desk in space, painted in perspective: a slab for every monitor where its rectangle
// stands, the camera as a small ball at the origin, the head as a larger one, the gaze as a
// green rod from the head, the keyboard as a low box and a dark floor with a 10 cm grid.
// Deterministic: the picture depends only on the stage, the view and the size. Main thread.
class Stage {
public:
    // A text's glyph outlines at size 10, flattened once so that painting only maps points;
    // y runs down and the box starts at (0, 0).
    struct Glyphs {
        std::vector<QPolygonF> outline;
        QRectF box;
    };

    // One monitor's slab: 1.2 deep, turned about y so that its x axis lies along the
    // rectangle's horizontal axis, with its number and computer name on its front.
    struct Slab {
        Screen screen;
        V3 c;
        double turn = 0; // radians about y
        double halfW = 0, halfH = 0;
        double opacity = 1; // 0.55 until calibrated; the texts fade with it
        QColor diffuse, emission;
        Glyphs number, name;
        double numberScale = 1;
    };

    Stage();

    // Follows the model: rebuilds the slabs when the layout differs from the one they were
    // built from, then recolours them and places the head, the rod and the keyboard.
    void update(const DeskModel& model, const std::optional<std::string>& target);

    // Paints the whole scene as seen through `view`, background included.
    void paint(QPainter& p, const QSizeF& size, const StageCamera& view) const;
    // The scene from the stage's own eye, opaque.
    QImage snapshot(const QSize& size) const;

    // The floor's 880 × 480 texture: a line every 40 pixels, brightest through the middle.
    static QImage gridImage();
    // The stage's own eye; a user's turns and zooms never move it.
    const StageCamera& eye() const { return eye_; }

    const std::vector<Slab>& slabs() const { return slabs_; }
    int rebuilds() const { return rebuilds_; }
    const V3& headAt() const { return head_; }
    // Absent while the rod is hidden.
    const std::optional<V3>& gaze() const { return gaze_; }
    // Absent while the keyboard is hidden.
    const std::optional<V3>& keyboardAt() const { return keyboard_; }
    const QColor& keyboardColor() const { return keyboardColor_; }

    // The turn about y that lays a slab's x axis on u.
    static double turnFor(const V3& u);
    // The number's scale for a slab of that half height: 1.1 × halfH / 10, at most 1.4.
    static double numberScale(double halfH);

private:
    void rebuild(const Layout& layout);

    StageCamera eye_;
    std::optional<Layout> built_;
    std::vector<Slab> slabs_;
    int rebuilds_ = 0;
    V3 head_ = V3::seat;
    std::optional<V3> gaze_;
    std::optional<V3> keyboard_;
    QColor keyboardColor_;
};

} // namespace helm
