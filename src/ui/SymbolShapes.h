#pragma once

#include <QPainterPath>

#include <string_view>

// The settings window's icons, and the helpers every set of drawn icons shares. Shapes are
// given on a one-em grid (-0.5 to 0.5) but combined at em times that size: the set operations
// and the stroker flatten curves with a fixed tolerance, which at one em makes every circle an
// octagon. Combined shapes keep the odd-even fill, so that cut-outs stay open.
namespace helm::Symbols {

constexpr double em = 100;

// The icon of that name at the combined size; line is the stroke width in em. An unknown name
// gives an empty path.
QPainterPath moreShapes(std::string_view name, double line);

// A path on the one-em grid, at the combined size.
QPainterPath big(const QPainterPath& p);
// The outline, at the combined size, of a line given on the one-em grid with a width in em,
// with round caps and joins.
QPainterPath stroke(const QPainterPath& line, double width);
// On the one-em grid: a rectangle with corners of radius r, and a circle of radius r round c.
QPainterPath box(double x, double y, double w, double h, double r);
QPainterPath disc(double r, QPointF c = {});

} // namespace helm::Symbols
