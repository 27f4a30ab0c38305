#include "gaze/face/PupilFinder.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <cmath>

namespace helm {
namespace {

// An eye drawn the way the camera sees one: skin, the white between the lids, a dark iris.
struct DrawnEye {
    cv::Mat grey;
    std::vector<cv::Point2d> outline;
};

DrawnEye drawEye(cv::Point2d centre, double halfWidth, cv::Point2d pupil, double irisRadius) {
    DrawnEye eye;
    eye.grey = cv::Mat(120, 160, CV_8UC1, cv::Scalar(140));
    const double halfHeight = halfWidth * 0.45;
    // The six lid points the landmark model places: corners, two on the upper and two on the
    // lower lid.
    for (double a : {180.0, 120.0, 60.0, 0.0, -60.0, -120.0}) {
        const double r = a * M_PI / 180;
        eye.outline.emplace_back(centre.x + halfWidth * std::cos(r),
                                 centre.y - halfHeight * std::sin(r));
    }
    cv::ellipse(eye.grey, cv::Point(cvRound(centre.x), cvRound(centre.y)),
                cv::Size(cvRound(halfWidth), cvRound(halfHeight)), 0, 0, 360, cv::Scalar(225),
                cv::FILLED);
    cv::Mat iris = cv::Mat::zeros(eye.grey.size(), CV_8UC1);
    cv::circle(iris, cv::Point(cvRound(pupil.x), cvRound(pupil.y)), cvRound(irisRadius),
               cv::Scalar(255), cv::FILLED);
    cv::Mat lids = cv::Mat::zeros(eye.grey.size(), CV_8UC1);
    cv::ellipse(lids, cv::Point(cvRound(centre.x), cvRound(centre.y)),
                cv::Size(cvRound(halfWidth), cvRound(halfHeight)), 0, 0, 360, cv::Scalar(255),
                cv::FILLED);
    cv::bitwise_and(iris, lids, iris);
    eye.grey.setTo(cv::Scalar(35), iris);
    return eye;
}

TEST(PupilFinder, FindsTheIrisWhereverItSitsInTheEye) {
    struct Case {
        double halfWidth, dx, dy, radius;
    };
    const Case cases[] = {
        {30, 0, 0, 8}, {30, 12, 0, 8}, {30, -12, 0, 8}, {30, 6, 3, 8},
        {14, 0, 0, 4}, {14, 5, 0, 4},  {14, -5, 1, 4},  {60, 20, -4, 14},
    };
    const PupilFinder finder;
    const cv::Point2d centre(80, 60);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "half width " << c.halfWidth << " offset " << c.dx << "," << c.dy);
        const cv::Point2d pupil(centre.x + c.dx, centre.y + c.dy);
        const auto eye = drawEye(centre, c.halfWidth, pupil, c.radius);
        const auto found = finder.find(eye.grey, eye.outline);
        ASSERT_TRUE(found.has_value());
        // A tenth of the eye's width: the reading turns eye widths into degrees.
        EXPECT_NEAR(found->x, pupil.x, c.halfWidth * 0.2);
        EXPECT_NEAR(found->y, pupil.y, c.halfWidth * 0.2);
        EXPECT_EQ(found->x < centre.x - 1, c.dx < 0);
        EXPECT_EQ(found->x > centre.x + 1, c.dx > 0);
    }
}

TEST(PupilFinder, GivesNothingForUnusableOutlines) {
    const auto eye = drawEye({80, 60}, 30, {80, 60}, 8);
    const PupilFinder finder;
    struct Case {
        const char* what;
        std::vector<cv::Point2d> outline;
    };
    const Case cases[] = {
        {"outside the image", {{500, 500}, {530, 500}, {530, 510}, {500, 510}}},
        {"narrower than a few pixels", {{80, 60}, {81, 58}, {82, 60}, {81, 62}}},
        {"too few points", {{50, 60}, {110, 60}}},
        {"not numbers", {{std::nan(""), 60}, {110, 60}, {80, 50}, {80, 70}}},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(finder.find(eye.grey, c.outline).has_value()) << c.what;
    EXPECT_FALSE(finder.find(cv::Mat(), eye.outline).has_value()) << "no image";
    cv::Mat colour(120, 160, CV_8UC3, cv::Scalar(100, 100, 100));
    EXPECT_FALSE(finder.find(colour, eye.outline).has_value()) << "not a grey image";
}

} // namespace
} // namespace helm
