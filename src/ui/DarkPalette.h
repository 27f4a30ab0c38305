#pragma once

#include <QPalette>

namespace helm {

// The windows' dark scheme as a QPalette built from the shared colours, for the standard
// controls (fields, buttons, scroll bars, tool tips) drawn by the Fusion style.
QPalette darkPalette();

} // namespace helm
