#pragma once

#include "overlays/JumpRecipe.h"

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QRegion>

#include <optional>
#include <string>
#include <string_view>

class QPainter;
class QPaintDevice;
class QString;

namespace helm {

// One frame of a jump effect: the recipe's layers, and its drawn pointer, at progress p of
// the recipe's duration. Nothing survives between frames, so frames can be drawn in any order.
struct JumpDrawer {
    JumpRecipe recipe;     // already coloured by the caller
    QPointF to;            // the landing point, in the area's coordinates (y down)
    QRectF area;           // the whole drawable area
    std::string dir = "-"; // the side the pointer came from
    int number = 0;        // shown by "tag"
    std::string name;      // shown by "tag"
    double scale = 1;      // multiplies every length of the recipe
    bool still = false;    // reduced motion: a soft dot that fades in 0.15 s instead

    // Draws nothing for p outside [0, 1).
    void draw(QPainter& g, double p) const;

    // A recipe colour: absent or "accent" takes the fallback; unreadable text is green.
    static QColor color(const std::optional<std::string>& text,
                        std::string_view fallback = "#30D158");

    // A rectangle that holds every frame of the effect, for repainting no more than needed;
    // the whole area when a layer covers it.
    QRectF reach() const;

    // The pixels where the frame at progress b can differ from the one at a: everything either
    // draws, less a dimming whose darkness stays the same outside its hole. The whole area
    // when a is not a number (nothing known of what is on screen).
    // device: what the frames are painted on, for measuring the label's text like they do.
    QRegion change(double a, double b, const QPaintDevice* device = nullptr) const;

    // The values every layer starts from.
    struct Common {
        double q;     // local progress, linear in time, 0 to 1
        double e;     // q through the layer's easing
        double alpha; // the layer's opacity at q
        QColor c;     // the layer's colour
        double w;     // line width, scaled
    };

private:
    std::optional<Common> common(const JumpRecipe::Layer& l, double p) const;
    QRectF bound(const JumpRecipe::Layer& l) const;
    QRectF pointerBound() const;
    std::optional<int> darkness(const JumpRecipe::Layer& l, double p) const;
    QRegion drawn(double p, bool steadyDim, const QPaintDevice* device) const;
    QString tagText(const JumpRecipe::Layer& l) const;
    std::optional<QRectF> tagBox(const JumpRecipe::Layer& l, const Common& k,
                                 const QPaintDevice* device) const;
    void layer(QPainter& g, const JumpRecipe::Layer& l, double p) const;
    void glow(QPainter& g, double r, QColor c) const;
    void ghost(QPainter& g, const JumpRecipe::Pointer& pointer, double p) const;

    bool outside(double r, double width) const;
    void ring(QPainter& g, const JumpRecipe::Layer& l, const Common& k) const;
    void particles(QPainter& g, const JumpRecipe::Layer& l, const Common& k) const;
    void orbit(QPainter& g, const JumpRecipe::Layer& l, const Common& k) const;
    void poly(QPainter& g, const JumpRecipe::Layer& l, const Common& k) const;
    void radar(QPainter& g, const JumpRecipe::Layer& l, const Common& k) const;
    void spiral(QPainter& g, const JumpRecipe::Layer& l, const Common& k) const;
    void cross(QPainter& g, const JumpRecipe::Layer& l, const Common& k) const;
    void brackets(QPainter& g, const JumpRecipe::Layer& l, const Common& k) const;
    void beam(QPainter& g, const JumpRecipe::Layer& l, const Common& k) const;
    void dim(QPainter& g, const JumpRecipe::Layer& l, const Common& k) const;
    void scan(QPainter& g, const Common& k) const;
    void trail(QPainter& g, const JumpRecipe::Layer& l, const Common& k) const;
    void portals(QPainter& g, const JumpRecipe::Layer& l, const Common& k) const;
    void tag(QPainter& g, const JumpRecipe::Layer& l, const Common& k) const;
};

} // namespace helm
