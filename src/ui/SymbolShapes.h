#pragma once

#include <QPainterPath>

#include <string_view>

// The settings window's icons, on the symbol painter's one-em grid (-0.5 to 0.5); line is the
// stroke width. An unknown name gives an empty path.
namespace helm::Symbols {

QPainterPath moreShapes(std::string_view name, double line);

// The outline of a line of that width, with round caps and joins.
QPainterPath stroke(const QPainterPath& line, double width);
// A rectangle with corners of radius r.
QPainterPath box(double x, double y, double w, double h, double r);

} // namespace helm::Symbols
