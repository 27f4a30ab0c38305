#pragma once

#include "platform/CameraSource.h"

#include <opencv2/videoio.hpp>

#include <memory>
#include <string>
#include <vector>

class QFileSystemWatcher;

namespace helm {

// The camera through V4L2, at 640 × 480: the first capture device among /dev/video* that
// opens, in number order, so a metadata node or a busy device is passed over.
class V4l2Camera : public CameraSource {
public:
    // Opens one device node into capture; false when it is not a camera we can use. The
    // default opens it through V4L2 at 640 × 480.
    using Opener = std::function<bool(cv::VideoCapture& capture, const std::string& device)>;

    // proc: where to look for the programs that hold a device.
    explicit V4l2Camera(std::string folder = "/dev", Opener open = {}, std::string proc = "/proc");
    ~V4l2Camera() override;

    bool present() const override;
    std::unique_ptr<FrameSource> make(std::function<double()> clock) override;
    // Watches the folder; a change that adds or removes a video node is reported.
    void watch(std::function<void()> changed) override;

    // The folder's video device nodes in number order (video2 before video10).
    static std::vector<std::string> devices(const std::string& folder);

private:
    std::string folder_;
    Opener open_;
    std::string proc_;
    std::unique_ptr<QFileSystemWatcher> watcher_;
    std::vector<std::string> seen_;
    std::function<void()> changed_;
};

} // namespace helm
