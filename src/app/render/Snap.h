#pragma once

#include <QColor>
#include <QImage>
#include <QSize>

#include <optional>

class QWidget;

namespace helm {

// Delivers every posted event (layouts, resizes, deferred updates) until none is left, so a
// picture taken next shows the widgets settled; it never waits for a timer.
void settle();

// Draws view, never shown on screen, at size into an opaque image of one pixel per point.
// With a background the view is placed at the top left of a plain area of that colour and
// keeps its own size where it has a fixed one. A null image when nothing could be drawn.
QImage snap(QWidget& view, QSize size, std::optional<QColor> background = std::nullopt);

} // namespace helm
