#include "gaze/Head.h"

#include <algorithm>
#include <cmath>

namespace helm {

namespace {

constexpr double toRad = std::numbers::pi / 180;

} // namespace

V3 Head::position(const Box& box) {
    double t = std::tan(hFov / 2);
    // A face narrower than this is a misdetection; flooring it keeps z finite.
    double w = std::max(box.width, 0.02);
    double z = faceWidthCm / (w * 2 * t);
    // The image is not mirrored: a face in its left half is to the user's right (positive x).
    double x = (box.midX() - 0.5) * -2 * t * z;
    double y = (box.midY() - 0.5) * 2 * (t / aspect) * z;
    return V3{x, y, z};
}

V3 Head::direction(const V3& from, const Angle& angle, const Angle& bias, double rightSign) {
    V3 v = (from * -1.0).unit();
    double yaw0 = std::atan2(v.x, -v.z);
    double pitch0 = std::asin(std::clamp(v.y, -1.0, 1.0));
    double yaw = yaw0 + (angle.yaw - bias.yaw) * rightSign * toRad;
    double pitch = pitch0 + (angle.pitch - bias.pitch) * toRad;
    return V3{std::sin(yaw) * std::cos(pitch), std::sin(pitch), -std::cos(yaw) * std::cos(pitch)};
}

double Head::degrees(const V3& a, const V3& b) {
    return degreesBetween(a, b);
}

} // namespace helm
