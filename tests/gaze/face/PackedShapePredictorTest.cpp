#include "gaze/face/PackedShapePredictor.h"
#include "FacePhotos.h"
#include "gaze/face/DlibFaceReader.h"

#include <dlib/image_processing/shape_predictor.h>
#include <dlib/opencv/cv_image.h>
#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>

#include <fstream>
#include <sstream>

namespace helm {
namespace {

void expectSamePlacement(const dlib::full_object_detection& ours,
                         const dlib::full_object_detection& theirs) {
    ASSERT_EQ(ours.num_parts(), theirs.num_parts());
    for (unsigned long i = 0; i < ours.num_parts(); ++i)
        EXPECT_EQ(ours.part(i), theirs.part(i)) << "landmark " << i;
}

TEST(PackedShapePredictor, PlacesTheLandmarksExactlyAsTheModelItWasPackedFrom) {
    const std::string path = DlibFaceReader::defaultModelPath();
    dlib::shape_predictor model;
    dlib::deserialize(path) >> model;
    std::ifstream in(path, std::ios::binary);
    const auto packed = PackedShapePredictor::read(in);
    ASSERT_EQ(packed.parts(), 68u);

    const auto photos = test::annotatedPhotos();
    ASSERT_GE(photos.size(), 5u) << "annotations missing: install libdlib19.1";
    for (const auto& photo : photos) {
        const cv::Mat grey = cv::imread(photo.path, cv::IMREAD_GRAYSCALE);
        ASSERT_FALSE(grey.empty()) << photo.path;
        const dlib::cv_image<unsigned char> image(grey);
        for (const auto& face : photo.faces) {
            const cv::Rect& b = face.box;
            // The annotated box, one shifted off it, and one hanging over the image's corner
            // (feature pixels outside the image read as black).
            const dlib::rectangle boxes[] = {
                {b.x, b.y, b.x + b.width - 1, b.y + b.height - 1},
                {b.x + b.width / 7, b.y - b.height / 9, b.x + b.width, b.y + b.height},
                {-b.width / 2, -b.height / 2, b.width / 2, b.height / 2},
            };
            for (const auto& box : boxes) {
                SCOPED_TRACE(photo.path);
                expectSamePlacement(packed(grey, box), model(image, box));
            }
        }
    }
}

// A tiny hand-made model: two landmarks, one cascade of one tree with one split.
struct TinyModel {
    dlib::matrix<float, 0, 1> initial = dlib::matrix<float, 0, 1>(4);
    std::vector<std::vector<dlib::impl::regression_tree>> forests{1};
    std::vector<std::vector<dlib::vector<float, 2>>> pixels{{{0.2f, 0.3f}, {0.8f, 0.6f}}};

    TinyModel() {
        initial = 0.3f, 0.4f, 0.7f, 0.5f;
        dlib::impl::regression_tree tree;
        tree.splits.push_back({0, 1, 4.0f});
        dlib::matrix<float, 0, 1> left(4), right(4);
        left = 0.01f, 0.02f, -0.03f, 0.04f;
        right = -0.05f, 0.06f, 0.07f, -0.08f;
        tree.leaf_values = {left, right};
        forests[0].push_back(tree);
    }

    std::string bytes() const {
        std::ostringstream out;
        dlib::serialize(dlib::shape_predictor(initial, forests, pixels), out);
        return out.str();
    }
};

TEST(PackedShapePredictor, RefusesAModelThatIsNotWhole) {
    struct Case {
        const char* what;
        std::function<std::string()> bytes;
    };
    const Case cases[] = {
        {"empty", [] { return std::string(); }},
        {"cut short", [] { return TinyModel().bytes().substr(0, 40); }},
        {"a later version",
         [] {
             std::string b = TinyModel().bytes();
             std::ostringstream v;
             dlib::serialize(2, v);
             return v.str() + b.substr(v.str().size());
         }},
        {"a split past the feature pixels",
         [] {
             TinyModel m;
             m.forests[0][0].splits[0].idx2 = 2;
             return m.bytes();
         }},
        {"a tree that is not full",
         [] {
             TinyModel m;
             m.forests[0][0].splits.push_back({1, 0, 0.0f});
             m.forests[0][0].leaf_values.push_back(m.forests[0][0].leaf_values[0]);
             return m.bytes();
         }},
        {"a leaf of the wrong size",
         [] {
             TinyModel m;
             m.forests[0][0].leaf_values[1] = dlib::matrix<float, 0, 1>(2);
             return m.bytes();
         }},
    };
    for (const auto& c : cases) {
        std::istringstream in(c.bytes());
        EXPECT_THROW(PackedShapePredictor::read(in), dlib::serialization_error) << c.what;
    }

    // And the whole tiny model reads, placing its points as dlib does on either side of its split.
    TinyModel m;
    std::istringstream in(m.bytes());
    const auto packed = PackedShapePredictor::read(in);
    const dlib::shape_predictor model(m.initial, m.forests, m.pixels);
    cv::Mat grey(40, 40, CV_8UC1, cv::Scalar(50));
    grey(cv::Rect(0, 0, 20, 40)).setTo(200);
    const dlib::cv_image<unsigned char> image(grey);
    for (const dlib::rectangle& box :
         {dlib::rectangle(0, 0, 39, 39), dlib::rectangle(20, 0, 59, 39),
          dlib::rectangle(-20, 0, 19, 39)})
        expectSamePlacement(packed(grey, box), model(image, box));
}

} // namespace
} // namespace helm
