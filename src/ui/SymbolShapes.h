#pragma once

#include <QPainterPath>

#include <string_view>

// The settings window's icons, on the symbol painter's one-em grid (-0.5 to 0.5); line is the
// stroke width. An unknown name gives an empty path.
namespace helm::Symbols {

QPainterPath moreShapes(std::string_view name, double line);

} // namespace helm::Symbols
