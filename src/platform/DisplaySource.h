#pragma once

#include "desk/DisplayInfo.h"

#include <functional>
#include <vector>

namespace helm {

// This computer's displays, primary first, in the one order every user of a display index
// shares: DisplayInfo.index is the position in this list. Frames are in the shared display
// frame (the primary's top-left is (0, 0), y grows downwards). Main thread only.
class DisplaySource {
public:
    virtual ~DisplaySource() = default;

    virtual std::vector<DisplayInfo> displays() = 0;
    // Called when the list may have changed; callers read displays() again.
    std::function<void()> onChange;
};

} // namespace helm
