#include "gaze/camera/VideoFileSource.h"

#include <cmath>
#include <filesystem>

namespace helm {

VideoFileSource::VideoFileSource(std::string path) : path_(std::move(path)) {}

bool VideoFileSource::open() {
    problem_.clear();
    index_ = 0;
    // Checked first: handed a missing file, OpenCV tries every back end it has on the name.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path_, error)) {
        problem_ = "video " + path_ + " cannot be opened";
        return false;
    }
    try {
        if (!capture_.open(path_)) {
            problem_ = "video " + path_ + " cannot be opened";
            return false;
        }
    } catch (const cv::Exception& e) {
        problem_ = "video " + path_ + " cannot be opened: " + e.what();
        return false;
    }
    const double fps = capture_.get(cv::CAP_PROP_FPS);
    fps_ = std::isfinite(fps) && fps > 0 ? fps : 30;
    return true;
}

std::optional<Frame> VideoFileSource::next() {
    Frame frame;
    try {
        if (!capture_.isOpened() || !capture_.read(frame.image) || frame.image.empty())
            return std::nullopt;
    } catch (const cv::Exception& e) {
        problem_ = "video " + path_ + " unreadable: " + e.what();
        return std::nullopt;
    }
    // Frame numbers rather than the container's time stamps, which some writers leave coarse.
    frame.time = static_cast<double>(index_++) / fps_;
    return frame;
}

void VideoFileSource::close() {
    capture_.release();
}

} // namespace helm
