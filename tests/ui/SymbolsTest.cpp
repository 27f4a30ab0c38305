#include "ui/Symbols.h"
#include "ui/StatusSymbols.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace helm;

namespace {

// A point at radius r (in em) and 22.5° from the x axis: on a true circle near its rim, but
// outside an octagon inscribed in it.
QPointF rim(double r) {
    const double a = std::numbers::pi / 8;
    return {r * std::cos(a), -r * std::sin(a)};
}

} // namespace

TEST(Symbols, CutOutsStayOpenAndCurvesRoundAtEverySize) {
    const struct {
        bool status; // the status item's set
        const char* name;
        QPointF at; // in em, from the icon's centre
        bool filled;
    } cases[] = {
        {false, "checkmark.circle.fill", {-0.06, 0.17}, false}, // the tick
        {false, "checkmark.circle.fill", {0.2, 0.2}, true},
        {false, "checkmark.circle.fill", rim(0.47), true},
        {false, "exclamationmark.triangle.fill", {0, 0}, false},    // the bar of the "!"
        {false, "exclamationmark.triangle.fill", {0, 0.26}, false}, // its dot
        {false, "exclamationmark.triangle.fill", {0.25, 0.3}, true},
        {true, "exclamationmark.triangle.fill", {0, 0}, false},
        {false, "circle", rim(0.455), true},
        {false, "circle", {0, 0}, false},
        {false, "video.slash", {0.08, 0.2}, false}, // the gap beside the slash
        {true, "pause.circle.fill", {-0.135, 0}, false},
        {true, "pause.circle.fill", rim(0.46), true},
        {true, "eye.fill", {0.15, 0}, false},
        {true, "eye.fill", {0, 0}, true},
        {true, "gearshape", {0, 0}, false},
    };
    for (double size : {12.0, 64.0}) {
        for (const auto& c : cases) {
            QPainterPath p =
                c.status ? StatusSymbols::path(c.name, size) : Symbols::path(c.name, size);
            EXPECT_EQ(c.filled, p.contains(c.at * size))
                << c.name << " at (" << c.at.x() << ", " << c.at.y() << ") em, " << size << " px";
        }
    }
}
