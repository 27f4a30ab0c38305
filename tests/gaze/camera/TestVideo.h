#pragma once

#include <opencv2/core.hpp>

#include <string>
#include <utility>
#include <vector>

namespace helm::test {

// A 640 × 480 frame holding the photograph of a face at about desk distance.
cv::Mat faceFrame();
// A frame without anyone in it.
cv::Mat emptyFrame();

// Writes a 30 frames-a-second video (Motion JPEG, which OpenCV reads and writes without any
// codec library) of the given frames, each repeated the given number of times. Answers the
// file's path, in a temporary folder that lives as long as the test program.
std::string writeVideo(const std::string& name, const std::vector<std::pair<cv::Mat, int>>& parts);

} // namespace helm::test
