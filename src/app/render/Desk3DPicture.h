#pragma once

#include "desk/DeskModel.h"

#include <QImage>
#include <QSize>

namespace helm {

// The desk in 3-D as the guide pictures show it: the layout placed around the default seat
// with no head bias, every screen where its angles put it, the head a little left of the seat
// looking at the second screen. Drawn by the stage's own painter at 2 × 2 samples a pixel.
QImage desk3DPicture(const Layout& layout, QSize size);

} // namespace helm
