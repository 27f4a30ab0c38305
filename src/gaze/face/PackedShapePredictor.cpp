#include "gaze/face/PackedShapePredictor.h"

#include <dlib/image_processing/shape_predictor.h>
#include <dlib/opencv/cv_image.h>

#include <algorithm>
#include <string>

namespace helm {

namespace {

[[noreturn]] void refuse(const std::string& why) {
    throw dlib::serialization_error("landmark model: " + why);
}

bool fullTree(std::size_t splits) {
    const std::size_t leaves = splits + 1;
    return (leaves & (leaves - 1)) == 0;
}

// How many trees ahead the leaves are fetched: enough to cover a memory load while the
// current leaves are added.
constexpr std::size_t kAhead = 4;

void fetch(const float* leaf, std::size_t floats) {
    const char* bytes = reinterpret_cast<const char*>(leaf);
    for (std::size_t at = 0; at < floats * sizeof(float); at += 64)
        __builtin_prefetch(bytes + at);
}

} // namespace

PackedShapePredictor PackedShapePredictor::read(std::istream& in) {
    // The layout of dlib's shape predictor, version 1.
    int version = 0;
    dlib::deserialize(version, in);
    if (version != 1)
        refuse("unknown version " + std::to_string(version));
    PackedShapePredictor p;
    std::vector<std::vector<dlib::impl::regression_tree>> forests;
    dlib::deserialize(p.initial_, in);
    dlib::deserialize(forests, in);
    dlib::deserialize(p.anchors_, in);
    dlib::deserialize(p.deltas_, in);

    const auto dims = static_cast<std::size_t>(p.initial_.size());
    if (dims == 0 || dims % 2 != 0)
        refuse("the mean shape has an odd or zero size");
    if (forests.size() != p.anchors_.size() || forests.size() != p.deltas_.size())
        refuse("cascades, anchors and offsets differ in number");
    if (!forests.empty() && !forests.front().empty())
        p.splitsPerTree_ = forests.front().front().splits.size();
    if (!fullTree(p.splitsPerTree_))
        refuse("a tree is not full");

    const std::size_t leavesPerTree = p.splitsPerTree_ + 1;
    std::size_t trees = 0;
    for (const auto& forest : forests)
        trees += forest.size();
    p.splits_.reserve(trees * p.splitsPerTree_);
    p.leaves_.reserve(trees * leavesPerTree * dims);
    p.firstTree_.push_back(0);
    for (std::size_t c = 0; c < forests.size(); ++c) {
        const std::size_t features = p.anchors_[c].size();
        if (p.deltas_[c].size() != features)
            refuse("a cascade's anchors and offsets differ in number");
        for (unsigned long anchor : p.anchors_[c])
            if (anchor >= dims / 2)
                refuse("a feature hangs from a landmark that does not exist");
        for (const auto& tree : forests[c]) {
            if (tree.splits.size() != p.splitsPerTree_ || tree.leaf_values.size() != leavesPerTree)
                refuse("trees of different depths");
            for (const auto& s : tree.splits) {
                if (s.idx1 >= features || s.idx2 >= features)
                    refuse("a split compares a feature that does not exist");
                p.splits_.push_back({static_cast<std::uint32_t>(s.idx1),
                                     static_cast<std::uint32_t>(s.idx2), s.thresh});
            }
            for (const auto& leaf : tree.leaf_values) {
                if (static_cast<std::size_t>(leaf.size()) != dims)
                    refuse("a leaf's shape offset has the wrong size");
                p.leaves_.insert(p.leaves_.end(), leaf.begin(), leaf.end());
            }
        }
        p.firstTree_.push_back(p.firstTree_.back() + forests[c].size());
    }
    return p;
}

dlib::full_object_detection PackedShapePredictor::operator()(const cv::Mat& grey,
                                                             const dlib::rectangle& box) const {
    const dlib::cv_image<unsigned char> image(grey);
    const auto dims = static_cast<std::size_t>(initial_.size());
    const std::size_t splitsPerTree = splitsPerTree_;
    const std::size_t leafStride = (splitsPerTree + 1) * dims;
    dlib::matrix<float, 0, 1> shape = initial_;
    std::vector<float> values;
    std::vector<const float*> chosen;
    for (std::size_t c = 0; c + 1 < firstTree_.size(); ++c) {
        dlib::impl::extract_feature_pixel_values(image, box, shape, initial_, anchors_[c],
                                                 deltas_[c], values);
        // Every tree's walk depends only on the feature values, so all walks come first; then
        // the chosen leaves are added in tree order, each while a later one is fetched.
        const std::size_t first = firstTree_[c], count = firstTree_[c + 1] - first;
        chosen.resize(count);
        for (std::size_t t = 0; t < count; ++t) {
            const Split* splits = splits_.data() + (first + t) * splitsPerTree;
            std::size_t i = 0;
            while (i < splitsPerTree) {
                const Split& s = splits[i];
                i = values[s.first] - values[s.second] > s.threshold ? 2 * i + 1 : 2 * i + 2;
            }
            chosen[t] = leaves_.data() + (first + t) * leafStride + (i - splitsPerTree) * dims;
        }
        float* out = &shape(0);
        for (std::size_t t = 0; t < std::min(kAhead, count); ++t)
            fetch(chosen[t], dims);
        for (std::size_t t = 0; t < count; ++t) {
            if (t + kAhead < count)
                fetch(chosen[t + kAhead], dims);
            const float* leaf = chosen[t];
            for (std::size_t k = 0; k < dims; ++k)
                out[k] += leaf[k];
        }
    }

    const dlib::point_transform_affine toImage = dlib::impl::unnormalizing_tform(box);
    std::vector<dlib::point> parts(dims / 2);
    for (std::size_t i = 0; i < parts.size(); ++i)
        parts[i] = toImage(dlib::impl::location(shape, i));
    return dlib::full_object_detection(box, parts);
}

} // namespace helm
