#include "gaze/face/PupilFinder.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace helm {

std::optional<cv::Point2d> PupilFinder::find(const cv::Mat& grey,
                                             const std::vector<cv::Point2d>& outline) const {
    if (grey.empty() || grey.type() != CV_8UC1 || outline.size() < 3)
        return std::nullopt;
    std::vector<cv::Point> polygon;
    for (const auto& p : outline) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            return std::nullopt;
        polygon.emplace_back(static_cast<int>(std::lround(p.x)),
                             static_cast<int>(std::lround(p.y)));
    }
    const cv::Rect bounds = cv::boundingRect(polygon) & cv::Rect(0, 0, grey.cols, grey.rows);
    if (bounds.width < minWidth || bounds.height < 2)
        return std::nullopt;

    cv::Mat mask = cv::Mat::zeros(bounds.size(), CV_8UC1);
    for (auto& p : polygon)
        p -= bounds.tl();
    cv::fillPoly(mask, std::vector<std::vector<cv::Point>>{polygon}, cv::Scalar(255));
    cv::Mat eye;
    // A little blur keeps single dark pixels (lashes, noise) from pulling the estimate.
    cv::GaussianBlur(grey(bounds), eye, cv::Size(3, 3), 0);

    std::vector<unsigned char> values;
    values.reserve(static_cast<std::size_t>(bounds.area()));
    for (int y = 0; y < eye.rows; ++y)
        for (int x = 0; x < eye.cols; ++x)
            if (mask.at<unsigned char>(y, x))
                values.push_back(eye.at<unsigned char>(y, x));
    if (values.size() < 4)
        return std::nullopt;
    const auto cut = values.begin() + static_cast<std::ptrdiff_t>(
                                          static_cast<double>(values.size() - 1) * darkShare);
    std::nth_element(values.begin(), cut, values.end());
    const int threshold = *cut;

    // Darker pixels weigh more, so the estimate leans to the pupil's core.
    double sum = 0, sx = 0, sy = 0;
    for (int y = 0; y < eye.rows; ++y)
        for (int x = 0; x < eye.cols; ++x) {
            const int v = eye.at<unsigned char>(y, x);
            if (!mask.at<unsigned char>(y, x) || v > threshold)
                continue;
            const double w = threshold - v + 1;
            sum += w;
            sx += w * x;
            sy += w * y;
        }
    if (sum <= 0)
        return std::nullopt;
    return cv::Point2d(bounds.x + sx / sum, bounds.y + sy / sum);
}

} // namespace helm
