#pragma once

#include "desk/DisplayInfo.h"

#include <string>
#include <vector>

namespace helm {

// A computer's display list made fit for merging: repeated keys get "#2", "#3"… in list order,
// so two identical monitors never collapse into one screen, and displays without a usable frame
// or with a number that is not finite are set apart, as they cannot be placed.
struct DisplayList {
    std::vector<DisplayInfo> kept;
    std::vector<DisplayInfo> unplaced; // listed, but without a usable frame

    static DisplayList check(std::vector<DisplayInfo> listed);
};

// This computer's displays as its display source lists them, checked. Indices stay as the
// source gave them (positions in its list), so a display left out still counts.
DisplayList macDisplays(std::vector<DisplayInfo> listed);

} // namespace helm
