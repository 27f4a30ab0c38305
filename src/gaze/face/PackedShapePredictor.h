#pragma once

#include <dlib/geometry/rectangle.h>
#include <dlib/image_processing/full_object_detection.h>
#include <dlib/matrix.h>
#include <opencv2/core.hpp>

#include <cstdint>
#include <istream>
#include <vector>

namespace helm {

// The landmark model (a cascade of regression-tree forests, dlib's shape predictor format) laid
// out for speed. Read as dlib keeps it, each tree's splits and each leaf's shape offsets are
// separate heap blocks, so placing the landmarks spends most of its time waiting on memory. Here
// each cascade's splits are one compact array and all leaves one contiguous block, and the next
// leaves are fetched while the current ones are added. The arithmetic and its order are dlib's,
// so the landmarks come out exactly as dlib's predictor places them.
class PackedShapePredictor {
public:
    // Reads a model in dlib's serialised format. Throws dlib::serialization_error when the stream
    // is not such a model or its trees are not consistent.
    static PackedShapePredictor read(std::istream& in);

    unsigned long parts() const { return static_cast<unsigned long>(initial_.size() / 2); }

    // Places the landmarks of the face in box (pixels of grey, an 8-bit single-channel image).
    dlib::full_object_detection operator()(const cv::Mat& grey, const dlib::rectangle& box) const;

private:
    struct Split {
        std::uint32_t first;
        std::uint32_t second;
        float threshold;
    };

    dlib::matrix<float, 0, 1> initial_;
    // Per cascade: which landmark each feature pixel hangs from and its offset from it.
    std::vector<std::vector<unsigned long>> anchors_;
    std::vector<std::vector<dlib::vector<float, 2>>> deltas_;
    // Per cascade: the index of its first tree; one more entry closes the last cascade.
    std::vector<std::size_t> firstTree_;
    // Every tree has `splitsPerTree_` splits (a full tree) and one more leaf than splits.
    std::size_t splitsPerTree_ = 0;
    std::vector<Split> splits_;
    // Leaf l of tree t starts at ((t × leaves per tree) + l) × initial_.size().
    std::vector<float> leaves_;
};

} // namespace helm
