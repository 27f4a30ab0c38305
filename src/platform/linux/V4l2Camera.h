#pragma once

#include "platform/CameraSource.h"
#include "platform/linux/CameraNodes.h"

#include <opencv2/videoio.hpp>

#include <memory>
#include <string>
#include <vector>

class QFileSystemWatcher;

namespace helm {

class CloseWatch;

// The camera through V4L2, at 640 × 480: the first capture device among /dev/video* that
// opens, in number order, so a metadata node or a busy device is passed over.
class V4l2Camera : public CameraSource {
public:
    // Opens one device node into capture; false when it is not a camera we can use. The
    // default opens it through V4L2 at 640 × 480.
    using Opener = std::function<bool(cv::VideoCapture& capture, const std::string& device)>;

    // proc: where to look for the programs that hold a device; answer: asks a device whether
    // it would stream to us (streamAnswer when empty).
    explicit V4l2Camera(std::string folder = "/dev", Opener open = {}, std::string proc = "/proc",
                        StreamAnswer answer = {});
    ~V4l2Camera() override;

    bool present() const override;
    std::unique_ptr<FrameSource> make(std::function<double()> clock) override;
    // Watches the folder; a change that adds or removes a video node is reported.
    void watch(std::function<void()> changed) override;
    // Watches the video nodes for closes; reported when a node that could not be opened
    // because another program held it is held by none any more. Every close, our own tries'
    // included, asks the device again on a descriptor kept open for that, which closes nothing.
    void watchRelease(std::function<void()> released) override;

    // The folder's video device nodes in number order (video2 before video10).
    static std::vector<std::string> devices(const std::string& folder);

    // The nodes a capture found held by another program; shared with the captures, which run
    // on the camera's own thread.
    struct Held;

private:
    std::string folder_;
    Opener open_;
    std::string proc_;
    StreamAnswer answer_;
    std::shared_ptr<Held> held_;
    std::unique_ptr<QFileSystemWatcher> watcher_;
    std::unique_ptr<CloseWatch> closes_;
    std::vector<std::string> seen_;
    std::function<void()> changed_;
    std::function<void()> released_;
    void watchFolder();
    void closed(const std::string& node);
};

} // namespace helm
