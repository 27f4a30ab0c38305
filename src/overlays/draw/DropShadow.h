#pragma once

#include <QColor>
#include <QPainterPath>

class QPainter;

namespace helm {

// A soft shadow under a shape, as a drop-shadow filter would cast it without offset: the
// shape filled and stroked strokeWidth wide, blurred with a Gaussian of sigma radius / 2
// (three box passes over a small alpha image), in the colour.
void dropShadow(QPainter& g, const QPainterPath& shape, double strokeWidth, double radius,
                const QColor& colour);

} // namespace helm
