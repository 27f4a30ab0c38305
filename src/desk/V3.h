#pragma once

#include "desk/Json.h"

namespace helm {

// A point or direction in the camera frame, in centimetres: x to the user's right, y up, z
// towards the user.
struct V3 {
    double x = 0;
    double y = 0;
    double z = 0;

    static const V3 up;
    // Where the eyes are assumed to be until calibration measures them.
    static const V3 seat;

    friend V3 operator+(const V3& a, const V3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
    friend V3 operator-(const V3& a, const V3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
    friend V3 operator*(const V3& a, double s) { return {a.x * s, a.y * s, a.z * s}; }
    friend bool operator==(const V3&, const V3&) = default;

    double dot(const V3& b) const { return x * b.x + y * b.y + z * b.z; }
    V3 cross(const V3& b) const {
        return {y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x};
    }
    double length() const;
    // Normalised; a zero or not-a-number length passes through unchanged so that nothing
    // ever divides by zero.
    V3 unit() const;

    json::Json toJson() const;
    static V3 fromJson(const json::Json& j);
};

inline const V3 V3::up{0, 1, 0};
inline const V3 V3::seat{0, -8, 55};

// The angle in degrees between two directions (either may be any length).
double degreesBetween(const V3& a, const V3& b);

} // namespace helm
