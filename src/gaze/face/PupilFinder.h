#pragma once

#include <opencv2/core.hpp>

#include <optional>
#include <vector>

namespace helm {

// Finds the pupil inside an eye outline: the landmark model outlines the eyelids but has no
// pupil point, so the darkest part of the outlined region stands in for it.
struct PupilFinder {
    // Share of the outlined pixels, darkest first, that the pupil estimate is drawn from.
    double darkShare = 0.2;
    // Outlines narrower than this many pixels carry no usable pupil.
    int minWidth = 4;

    // grey: 8-bit single-channel image; outline: the eye's landmark points in its pixels.
    // Answers the pupil's centre in the same pixels, or nothing when the eye is too small or
    // lies outside the image.
    std::optional<cv::Point2d> find(const cv::Mat& grey,
                                    const std::vector<cv::Point2d>& outline) const;
};

} // namespace helm
