#pragma once

#include "gaze/camera/FrameSource.h"

#include <opencv2/videoio.hpp>

#include <functional>

namespace helm {

// The default video camera through V4L2, at 640 × 480. Frame times are taken from the given
// clock when each frame is grabbed.
class CameraSource : public FrameSource {
public:
    explicit CameraSource(std::function<double()> clock, int index = 0);

    // A camera device node exists. Nothing is opened, so the camera's light stays off.
    static bool present(int index = 0);

    bool open() override;
    std::optional<Frame> next() override;
    void close() override;
    bool live() const override { return true; }
    std::string problem() const override { return problem_; }

private:
    std::function<double()> clock_;
    int index_;
    cv::VideoCapture capture_;
    std::string problem_;
};

} // namespace helm
