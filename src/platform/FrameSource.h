#pragma once

#include "platform/CameraTrouble.h"

#include <opencv2/core.hpp>

#include <optional>
#include <string>

namespace helm {

// One captured frame: 8-bit BGR (three bytes a pixel) or grey, and its presentation time in
// seconds.
struct Frame {
    cv::Mat image;
    double time = 0;
};

// Where frames come from: the camera, or a video file standing in for it.
class FrameSource {
public:
    virtual ~FrameSource() = default;
    // Opens the device or file; false (with problem() saying why) when it cannot be opened.
    virtual bool open() = 0;
    // The next frame, waiting for it; nothing when the source has ended or failed.
    virtual std::optional<Frame> next() = 0;
    // Releases the device, so the camera's light goes off.
    virtual void close() = 0;
    // A live source keeps producing frames whether or not they are read, so frames that arrive
    // while the previous one is still being read are dropped. A recorded one waits instead.
    virtual bool live() const = 0;
    virtual std::string problem() const = 0;
    // What kind of trouble problem() describes.
    virtual CameraTrouble trouble() const { return CameraTrouble::failed; }
};

} // namespace helm
