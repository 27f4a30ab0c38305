#include "guide/MovieRecorder.h"

#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include <cmath>

namespace helm {

namespace {

const cv::Size movieSize(640, 480);

// "mp4v" in a QuickTime container, the one the file name asks for.
class VideoFileWriter : public MovieRecorder::Writer {
public:
    bool open(const std::string& path) override {
        path_ = path;
        try {
            return writer_.open(path, cv::VideoWriter::fourcc('m', 'p', '4', 'v'),
                                MovieRecorder::fps, movieSize);
        } catch (const cv::Exception&) {
            return false;
        }
    }
    bool write(const cv::Mat& bgr) override {
        // The writer reports nothing of a failed frame; only exceptions and a closed file.
        try {
            if (!writer_.isOpened())
                return false;
            writer_.write(bgr);
            return true;
        } catch (const cv::Exception&) {
            return false;
        }
    }
    long finish() override {
        try {
            writer_.release();
            cv::VideoCapture check(path_);
            if (!check.isOpened())
                return 0;
            long n = 0;
            for (cv::Mat m; check.grab();)
                ++n;
            return n;
        } catch (const cv::Exception&) {
            return 0;
        }
    }

private:
    std::string path_;
    cv::VideoWriter writer_;
};

} // namespace

MovieRecorder::MovieRecorder(std::function<std::unique_ptr<Writer>()> makeWriter)
    : makeWriter_(std::move(makeWriter)) {
    if (!makeWriter_)
        makeWriter_ = [] { return std::make_unique<VideoFileWriter>(); };
}

MovieRecorder::~MovieRecorder() {
    queue_.sync([] {});
}

bool MovieRecorder::recording() const {
    std::lock_guard lock(mutex_);
    return recording_;
}

bool MovieRecorder::start(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (recording_)
        return false;
    bool opened = false;
    // On the queue, after whatever the previous movie still had to do.
    queue_.sync([&] {
        writer_ = makeWriter_();
        start_.reset();
        written_ = 0;
        failed_.reset();
        opened = writer_ && writer_->open(path);
        if (!opened)
            writer_.reset();
    });
    recording_ = opened;
    return opened;
}

void MovieRecorder::take(const Frame& frame) {
    std::lock_guard lock(mutex_);
    if (!recording_)
        return;
    queue_.post([this, frame] { write(frame); });
}

void MovieRecorder::stop(std::optional<std::string> why) {
    std::lock_guard lock(mutex_);
    if (!recording_)
        return;
    recording_ = false;
    queue_.post([this, why = std::move(why)] { finish(why); });
}

void MovieRecorder::write(const Frame& frame) {
    if (!writer_ || failed_ || frame.image.empty() || frame.image.depth() != CV_8U)
        return;
    cv::Mat bgr;
    try {
        switch (frame.image.channels()) {
        case 1:
            cv::cvtColor(frame.image, bgr, cv::COLOR_GRAY2BGR);
            break;
        case 3:
            bgr = frame.image;
            break;
        case 4:
            cv::cvtColor(frame.image, bgr, cv::COLOR_BGRA2BGR);
            break;
        default:
            return;
        }
        if (bgr.size() != movieSize)
            cv::resize(bgr, bgr, movieSize);
    } catch (const cv::Exception&) {
        return;
    }
    if (!start_) {
        start_ = frame.time;
        if (onStarted)
            onStarted(frame.time);
    }
    // Movie time follows the capture clock: a late frame fills the frames it missed, and
    // none is written while the movie is ahead of the clock.
    const long due = std::lround((frame.time - *start_) * fps);
    for (; written_ <= due; ++written_) {
        if (!writer_->write(bgr)) {
            failed_ = "the movie could not be written";
            return;
        }
    }
}

void MovieRecorder::finish(const std::optional<std::string>& why) {
    std::optional<std::string> error = why ? why : failed_;
    if (writer_) {
        const long frames = writer_->finish();
        if (!error && (frames < 1 || written_ < 1))
            error = "the movie holds no frames";
    }
    writer_.reset();
    if (onFinished)
        onFinished(error);
}

} // namespace helm
