#pragma once

#include "platform/CameraSource.h"

#include <string>
#include <vector>

namespace helm {

// The camera through V4L2, at 640 × 480: the first capture device among /dev/video* that
// opens, in number order, so a metadata node or a busy device is passed over.
class V4l2Camera : public CameraSource {
public:
    explicit V4l2Camera(std::string folder = "/dev");

    bool present() const override;
    std::unique_ptr<FrameSource> make(std::function<double()> clock) override;

    // The folder's video device nodes in number order (video2 before video10).
    static std::vector<std::string> devices(const std::string& folder);

private:
    std::string folder_;
};

} // namespace helm
