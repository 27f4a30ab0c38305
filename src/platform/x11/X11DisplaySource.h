#pragma once

#include "platform/DisplaySource.h"

#include <memory>
#include <string>

struct _XDisplay;
class QSocketNotifier;

namespace helm {

// This computer's monitors from RandR, over an X connection of its own on the main thread.
// It asks the server for screen, CRTC, output and output-property notices and reports them
// through onChange; several notices read together are reported once.
class X11DisplaySource : public DisplaySource {
public:
    // display is an X display name; empty for $DISPLAY. Without a server the list is empty.
    explicit X11DisplaySource(const std::string& display = {});
    ~X11DisplaySource() override;

    X11DisplaySource(const X11DisplaySource&) = delete;
    X11DisplaySource& operator=(const X11DisplaySource&) = delete;

    std::vector<DisplayInfo> displays() override;

    // Reads the notices waiting on the connection. The event loop calls it when the server
    // writes; it is public so a test without an event loop can call it.
    void pump();

private:
    _XDisplay* dpy_ = nullptr;
    int eventBase_ = 0;
    std::unique_ptr<QSocketNotifier> notifier_;

    void pumpLater();
};

} // namespace helm
