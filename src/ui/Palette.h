#pragma once

#include "desk/Layout.h"
#include "desk/Screen.h"

#include <QColor>

namespace helm {

// The shared colours of the program's dark scheme.
inline const QColor gInk = QColor::fromRgbF(0.91f, 0.93f, 0.95f);
inline const QColor gMuted = QColor::fromRgbF(0.60f, 0.64f, 0.69f);
inline const QColor gLive = QColor::fromRgbF(0.19f, 0.82f, 0.35f);
inline const QColor gWarn = QColor::fromRgbF(1.0f, 0.70f, 0.25f);
inline const QColor gPanel = QColor::fromRgbF(0.055f, 0.07f, 0.09f);
inline const QColor gLine = QColor::fromRgbF(0.13f, 0.16f, 0.19f);
inline const QColor gGround = QColor::fromRgbF(0.027f, 0.035f, 0.047f);

// The colour of the screen's computer: this computer green, then the PCs of the layout in id
// order blue, purple, orange, and round again. A computer not in the layout counts as this one.
QColor computerColor(const Screen& screen, const Layout& layout);

} // namespace helm
