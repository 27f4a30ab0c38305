#pragma once

#include "platform/FrameSource.h"
#include "platform/SerialQueue.h"

#include <opencv2/core.hpp>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace helm {

// Films the tracking camera into a movie: takes every captured frame and writes it on a queue
// of its own, at a constant 30 frames a second of media-clock time, 640 × 480.
class MovieRecorder {
public:
    // Where the frames go: a video file in the program, a fake in tests.
    class Writer {
    public:
        virtual ~Writer() = default;
        virtual bool open(const std::string& path) = 0;
        // False when the frame could not be written.
        virtual bool write(const cv::Mat& bgr) = 0;
        // Closes the movie and counts the frames that can be read back from it.
        virtual long finish() = 0;
    };

    static constexpr double fps = 30;

    // makeWriter: a new writer for each movie; a video file writer when empty.
    explicit MovieRecorder(std::function<std::unique_ptr<Writer>()> makeWriter = {});
    ~MovieRecorder();

    MovieRecorder(const MovieRecorder&) = delete;
    MovieRecorder& operator=(const MovieRecorder&) = delete;

    // Opens the movie; false when it cannot be written or one is being recorded.
    bool start(const std::string& path);
    // Every captured frame; callable from any thread, dropped unless recording.
    void take(const Frame& frame);
    // Ends the movie; why, when given, makes the finish report a failure.
    void stop(std::optional<std::string> why = std::nullopt);
    bool recording() const;

    // Both run on the recorder's queue. onStarted gets the capture time of the movie's first
    // frame; onFinished gets nothing when the movie is complete, else why it is not.
    std::function<void(double)> onStarted;
    std::function<void(std::optional<std::string>)> onFinished;

private:
    std::function<std::unique_ptr<Writer>()> makeWriter_;
    mutable std::mutex mutex_;
    bool recording_ = false;

    // Queue state.
    std::unique_ptr<Writer> writer_;
    std::optional<double> start_;
    long written_ = 0;
    std::optional<std::string> failed_;

    void write(const Frame& frame);
    void finish(const std::optional<std::string>& why);

    SerialQueue queue_{"pivmor.movie"};
};

} // namespace helm
