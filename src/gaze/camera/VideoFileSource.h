#pragma once

#include "platform/FrameSource.h"

#include <opencv2/videoio.hpp>

namespace helm {

// A video file played in place of the camera (tests, benchmarks, recordings). Every frame is
// read, in order, as fast as the reader takes them.
class VideoFileSource : public FrameSource {
public:
    // Where frame times come from: the frame's place at the file's rate, or the container's
    // time stamps (the frame's place where it gives none).
    enum class Times { place, stamps };

    explicit VideoFileSource(std::string path, Times times = Times::place);

    bool open() override;
    std::optional<Frame> next() override;
    void close() override;
    bool live() const override { return false; }
    std::string problem() const override { return problem_; }

    // Keeps OpenCV's and FFmpeg's own messages off standard output and error, for good: a
    // damaged movie otherwise prints a dozen lines of them. Changes the environment, so call
    // it before other threads run.
    static void quiet();

private:
    std::string path_;
    Times times_;
    cv::VideoCapture capture_;
    double fps_ = 30;
    long index_ = 0;
    std::string problem_;
};

} // namespace helm
