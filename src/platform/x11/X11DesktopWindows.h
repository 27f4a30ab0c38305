#pragma once

#include "platform/DesktopWindows.h"

#include <QSocketNotifier>

#include <map>
#include <memory>
#include <string>

struct _XDisplay;

namespace helm {

// The X window system's side of the overlay panels, over a connection of its own.
class X11DesktopWindows : public DesktopWindows {
public:
    // display is an X display name; empty for $DISPLAY. Without a server nothing composites
    // and hints go nowhere.
    explicit X11DesktopWindows(const std::string& display = {});
    ~X11DesktopWindows() override;
    X11DesktopWindows(const X11DesktopWindows&) = delete;
    X11DesktopWindows& operator=(const X11DesktopWindows&) = delete;

    // Someone owns the _NET_WM_CM_S<screen> selection, as a compositing manager does.
    bool compositing() override;
    void keepOnEveryDesktop(unsigned long window) override;
    // The server's visibility events, which it sends where no compositing manager redirects
    // the windows, read as they come on this connection.
    void watchCover(unsigned long window, std::function<void(bool covered)> onChange) override;

private:
    void readEvents();
    void readLater();

    _XDisplay* dpy_ = nullptr;
    std::unique_ptr<QSocketNotifier> events_;
    std::map<unsigned long, std::function<void(bool)>> covers_;
};

} // namespace helm
