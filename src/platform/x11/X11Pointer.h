#pragma once

#include "platform/Pointer.h"

#include <functional>
#include <string>

struct _XDisplay;

namespace helm {

// The X pointer over a connection of its own. Root-window coordinates are shifted so that the
// primary monitor's top-left corner is (0, 0), the frame the display list uses.
class X11Pointer : public Pointer {
public:
    // display is an X display name; empty for $DISPLAY. Without a server every call does
    // nothing and location answers nothing.
    explicit X11Pointer(const std::string& display = {});
    ~X11Pointer() override;

    X11Pointer(const X11Pointer&) = delete;
    X11Pointer& operator=(const X11Pointer&) = delete;

    bool connected() const { return dpy_ != nullptr; }

    // Detaching is the input layer's pointer grab; it hands it over here once it exists.
    std::function<void(bool attached)> grab;

    std::optional<Point> location() override;
    void warp(Point to) override;
    // Through XTest, so the move comes from the XTEST device, which the input layer reports
    // as marked.
    void postMove(Point to) override;
    void setAttached(bool attached) override;
    bool reducedMotion() override;

private:
    _XDisplay* dpy_ = nullptr;

    // The primary monitor's top-left corner in root coordinates.
    Point origin();
};

} // namespace helm
