#include "windows/MapGeometry.h"

#include <algorithm>
#include <cmath>

namespace helm::MapGeometry {

namespace {
constexpr double margin = 12;
// A desk spread over absurd angles (a hand-edited layout) would ask for millions of lines, or
// lines 10 apart at magnitudes where adding 10 changes nothing: draw no grid then.
constexpr double maxLines = 2000;
} // namespace

std::optional<Fit> fit(const Layout& layout, const std::optional<Angle>& gaze, double w, double h) {
    if (!(w > 0) || !(h > 0) || !std::isfinite(w) || !std::isfinite(h)) {
        return std::nullopt;
    }
    const double sign = layout.rightSign;
    std::vector<double> xs;
    std::vector<double> ys;
    for (const Screen& s : layout.screens) {
        xs.push_back(sign * s.yaw - s.width / 2);
        xs.push_back(sign * s.yaw + s.width / 2);
        ys.push_back(s.pitch - s.height / 2);
        ys.push_back(s.pitch + s.height / 2);
    }
    if (gaze) {
        xs.push_back(sign * gaze->yaw);
        ys.push_back(gaze->pitch);
    }
    if (xs.empty()) {
        xs = {-30, 30};
        ys = {-20, 20};
    }
    auto [minX, maxX] = std::minmax_element(xs.begin(), xs.end());
    auto [minY, maxY] = std::minmax_element(ys.begin(), ys.end());
    const double spanX = (*maxX + margin) - (*minX - margin);
    const double spanY = (*maxY + margin) - (*minY - margin);
    Fit f;
    f.scale = std::min(h / spanY, w / spanX);
    f.minX = *minX - margin - (w / f.scale - spanX) / 2;
    f.maxY = *maxY + margin + (h / f.scale - spanY) / 2;
    return f;
}

Point point(const Fit& f, double rightSign, double yaw, double pitch) {
    return {f.scale * (rightSign * yaw - f.minX), f.scale * (f.maxY - pitch)};
}

Box box(const Fit& f, double rightSign, const Screen& s) {
    Point c = point(f, rightSign, s.yaw, s.pitch);
    double w = f.scale * s.width;
    double h = f.scale * s.height;
    return {c.x - w / 2, c.y - h / 2, w, h};
}

Box handle(const Box& b) {
    constexpr double side = 22;
    constexpr double pad = 4;
    return {b.x + b.w - pad - side, b.y + b.h - pad - side, side, side};
}

std::vector<double> verticalLines(const Fit& f, double w) {
    std::vector<double> out;
    const double end = f.minX + w / f.scale;
    if (!((end - f.minX) / 10 < maxLines) || !(std::abs(f.minX) < 1e12)) {
        return out;
    }
    for (double x = std::floor(f.minX / 10) * 10; x < end; x += 10) {
        // The first multiple of 10 may lie just off the map's left edge.
        if (x >= f.minX) {
            out.push_back(f.scale * (x - f.minX));
        }
    }
    return out;
}

std::vector<Level> horizontalLines(const Fit& f, double h) {
    std::vector<Level> out;
    const double end = f.maxY - h / f.scale;
    if (!((f.maxY - end) / 10 < maxLines) || !(std::abs(f.maxY) < 1e12)) {
        return out;
    }
    for (double y = std::ceil(f.maxY / 10) * 10; y > end; y -= 10) {
        if (y <= f.maxY) { // the first may lie just above the map
            out.push_back({f.scale * (f.maxY - y), y == 0});
        }
    }
    return out;
}

double numberSize(double boxHeight) {
    return std::clamp(0.45 * boxHeight, 16.0, 54.0);
}

bool showsComputerName(double boxHeight) {
    return boxHeight > 70;
}

Screen moved(const Screen& start, double rightSign, double dx, double dy, double scale) {
    Screen s = start;
    s.yaw = start.yaw + rightSign * dx / scale;
    s.pitch = start.pitch - dy / scale;
    return s;
}

Screen resized(const Screen& start, double rightSign, double dx, double dy, double scale) {
    Screen s = start;
    s.width = std::clamp(start.width + dx / scale, minWidth, maxSize);
    s.height = std::clamp(start.height + dy / scale, minHeight, maxSize);
    s.yaw = start.yaw + (s.width - start.width) * rightSign / 2;
    s.pitch = start.pitch - (s.height - start.height) / 2;
    return s;
}

std::optional<Hit> hit(const std::vector<Box>& boxes, bool editable, double px, double py) {
    for (int i = static_cast<int>(boxes.size()) - 1; i >= 0; --i) {
        const Box& b = boxes[static_cast<size_t>(i)];
        if (editable && handle(b).contains(px, py)) {
            return Hit{i, true};
        }
        if (b.contains(px, py)) {
            return Hit{i, false};
        }
    }
    return std::nullopt;
}

} // namespace helm::MapGeometry
