#pragma once

#include "platform/DesktopWindows.h"

#include <vector>

namespace helm {

// A window system set by hand: whether it composites, and which windows were hinted.
class FakeDesktopWindows : public DesktopWindows {
public:
    bool composited = true;
    std::vector<unsigned long> sticky;

    bool compositing() override { return composited; }
    void keepOnEveryDesktop(unsigned long window) override { sticky.push_back(window); }
};

} // namespace helm
