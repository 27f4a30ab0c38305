#pragma once

#include <functional>

namespace helm {

// What the window system offers the overlay panels beyond the toolkit: whether a compositing
// manager blends translucent windows, the hints that keep a managed panel on every desktop
// and out of the task bar and pager, and whether a window is covered. Main thread only.
class DesktopWindows {
public:
    virtual ~DesktopWindows() = default;

    // Without one, translucent windows show on black.
    virtual bool compositing() = 0;
    // Sticky, skip-taskbar and skip-pager, for a window that has not been mapped yet.
    virtual void keepOnEveryDesktop(unsigned long window) = 0;
    // Tells whether other windows cover the mapped window wholly, each time that changes, as
    // long as the window lives; a window system that cannot tell never calls (a compositing
    // manager's desktop hides it).
    virtual void watchCover(unsigned long window, std::function<void(bool covered)> onChange) {
        (void)window;
        (void)onChange;
    }
};

} // namespace helm
