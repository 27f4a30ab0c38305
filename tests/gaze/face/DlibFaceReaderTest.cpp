#include "gaze/face/DlibFaceReader.h"
#include "FacePhotos.h"

#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <cmath>

namespace helm {
namespace {

constexpr double kDeg = M_PI / 180.0;

cv::Mat loadGrey(const std::string& path) {
    cv::Mat grey = cv::imread(path, cv::IMREAD_GRAYSCALE);
    EXPECT_FALSE(grey.empty()) << path << " is missing: install libdlib19.1";
    return grey;
}

cv::Rect2d pixelBox(const FaceObservation& f, const cv::Size& size) {
    return {f.box.x * size.width, (1.0 - f.box.y - f.box.height) * size.height,
            f.box.width * size.width, f.box.height * size.height};
}

cv::Point2d pixel(const FaceObservation& f, const Point2& p, const cv::Size& size) {
    const auto box = pixelBox(f, size);
    return {box.x + p.x * box.width, box.y + box.height - p.y * box.height};
}

double overlap(const cv::Rect2d& a, const cv::Rect2d& b) {
    return (a & b).area() / (a | b).area();
}

// The widest face's photo scaled so that face is as wide as it is at a desk (about 140 pixels),
// the distance the reader is tuned for.
cv::Mat atDeskDistance(const test::AnnotatedPhoto& photo, double& scale) {
    int widest = 0;
    for (const auto& f : photo.faces)
        widest = std::max(widest, f.box.width);
    scale = 140.0 / widest;
    cv::Mat scaled;
    cv::resize(loadGrey(photo.path), scaled, {}, scale, scale, cv::INTER_LINEAR);
    return scaled;
}

TEST(DlibFaceReader, FindsAnAnnotatedFaceInEachPhotoAndOutlinesItsEyes) {
    const auto photos = test::annotatedPhotos();
    ASSERT_GE(photos.size(), 5u) << "annotations missing: install libdlib19.1";
    for (const auto& photo : photos) {
        SCOPED_TRACE(photo.path);
        double scale = 1;
        const cv::Mat grey = atDeskDistance(photo, scale);
        DlibFaceReader reader;
        const auto found = reader.read(grey);
        ASSERT_TRUE(found.has_value());
        EXPECT_GT(found->confidence, 0.5);
        ASSERT_TRUE(found->yaw && found->pitch && found->landmarks);
        const auto& marks = *found->landmarks;

        const auto box = pixelBox(*found, grey.size());
        const test::AnnotatedFace* best = nullptr;
        double bestOverlap = 0;
        for (const auto& f : photo.faces) {
            const cv::Rect2d annotated(f.box.x * scale, f.box.y * scale, f.box.width * scale,
                                       f.box.height * scale);
            if (overlap(box, annotated) > bestOverlap) {
                bestOverlap = overlap(box, annotated);
                best = &f;
            }
        }
        ASSERT_NE(best, nullptr);
        EXPECT_GT(bestOverlap, 0.5);

        // Eye outlines within a tenth of the distance between the outer eye corners.
        const double span = cv::norm(best->points[36] - best->points[45]) * scale;
        double error = 0;
        ASSERT_TRUE(marks.leftEye && marks.rightEye && marks.leftPupil && marks.rightPupil);
        ASSERT_EQ(marks.leftEye->size(), 6u);
        ASSERT_EQ(marks.rightEye->size(), 6u);
        for (std::size_t i = 0; i < 6; ++i) {
            error += cv::norm(pixel(*found, (*marks.leftEye)[i], grey.size()) -
                              best->points[42 + i] * scale);
            error += cv::norm(pixel(*found, (*marks.rightEye)[i], grey.size()) -
                              best->points[36 + i] * scale);
        }
        EXPECT_LT(error / 12 / span, 0.1);

        // Each pupil lies within its eye's outline.
        for (const auto& [eye, pupil] : {std::pair{*marks.leftEye, *marks.leftPupil},
                                         std::pair{*marks.rightEye, *marks.rightPupil}}) {
            ASSERT_EQ(pupil.size(), 1u);
            std::vector<cv::Point2f> outline;
            for (const auto& p : eye)
                outline.emplace_back(static_cast<float>(p.x), static_cast<float>(p.y));
            const cv::Point2f centre(static_cast<float>(pupil[0].x),
                                     static_cast<float>(pupil[0].y));
            EXPECT_GE(cv::pointPolygonTest(outline, centre, true), -0.02);
        }
    }
}

TEST(DlibFaceReader, MirroredPhotoTurnsTheOtherWay) {
    // Photos whose widest face is clearly the widest, so the mirrored photo reads the same one.
    const std::string names[] = {"2009_004587.jpg", "Tom_Cruise_avp_2014_4.jpg", "2008_001009.jpg",
                                 "2007_007763.jpg", "2008_001322.jpg",           "2008_002079.jpg"};
    int turned = 0;
    for (const auto& name : names) {
        SCOPED_TRACE(name);
        const cv::Mat grey = loadGrey(test::facePhotoFolder() + "/" + name);
        cv::Mat mirrored;
        cv::flip(grey, mirrored, 1);
        DlibFaceReader a, b;
        const auto straight = a.read(grey);
        const auto flipped = b.read(mirrored);
        ASSERT_TRUE(straight && flipped);
        ASSERT_TRUE(straight->yaw && flipped->yaw && straight->pitch && flipped->pitch);
        EXPECT_NEAR(straight->box.x + straight->box.width, 1.0 - flipped->box.x, 0.03);
        // The landmark model is not exactly mirror-symmetric (moustaches, shadows), so the two
        // readings agree only roughly; a clearly turned face must turn the other way.
        EXPECT_NEAR(*straight->yaw, -*flipped->yaw, 15 * kDeg);
        EXPECT_NEAR(*straight->pitch, *flipped->pitch, 10 * kDeg);
        if (std::abs(*straight->yaw) > 10 * kDeg) {
            ++turned;
            EXPECT_LT(*straight->yaw * *flipped->yaw, 0);
        }
    }
    EXPECT_GE(turned, 2) << "too few turned faces to tell the sign";
}

TEST(DlibFaceReader, BlankAndNoiseFramesHoldNoFace) {
    struct Case {
        const char* what;
        cv::Mat frame;
    };
    std::vector<Case> cases = {
        {"black", cv::Mat(480, 640, CV_8UC1, cv::Scalar(0))},
        {"grey", cv::Mat(480, 640, CV_8UC1, cv::Scalar(128))},
        {"white", cv::Mat(480, 640, CV_8UC1, cv::Scalar(255))},
    };
    for (int seed = 1; seed <= 3; ++seed) {
        cv::Mat noise(480, 640, CV_8UC1);
        cv::RNG rng(static_cast<uint64_t>(seed));
        rng.fill(noise, cv::RNG::UNIFORM, 0, 256);
        cases.push_back({"uniform noise", noise});
        cv::Mat smooth;
        cv::GaussianBlur(noise, smooth, cv::Size(0, 0), 3);
        cv::normalize(smooth, smooth, 0, 255, cv::NORM_MINMAX);
        cases.push_back({"smoothed noise", smooth});
    }
    DlibFaceReader reader;
    for (const auto& c : cases)
        // Several frames each, so the far pass gets its turn too.
        for (int i = 0; i < 3; ++i)
            EXPECT_FALSE(reader.read(c.frame).has_value()) << c.what;
    EXPECT_FALSE(reader.read(cv::Mat()).has_value()) << "empty frame";
}

TEST(DlibFaceReader, TracksAFoundFaceAndLetsGoWhenItLeaves) {
    cv::Mat frame;
    cv::resize(loadGrey(test::facePhotoFolder() + "/2008_002506.jpg"), frame, {640, 480});
    DlibFaceReader::Options options;
    DlibFaceReader reader(options);

    const auto first = reader.read(frame);
    ASSERT_TRUE(first.has_value());
    EXPECT_TRUE(reader.detectedLastFrame());

    // The face moves 12 pixels right and 6 down, a frame at a time.
    for (int step = 1; step <= 6; ++step) {
        cv::Mat moved;
        const cv::Matx23d shift(1, 0, 2.0 * step, 0, 1, 1.0 * step);
        cv::warpAffine(frame, moved, shift, frame.size(), cv::INTER_LINEAR, cv::BORDER_REPLICATE);
        const auto f = reader.read(moved);
        ASSERT_TRUE(f.has_value()) << "step " << step;
        EXPECT_FALSE(reader.detectedLastFrame()) << "step " << step;
        EXPECT_NEAR(f->box.x, first->box.x + 2.0 * step / 640, 3.0 / 640) << "step " << step;
        EXPECT_NEAR(f->box.y, first->box.y - 1.0 * step / 480, 3.0 / 480) << "step " << step;
    }

    // Once the user has gone, the face is let go within one confirmation period.
    const cv::Mat empty(480, 640, CV_8UC1, cv::Scalar(90));
    int stillThere = 0;
    for (int i = 0; i < options.confirmEvery + 1; ++i)
        if (reader.read(empty))
            ++stillThere;
    EXPECT_LT(stillThere, options.confirmEvery);
    EXPECT_FALSE(reader.read(empty).has_value());
    EXPECT_FALSE(reader.tracking());

    // And found afresh when they come back.
    EXPECT_TRUE(reader.read(frame).has_value());
    EXPECT_TRUE(reader.detectedLastFrame());
}

TEST(DlibFaceReader, MissingModelReadsNoFaceAndSaysWhy) {
    DlibFaceReader::Options options;
    options.modelPath = "/nonexistent/landmarks.dat";
    DlibFaceReader reader(options);
    const cv::Mat frame = loadGrey(test::facePhotoFolder() + "/Tom_Cruise_avp_2014_4.jpg");
    EXPECT_FALSE(reader.read(frame).has_value());
    EXPECT_NE(reader.problem().find("/nonexistent/landmarks.dat"), std::string::npos);
}

} // namespace
} // namespace helm
