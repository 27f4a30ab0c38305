#pragma once

#include "platform/PointerPoster.h"

#include <string>

struct _XDisplay;

namespace helm {

// XTest pointer moves on a connection opened by the first call, so it lives on the thread that
// posts; Xlib connections are not shared between threads here.
class X11PointerPoster : public PointerPoster {
public:
    // display is an X display name; empty for $DISPLAY.
    explicit X11PointerPoster(std::string display = {});
    ~X11PointerPoster() override;
    X11PointerPoster(const X11PointerPoster&) = delete;
    X11PointerPoster& operator=(const X11PointerPoster&) = delete;

    std::optional<Pointer::Point> location() override;
    void moveTo(Pointer::Point to) override;

private:
    bool open();
    std::string name_;
    _XDisplay* dpy_ = nullptr;
    bool tried_ = false;
    bool xtest_ = false;
};

} // namespace helm
