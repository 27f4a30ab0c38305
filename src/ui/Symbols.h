#pragma once

#include <QPainterPath>

#include <string_view>

// The small icons the views draw, as filled outlines drawn by hand: "checkmark", "video.fill",
// "video.slash", "keyboard", "computermouse", "questionmark", "exclamationmark.triangle.fill",
// "checkmark.circle.fill", "arrow.up.left.and.arrow.down.right", and the settings' "circle",
// "circle.fill", "arrow.left.arrow.right", "eye.circle", "cursorarrow.motionlines",
// "doc.on.clipboard", "desktopcomputer", "square.stack.3d.up", "laptopcomputer",
// "pc", "plus", "trash", and the guide's (ui/GuideSymbols.h).
namespace helm::Symbols {

// The icon's outline for a font size of size logical pixels, centred on (0, 0); heavy draws
// the strokes thicker. An unknown name gives an empty path.
QPainterPath path(std::string_view name, double size, bool heavy = false);

} // namespace helm::Symbols
