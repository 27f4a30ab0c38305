#include "gaze/camera/VideoFileSource.h"

#include <opencv2/core/utils/logger.hpp>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <mutex>

namespace helm {

VideoFileSource::VideoFileSource(std::string path, Times times)
    : path_(std::move(path)), times_(times) {}

void VideoFileSource::quiet() {
    static std::once_flag once;
    std::call_once(once, [] {
        cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_SILENT);
        // OpenCV hands this to FFmpeg at every open; -8 is FFmpeg's "quiet". A level the user
        // set for debugging stays.
        ::setenv("OPENCV_FFMPEG_LOGLEVEL", "-8", 0);
    });
}

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
        // FFmpeg alone: the recorder writes through it, and the other back ends only add
        // their own complaints about a file it cannot read.
        if (!capture_.open(path_, cv::CAP_FFMPEG)) {
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
    const long index = index_++;
    // Frame numbers by default, as some writers leave the container's time stamps coarse.
    frame.time = static_cast<double>(index) / fps_;
    if (times_ == Times::stamps) {
        const double ms = capture_.get(cv::CAP_PROP_POS_MSEC);
        if (std::isfinite(ms) && ms >= 0 && (ms > 0 || index == 0))
            frame.time = ms / 1000;
    }
    return frame;
}

void VideoFileSource::close() {
    capture_.release();
}

} // namespace helm
