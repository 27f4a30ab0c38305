#include "platform/linux/V4l2Camera.h"

#include <opencv2/videoio.hpp>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace helm {

namespace {

// One opened device. A read that outlasts the driver's timeout answers nothing, which the
// engine treats as a camera that stopped.
class V4l2Capture : public FrameSource {
public:
    V4l2Capture(std::vector<std::string> devices, V4l2Camera::Opener open,
                std::function<double()> clock)
        : devices_(std::move(devices)), open_(std::move(open)), clock_(std::move(clock)) {}

    bool open() override {
        if (capture_.isOpened())
            return true;
        problem_ = "camera: none found";
        for (const std::string& device : devices_) {
            if (tryOpen(device))
                return true;
        }
        return false;
    }

    std::optional<Frame> next() override {
        Frame frame;
        try {
            if (!capture_.isOpened() || !capture_.read(frame.image) || frame.image.empty()) {
                problem_ = "camera " + device_ + " stopped sending frames";
                return std::nullopt;
            }
        } catch (const cv::Exception& e) {
            problem_ = "camera " + device_ + " failed: " + e.what();
            return std::nullopt;
        }
        frame.time = clock_();
        return frame;
    }

    void close() override { capture_.release(); }
    bool live() const override { return true; }
    std::string problem() const override { return problem_; }

private:
    std::vector<std::string> devices_;
    V4l2Camera::Opener open_;
    std::function<double()> clock_;
    cv::VideoCapture capture_;
    std::string device_;
    std::string problem_;

    bool tryOpen(const std::string& device) {
        try {
            // Linux asks no one for permission: a camera we may not open, or that another
            // program holds, is simply not there for us.
            if (!open_(capture_, device)) {
                problem_ = "camera " + device + " cannot be opened";
                capture_.release();
                return false;
            }
        } catch (const cv::Exception& e) {
            problem_ = "camera " + device + " cannot be opened: " + e.what();
            capture_.release();
            return false;
        }
        device_ = device;
        return true;
    }
};

bool openV4l2(cv::VideoCapture& capture, const std::string& device) {
    if (!capture.open(device, cv::CAP_V4L2))
        return false;
    capture.set(cv::CAP_PROP_FRAME_WIDTH, 640);
    capture.set(cv::CAP_PROP_FRAME_HEIGHT, 480);
    // Keep the driver from queueing old frames: a late frame is better dropped.
    capture.set(cv::CAP_PROP_BUFFERSIZE, 1);
    return true;
}

} // namespace

V4l2Camera::V4l2Camera(std::string folder, Opener open)
    : folder_(std::move(folder)), open_(open ? std::move(open) : Opener(openV4l2)) {}

std::vector<std::string> V4l2Camera::devices(const std::string& folder) {
    std::vector<std::pair<long, std::string>> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("video", 0) != 0 || name.size() == 5 || name.size() > 9)
            continue;
        char* end = nullptr;
        const long n = std::strtol(name.c_str() + 5, &end, 10);
        if (*end == '\0' && name[5] >= '0' && name[5] <= '9')
            found.emplace_back(n, entry.path().string());
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> out;
    for (auto& f : found)
        out.push_back(std::move(f.second));
    return out;
}

bool V4l2Camera::present() const {
    return !devices(folder_).empty();
}

std::unique_ptr<FrameSource> V4l2Camera::make(std::function<double()> clock) {
    return std::make_unique<V4l2Capture>(devices(folder_), open_, std::move(clock));
}

} // namespace helm
