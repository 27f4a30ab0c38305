#pragma once

#include "desk/DisplayInfo.h"

#include <vector>

struct _XDisplay;

namespace helm {

// The X screen's active RandR monitors as display records, in the one order every display
// index refers to: the primary first (when none is marked, the one holding the root origin),
// the rest by x, then y. Frames are root coordinates shifted so that the primary's top-left is
// (0, 0); keys and names come from the EDID of each monitor's first output.
std::vector<DisplayInfo> listMonitors(_XDisplay* dpy);

// The primary monitor's top-left corner in root coordinates: where the shared frame starts.
struct RootOrigin {
    int x = 0;
    int y = 0;
};
RootOrigin primaryOrigin(_XDisplay* dpy);

} // namespace helm
