#pragma once

#include "desk/Angle.h"
#include "desk/Layout.h"
#include "desk/Screen.h"

#include <optional>
#include <vector>

namespace helm {

// The flat map's arithmetic: where a direction in degrees lands in the map's points, the grid,
// the labels' sizes, and what a drag does to a screen. Map points have their origin at the top
// left, y growing downwards.
namespace MapGeometry {

// The mapping: a direction (yaw, pitch) is drawn at x = scale × (rightSign × yaw − minX),
// y = scale × (maxY − pitch); scale is points per degree.
struct Fit {
    double minX = 0;
    double maxY = 0;
    double scale = 1;
    friend bool operator==(const Fit&, const Fit&) = default;
};

struct Point {
    double x = 0;
    double y = 0;
};

struct Box {
    double x = 0; // top left
    double y = 0;
    double w = 0;
    double h = 0;
    bool contains(double px, double py) const {
        return px >= x && px <= x + w && py >= y && py <= y + h;
    }
};

// The mapping that shows every screen and the gaze point with 12 degrees to spare, centred in
// a map of w × h points. Nothing for a map without area, where the scale would be 0 / 0.
std::optional<Fit> fit(const Layout& layout, const std::optional<Angle>& gaze, double w, double h);

Point point(const Fit& f, double rightSign, double yaw, double pitch);
Box box(const Fit& f, double rightSign, const Screen& s);
// The resize handle's 22 × 22 frame, 4 inside the box's bottom-right corner.
Box handle(const Box& b);

// Grid lines every 10 degrees inside a map of w × h: the x of each vertical line, and the y of
// each horizontal one with whether it is eye level (pitch 0).
std::vector<double> verticalLines(const Fit& f, double w);
struct Level {
    double y = 0;
    bool eyeLevel = false;
};
std::vector<Level> horizontalLines(const Fit& f, double h);

// The screen number's pixel size for a box of that height, and whether the computer name fits.
double numberSize(double boxHeight);
bool showsComputerName(double boxHeight);

// The smallest and largest size a resize reaches, in degrees. Past 170 no monitor is real and
// the space rectangle guessed from the size would turn inside out.
inline constexpr double minWidth = 6;
inline constexpr double minHeight = 5;
inline constexpr double maxSize = 170;

// The screen start moved or resized by a drag of (dx, dy) points, dy downwards, at scale.
// A resize keeps the box's top-left corner where it was, in both yaw directions.
Screen moved(const Screen& start, double rightSign, double dx, double dy, double scale);
Screen resized(const Screen& start, double rightSign, double dx, double dy, double scale);

// What a press at (px, py) takes: later boxes lie above earlier ones, and on one box its
// handle (only on an editable map) wins over the box.
struct Hit {
    int index = 0; // into the boxes
    bool handle = false;
    friend bool operator==(const Hit&, const Hit&) = default;
};
std::optional<Hit> hit(const std::vector<Box>& boxes, bool editable, double px, double py);

} // namespace MapGeometry
} // namespace helm
