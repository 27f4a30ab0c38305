#pragma once

#include "desk/Screen.h"
#include "overlays/JumpRecipe.h"

#include <optional>
#include <string>
#include <string_view>

// How every jump moves: easing, the side the pointer arrives from and the pointer's place
// along a motion path. One definition serves the drawn effect, the preview and the real
// pointer's glide, so all three move alike. Points have y growing downwards.
namespace helm::Jumps {

struct Point {
    double x = 0;
    double y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// x, y is the top-left corner.
struct Rect {
    double x = 0;
    double y = 0;
    double w = 0;
    double h = 0;
};

// "linear", "in", "inout", "spring"; "out" for anything else or no name. x is not clamped.
double ease(std::string_view name, double x);
double ease(const std::optional<std::string>& name, double x);
inline double ease(const char* name, double x) {
    return ease(std::string_view(name), x);
}
// The classic four-arc bounce, 0 at 0 and 1 at 1.
double bounceOut(double x);
// The unit vector from the landing point towards the side the letter names: "R" right, "U"
// up, "D" down, anything else ("L", "-") left.
Point dirVector(std::string_view dir);
// The side the pointer arrives from when focus moves from one screen to another: "L", "R",
// "U", "D", or "-" without a previous screen or for the same screen.
std::string direction(const Screen* from, const Screen& to, double rightSign);
// The start of a motion path: dist from the target towards the arrival side, kept 20 points
// (scaled) inside the area.
Point origin(const JumpRecipe::Motion& motion, Point to, std::string_view dir, const Rect& area,
             double scale = 1);
// The pointer along the motion's path at progress p, clamped into [0, 1] (NaN counts as 0).
// An unknown path puts it on the target.
Point position(const JumpRecipe::Motion& motion, double p, Point to, std::string_view dir,
               const Rect& area, double scale = 1);

} // namespace helm::Jumps
