#pragma once

#include <QPainterPath>

#include <string_view>

// The status item's and the menu's icons, drawn by hand: "exclamationmark.triangle.fill",
// "lock.fill", "eye", "eye.fill", "pause.circle", "pause.circle.fill", "pause.fill",
// "play.fill", "scope", "gearshape", "arrow.counterclockwise".
namespace helm::StatusSymbols {

// The icon's filled outline for size logical pixels, centred on (0, 0). An unknown name gives
// an empty path.
QPainterPath path(std::string_view name, double size);

} // namespace helm::StatusSymbols
