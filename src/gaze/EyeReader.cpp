#include "gaze/EyeReader.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace helm {

namespace {

struct Offset {
    double x;
    double y;
};

// The pupil's displacement from the middle of the eye, in eye widths.
std::optional<Offset> eyeOffset(const std::optional<std::vector<Point2>>& eye,
                                const std::optional<std::vector<Point2>>& pupil, double boxW,
                                double boxH) {
    if (!eye || eye->size() < 4 || !pupil || pupil->empty()) {
        return std::nullopt;
    }
    const Point2& p = pupil->front();
    const Point2* lo = &eye->front();
    const Point2* hi = &eye->front();
    for (const Point2& q : *eye) {
        if (q.x < lo->x) {
            lo = &q;
        }
        if (q.x > hi->x) {
            hi = &q;
        }
    }
    double cx = (lo->x + hi->x) / 2;
    double cy = (lo->y + hi->y) / 2;
    // The eye's width as a fraction of the image: too narrow an eye gives no usable offset.
    double span = boxW * (hi->x - lo->x);
    if (!(span > 0.005)) {
        return std::nullopt;
    }
    Offset off{boxW * (p.x - cx) / span, boxH * (p.y - cy) / span};
    // A detector's stray not-a-number would otherwise stay in the smoothing for good.
    if (!std::isfinite(off.x) || !std::isfinite(off.y)) {
        return std::nullopt;
    }
    return off;
}

} // namespace

std::optional<Angle> EyeReader::read(const FaceObservation& face) {
    if (!face.landmarks) {
        return smooth;
    }
    const EyeLandmarks& marks = *face.landmarks;
    double w = face.box.width;
    double h = face.box.height;
    std::optional<Offset> left = eyeOffset(marks.leftEye, marks.leftPupil, w, h);
    std::optional<Offset> right = eyeOffset(marks.rightEye, marks.rightPupil, w, h);
    if (!left && !right) {
        return smooth;
    }
    double mx = 0;
    double my = 0;
    int n = 0;
    for (const auto& off : {left, right}) {
        if (off) {
            mx += off->x;
            my += off->y;
            ++n;
        }
    }
    mx /= n;
    my /= n;
    // A pupil reaches about a third of the eye's width off centre; beyond that the landmarks
    // are wrong, so the eye angle is capped at 33 degrees.
    double yaw = std::clamp(mx, -0.3, 0.3) * 110;
    double pitch = std::clamp(my, -0.3, 0.3) * 110;
    if (smooth) {
        yaw = 0.4 * yaw + 0.6 * smooth->yaw;
        pitch = 0.4 * pitch + 0.6 * smooth->pitch;
    }
    smooth = Angle{yaw, pitch};
    return smooth;
}

} // namespace helm
