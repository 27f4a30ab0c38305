#include "gaze/camera/CameraSource.h"

#include <cstdio>
#include <filesystem>

namespace helm {

namespace {
std::string devicePath(int index) {
    char path[32];
    std::snprintf(path, sizeof path, "/dev/video%d", index);
    return path;
}
} // namespace

CameraSource::CameraSource(std::function<double()> clock, int index)
    : clock_(std::move(clock)), index_(index) {}

bool CameraSource::present(int index) {
    std::error_code error;
    return std::filesystem::exists(devicePath(index), error);
}

bool CameraSource::open() {
    if (capture_.isOpened())
        return true;
    problem_.clear();
    try {
        if (!capture_.open(index_, cv::CAP_V4L2)) {
            // Linux asks no one for permission: a camera we may not open, or that another
            // program holds, is simply not there for us.
            problem_ = "camera " + devicePath(index_) + " cannot be opened";
            return false;
        }
        capture_.set(cv::CAP_PROP_FRAME_WIDTH, 640);
        capture_.set(cv::CAP_PROP_FRAME_HEIGHT, 480);
        // Keep the driver from queueing old frames: a late frame is better dropped than read.
        capture_.set(cv::CAP_PROP_BUFFERSIZE, 1);
    } catch (const cv::Exception& e) {
        problem_ = "camera " + devicePath(index_) + " cannot be opened: " + e.what();
        capture_.release();
        return false;
    }
    return true;
}

std::optional<Frame> CameraSource::next() {
    Frame frame;
    try {
        if (!capture_.isOpened() || !capture_.read(frame.image) || frame.image.empty()) {
            problem_ = "camera " + devicePath(index_) + " stopped sending frames";
            return std::nullopt;
        }
    } catch (const cv::Exception& e) {
        problem_ = "camera " + devicePath(index_) + " failed: " + e.what();
        return std::nullopt;
    }
    frame.time = clock_();
    return frame;
}

void CameraSource::close() {
    capture_.release();
}

} // namespace helm
