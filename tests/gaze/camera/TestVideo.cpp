#include "TestVideo.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include <QTemporaryDir>

namespace helm::test {

cv::Mat faceFrame() {
    cv::Mat photo = cv::imread("/usr/share/doc/libdlib19.1/examples/faces/2008_002506.jpg");
    cv::Mat frame;
    if (!photo.empty())
        cv::resize(photo, frame, {640, 480});
    return frame;
}

cv::Mat emptyFrame() {
    return cv::Mat(480, 640, CV_8UC3, cv::Scalar(100, 100, 100));
}

std::string writeVideo(const std::string& name, const std::vector<std::pair<cv::Mat, int>>& parts) {
    static QTemporaryDir folder;
    const std::string path = folder.path().toStdString() + "/" + name + ".avi";
    cv::VideoWriter writer(path, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), 30, {640, 480});
    for (const auto& [image, count] : parts)
        for (int i = 0; i < count; ++i)
            writer.write(image);
    return path;
}

} // namespace helm::test
