#include "gaze/face/DlibFaceReader.h"
#include "gaze/face/PackedShapePredictor.h"

#include <dlib/image_processing/frontal_face_detector.h>
#include <dlib/opencv/cv_image.h>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <mutex>

namespace helm {

namespace {

// Landmark numbers of the 68-point scheme.
constexpr int kChin = 8;
constexpr int kNoseTip = 30;
constexpr int kImageLeftEye = 36;  // 36…41: the user's right eye in an unmirrored image
constexpr int kImageRightEye = 42; // 42…47: the user's left eye
constexpr int kImageLeftEyeOuter = 36;
constexpr int kImageRightEyeOuter = 45;
constexpr int kMouthLeft = 48;
constexpr int kMouthRight = 54;

struct Loaded {
    std::shared_ptr<const PackedShapePredictor> predictor;
    std::string problem;
};

// The landmark model is about 100 MB; every reader in the process shares one copy, loaded by
// the first reader that needs it (on the thread that reads frames, never the main thread).
Loaded loadPredictor(const std::string& path) {
    static std::mutex mutex;
    static std::map<std::string, Loaded> cache;
    std::lock_guard lock(mutex);
    if (auto it = cache.find(path); it != cache.end())
        return it->second;
    Loaded loaded;
    if (!std::ifstream(path).good()) {
        loaded.problem = "face landmark model missing: " + path;
    } else {
        try {
            std::ifstream in(path, std::ios::binary);
            auto predictor =
                std::make_shared<const PackedShapePredictor>(PackedShapePredictor::read(in));
            if (predictor->parts() != 68)
                loaded.problem = "face landmark model has the wrong number of points: " + path;
            else
                loaded.predictor = std::move(predictor);
        } catch (const std::exception& e) {
            loaded.problem = std::string("face landmark model unreadable: ") + e.what();
        }
    }
    cache[path] = loaded;
    return loaded;
}

// dlib unpacks its face detector from a compressed blob, which takes about half a second: done
// once per process, and each reader takes a copy.
dlib::frontal_face_detector faceDetector() {
    static const dlib::frontal_face_detector prototype = dlib::get_frontal_face_detector();
    return prototype;
}

struct Detection {
    cv::Rect2d box; // frame pixels
    double score = 0;
};

cv::Rect2d toRect(const dlib::rectangle& r, double scale, cv::Point2d offset) {
    return {offset.x + r.left() / scale, offset.y + r.top() / scale, r.width() / scale,
            r.height() / scale};
}

dlib::rectangle toDlib(const cv::Rect2d& r) {
    return dlib::rectangle(std::lround(r.x), std::lround(r.y), std::lround(r.x + r.width - 1),
                           std::lround(r.y + r.height - 1));
}

// Where the face sits and how big it is, from the landmarks that move least from frame to frame:
// the middle of the eyes, nose and mouth corners, and a size that mixes the width between the
// eyes with the height from eyes to mouth, so turning or nodding alone changes it only a little.
// The jaw line is left out: it wanders along the cheeks.
struct Anchor {
    cv::Point2d centre;
    double size = 1;
};

Anchor anchorOf(const dlib::full_object_detection& shape) {
    auto at = [&](int i) {
        const auto& p = shape.part(static_cast<unsigned long>(i));
        return cv::Point2d(static_cast<double>(p.x()), static_cast<double>(p.y()));
    };
    cv::Point2d sum(0, 0);
    int count = 0;
    for (int i = 27; i <= 47; ++i, ++count)
        sum += at(i);
    sum += at(kMouthLeft) + at(kMouthRight);
    count += 2;
    const cv::Point2d eyes = (at(kImageLeftEyeOuter) + at(kImageRightEyeOuter)) * 0.5;
    const cv::Point2d mouth = (at(kMouthLeft) + at(kMouthRight)) * 0.5;
    const double across = cv::norm(at(kImageLeftEyeOuter) - at(kImageRightEyeOuter));
    const double down = cv::norm(eyes - mouth);
    return {sum / count, std::max(std::sqrt(across * down), 1.0)};
}

} // namespace

struct DlibFaceReader::State {
    Options options;
    bool loaded = false;
    std::string problem;
    std::shared_ptr<const PackedShapePredictor> predictor;
    dlib::frontal_face_detector detector;
    PupilFinder pupils;

    bool tracking = false;
    bool detected = false;
    // The face box relative to the landmarks' anchor, as the detector drew it when the face was
    // found: centre offset and size in anchor sizes. Tracking keeps the box the predictor sees,
    // and the box reported, in the same relation to the face as on the detected frame.
    cv::Vec4d boxFromMarks;
    Anchor marks;
    double confidence = 0;
    std::optional<PoseSolver::Pose> pose;
    int sinceConfirm = 0;
    int missed = 0;

    void load() {
        if (loaded)
            return;
        loaded = true;
        auto got = loadPredictor(options.modelPath);
        predictor = got.predictor;
        problem = got.problem;
        if (predictor)
            detector = faceDetector();
    }

    // Runs the detector on grey scaled by `scale` (region `area` of the frame only).
    std::vector<Detection> detect(const cv::Mat& grey, cv::Rect area, double scale) {
        area &= cv::Rect(0, 0, grey.cols, grey.rows);
        if (area.width < 8 || area.height < 8)
            return {};
        cv::Mat scaled;
        const cv::Size size(std::max(1, static_cast<int>(std::lround(area.width * scale))),
                            std::max(1, static_cast<int>(std::lround(area.height * scale))));
        cv::resize(grey(area), scaled, size, 0, 0, scale < 1 ? cv::INTER_AREA : cv::INTER_LINEAR);
        std::vector<dlib::rect_detection> found;
        detector(dlib::cv_image<unsigned char>(scaled), found, kAdjust);
        std::vector<Detection> out;
        for (const auto& d : found)
            out.push_back(
                {toRect(d.rect, scale, cv::Point2d(area.x, area.y)), d.detection_confidence});
        return out;
    }

    std::optional<Detection> detectWhole(const cv::Mat& grey) {
        const double quick = std::min(1.0, static_cast<double>(options.detectWidth) / grey.cols);
        auto found = detect(grey, cv::Rect(0, 0, grey.cols, grey.rows), quick);
        if (found.empty() && options.farScale > quick &&
            missed % std::max(options.farEvery, 1) == 0)
            found = detect(grey, cv::Rect(0, 0, grey.cols, grey.rows), options.farScale);
        if (found.empty())
            return std::nullopt;
        // The widest face is the user's; equal widths keep the first found.
        auto best = found.front();
        for (const auto& d : found)
            if (d.box.width > best.box.width)
                best = d;
        return best;
    }

    // Looks for the tracked face again in a region around where it is expected, scaled so the
    // face is comfortably above the detector's smallest size.
    std::optional<Detection> confirm(const cv::Mat& grey, const cv::Rect2d& expected) {
        const cv::Rect area(static_cast<int>(expected.x - expected.width * 0.5),
                            static_cast<int>(expected.y - expected.height * 0.5),
                            static_cast<int>(expected.width * 2),
                            static_cast<int>(expected.height * 2));
        const double scale = std::clamp(110.0 / std::max(expected.width, 1.0), 0.25, 2.0);
        std::optional<Detection> best;
        double bestOverlap = 0.3;
        for (const auto& d : detect(grey, area, scale)) {
            const double overlap =
                (d.box & expected).area() / std::max((d.box | expected).area(), 1.0);
            if (overlap > bestOverlap) {
                bestOverlap = overlap;
                best = d;
            }
        }
        return best;
    }

    cv::Rect2d boxFor(const Anchor& a) const {
        const double w = boxFromMarks[2] * a.size, h = boxFromMarks[3] * a.size;
        return {a.centre.x + boxFromMarks[0] * a.size - w / 2,
                a.centre.y + boxFromMarks[1] * a.size - h / 2, w, h};
    }

    // Places the landmarks inside box and takes their anchor.
    dlib::full_object_detection place(const cv::Mat& grey, const cv::Rect2d& box) {
        auto shape = (*predictor)(grey, toDlib(box));
        marks = anchorOf(shape);
        return shape;
    }

    void adopt(const cv::Rect2d& box) {
        const cv::Point2d centre(box.x + box.width / 2, box.y + box.height / 2);
        boxFromMarks = {(centre.x - marks.centre.x) / marks.size,
                        (centre.y - marks.centre.y) / marks.size, box.width / marks.size,
                        box.height / marks.size};
    }

    static constexpr double kAdjust = -0.2;
    // Movement, in anchor sizes, below which the tracked box stays where it is.
    static constexpr double kStill = 0.03;
};

DlibFaceReader::DlibFaceReader() : DlibFaceReader(Options{}) {}

DlibFaceReader::DlibFaceReader(Options options) : state_(std::make_unique<State>()) {
    state_->options = std::move(options);
}

DlibFaceReader::~DlibFaceReader() = default;
DlibFaceReader::DlibFaceReader(DlibFaceReader&&) noexcept = default;
DlibFaceReader& DlibFaceReader::operator=(DlibFaceReader&&) noexcept = default;

std::string DlibFaceReader::defaultModelPath() {
    return "/usr/share/dlib/shape_predictor_68_face_landmarks.dat";
}

// dlib's score is the detector's margin: 0 is its own threshold, clear frontal faces score
// about 1 and above. We also accept faces down to -0.2 (dim, blurred or partly turned) so the
// user can be told to add light instead of simply not being seen; lower scores are mostly not
// faces at all (animals, patterns). The mapping is linear from -0.2 → 0 to 0.6 → 1 (clamped),
// which puts dlib's own threshold at 0.25 and a score of 0.2 at 0.5: below that the face is
// reported as unclear and its box is not trusted for the head's distance.
double DlibFaceReader::confidence(double score) {
    return std::clamp((score + 0.2) / 0.8, 0.0, 1.0);
}

bool DlibFaceReader::tracking() const {
    return state_->tracking;
}
bool DlibFaceReader::detectedLastFrame() const {
    return state_->detected;
}

std::string DlibFaceReader::problem() const {
    state_->load();
    return state_->problem;
}

void DlibFaceReader::reset() {
    state_->tracking = false;
    state_->sinceConfirm = 0;
    state_->missed = 0;
}

std::optional<FaceObservation> DlibFaceReader::read(const cv::Mat& grey) {
    State& s = *state_;
    s.detected = false;
    if (grey.empty() || grey.type() != CV_8UC1)
        return std::nullopt;
    s.load();
    if (!s.predictor)
        return std::nullopt;

    const cv::Rect2d frame(0, 0, grey.cols, grey.rows);
    dlib::full_object_detection shape;
    cv::Rect2d box;
    bool found = false;

    if (s.tracking) {
        box = s.boxFor(s.marks);
        const Anchor before = s.marks;
        // Now and then the detector checks that the tracked landmarks still sit on a face; its
        // box is not taken over, so the reported box does not jump at each check.
        if (++s.sinceConfirm >= s.options.confirmEvery) {
            s.sinceConfirm = 0;
            if (auto d = s.confirm(grey, box))
                s.confidence = confidence(d->score);
            else
                s.tracking = false;
        }
        if (s.tracking) {
            shape = s.place(grey, box);
            const double grew = s.marks.size / before.size;
            const cv::Rect2d now = s.boxFor(s.marks);
            const double inside = (now & frame).area() / std::max(now.area(), 1.0);
            // A face that jumped in size or slid out of the frame is no longer the face we had.
            if (grew > 0.7 && grew < 1.4 && inside > 0.6) {
                found = true;
                // The box follows the face only once it has really moved: fed back every
                // frame, the predictor's own jitter would make a still face wander.
                const double moved = cv::norm(s.marks.centre - before.centre) / before.size;
                if (moved < State::kStill && std::abs(grew - 1) < State::kStill)
                    s.marks = before;
            } else {
                s.tracking = false;
            }
        }
    }

    if (!found) {
        s.detected = true;
        auto d = s.detectWhole(grey);
        if (!d) {
            ++s.missed;
            return std::nullopt;
        }
        s.missed = 0;
        box = d->box;
        s.confidence = confidence(d->score);
        shape = s.place(grey, box);
        s.adopt(box);
        s.tracking = true;
        s.sinceConfirm = 0;
    } else {
        box = s.boxFor(s.marks);
    }

    FaceObservation f;
    const double w = grey.cols, h = grey.rows;
    f.box = {box.x / w, 1.0 - (box.y + box.height) / h, box.width / w, box.height / h};
    f.confidence = s.confidence;
    auto relative = [&](double px, double py) {
        return Point2{(px - box.x) / box.width, (box.y + box.height - py) / box.height};
    };
    EyeLandmarks marks;
    auto outline = [&](int first, std::optional<std::vector<Point2>>& points,
                       std::optional<std::vector<Point2>>& pupil) {
        std::vector<cv::Point2d> pixels;
        points.emplace();
        for (int i = first; i < first + 6; ++i) {
            const auto& p = shape.part(static_cast<unsigned long>(i));
            pixels.emplace_back(p.x(), p.y());
            points->push_back(relative(p.x(), p.y()));
        }
        if (auto c = s.pupils.find(grey, pixels))
            pupil = std::vector<Point2>{relative(c->x, c->y)};
    };
    outline(kImageRightEye, marks.leftEye, marks.leftPupil);
    outline(kImageLeftEye, marks.rightEye, marks.rightPupil);
    f.landmarks = std::move(marks);

    PoseSolver::Points points;
    const int order[6] = {kNoseTip,   kChin,      kImageLeftEyeOuter, kImageRightEyeOuter,
                          kMouthLeft, kMouthRight};
    for (int i = 0; i < 6; ++i) {
        const auto& p = shape.part(static_cast<unsigned long>(order[i]));
        points[static_cast<std::size_t>(i)] = {static_cast<double>(p.x()),
                                               static_cast<double>(p.y())};
    }
    if (!found)
        s.pose.reset();
    s.pose = PoseSolver(grey.cols, grey.rows, s.options.hFov).solve(points, s.pose);
    if (const auto& pose = s.pose) {
        f.yaw = pose->yaw;
        f.pitch = pose->pitch;
    }
    return f;
}

} // namespace helm
