#pragma once

#include "platform/DisplaySource.h"

namespace helm {

// This computer's displays as Qt sees them, where the desktop's own source is not available:
// geometry in device pixels and physical size from each QScreen, no identity ("0-0-0" keys),
// primary first and the rest by x, then y. Qt's screen signals tell of changes, so onChange is
// never called.
class QtDisplaySource : public DisplaySource {
public:
    std::vector<DisplayInfo> displays() override;
};

} // namespace helm
