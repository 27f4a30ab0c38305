#pragma once

#include "platform/FrameSource.h"

#include <opencv2/videoio.hpp>

namespace helm {

// A video file played in place of the camera (tests, benchmarks, recordings). Every frame is
// read, in order, as fast as the reader takes them; frame times come from the file.
class VideoFileSource : public FrameSource {
public:
    explicit VideoFileSource(std::string path);

    bool open() override;
    std::optional<Frame> next() override;
    void close() override;
    bool live() const override { return false; }
    std::string problem() const override { return problem_; }

private:
    std::string path_;
    cv::VideoCapture capture_;
    double fps_ = 30;
    long index_ = 0;
    std::string problem_;
};

} // namespace helm
