#pragma once

#include <QPainterPath>

#include <string_view>

// The set-up guide's icons, given on the symbol painter's one-em grid and made at its combined
// size (ui/SymbolShapes.h): "clock",
// "wifi", "arrow.down.circle", "lock.shield", "speaker.wave.2", "speaker.slash", "rectangle",
// "rectangle.portrait", "cursorarrow.rays", "eye", "scope". An unknown name gives an empty path.
namespace helm::Symbols {

QPainterPath guideShapes(std::string_view name, double line);

} // namespace helm::Symbols
