#pragma once

#include <opencv2/core.hpp>

#include <string>
#include <vector>

namespace helm::test {

// The photographs of faces that Debian's libdlib19.1 ships with its examples, with the
// landmark annotations that come with them.
struct AnnotatedFace {
    cv::Rect box;                    // pixels
    std::vector<cv::Point2d> points; // the 68 landmarks, pixels
};

struct AnnotatedPhoto {
    std::string path;
    std::vector<AnnotatedFace> faces;
};

std::string facePhotoFolder();
// Empty when the annotation file is missing (the test then fails, naming the package).
std::vector<AnnotatedPhoto> annotatedPhotos();

} // namespace helm::test
