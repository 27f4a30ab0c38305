#pragma once

#include "platform/FrameSource.h"

#include <functional>
#include <memory>

namespace helm {

// The computer's camera as the gaze engine sees it: whether one is there, and a fresh frame
// source for it each time the camera is turned on.
class CameraSource {
public:
    virtual ~CameraSource() = default;
    // A capture device exists. Nothing is opened, so the camera's light stays off.
    virtual bool present() const = 0;
    // A source not yet opened; frame times are taken from clock, in seconds.
    virtual std::unique_ptr<FrameSource> make(std::function<double()> clock) = 0;
    // From now on calls changed on this (the main) thread whenever capture devices appear or
    // disappear; a later call replaces the earlier one. A camera that cannot change never calls.
    virtual void watch(std::function<void()> changed) { (void)changed; }
    // From now on calls released on this (the main) thread when a program that held the camera,
    // so that it could not be opened, lets it go; a later call replaces the earlier one. A
    // camera that cannot tell never calls.
    virtual void watchRelease(std::function<void()> released) { (void)released; }
};

} // namespace helm
