#pragma once

namespace helm {

// What the window system offers the overlay panels beyond the toolkit: whether a compositing
// manager blends translucent windows, and the hints that keep a managed panel on every desktop
// and out of the task bar and pager. Main thread only.
class DesktopWindows {
public:
    virtual ~DesktopWindows() = default;

    // Without one, translucent windows show on black.
    virtual bool compositing() = 0;
    // Sticky, skip-taskbar and skip-pager, for a window that has not been mapped yet.
    virtual void keepOnEveryDesktop(unsigned long window) = 0;
};

} // namespace helm
