// The whole road without a camera: synthetic held looks calibrate a two-screen desk, the fit
// places the screens, and the picker then follows a look from one screen to the other.
#include "gaze/CalFit.h"
#include "gaze/Calibrator.h"
#include "gaze/GazePicker.h"

#include <gtest/gtest.h>

#include <string>

using namespace helm;

namespace {

// Where the user's head points for each target: screen 1 straight ahead, screen 2 to its
// right, both a little above the camera.
Angle lookAt(const CalTarget& t) {
    switch (t.kind) {
    case CalTarget::Kind::camera:
        return {0, 0};
    case CalTarget::Kind::turnRight:
        return {25, 0};
    case CalTarget::Kind::keyboard:
        return {0, -35};
    case CalTarget::Kind::corner:
        break;
    }
    double centre = t.screen == "mac/1" ? 0 : 40;
    auto [x, y] = spot(t.at);
    return {centre + (x - 0.5) * 30, 12 - (y - 0.5) * 16};
}

Screen screen(std::string id, int number) {
    Screen s;
    s.id = std::move(id);
    s.number = number;
    return s;
}

} // namespace

TEST(WholeRoad, CalibrateThenPick) {
    Layout layout;
    // Listed in the other order than their numbers, as a merge may leave them.
    layout.screens = {screen("mac/2", 2), screen("mac/1", 1)};
    const V3 head{1, -7, 58};

    double t = 100;
    Calibrator cal(layout.screens, true, t);
    ASSERT_EQ(11u, cal.steps.size());
    int captured = 0;
    bool finished = false;
    while (!finished && t < 200) {
        auto step = cal.current();
        ASSERT_TRUE(step);
        Angle look = lookAt(step->target);
        // A small eye offset that the mix folds in; the head holds still.
        auto ev = cal.feed(look, Angle{0.5, 0.25}, 0.2, t, head);
        if (ev) {
            ++captured;
            finished = ev->kind == Calibrator::Event::Kind::finished;
            cal.ready(t + 0.5); // the next prompt shows half a second later
            t += 0.5;
        }
        t += 1 / 15.0;
    }
    ASSERT_TRUE(finished);
    EXPECT_EQ(11, captured);

    cal.apply(layout, 0.2);
    ASSERT_TRUE(layout.cal);
    EXPECT_EQ(11u, layout.cal->steps.size());
    ASSERT_TRUE(layout.bias);
    EXPECT_NEAR(0.1, layout.bias->yaw, 1e-9);
    EXPECT_EQ(1, layout.rightSign);
    EXPECT_EQ(head, layout.seat);
    const Screen& two = layout.screens[0];
    const Screen& one = layout.screens[1];
    EXPECT_TRUE(one.learned && two.learned && one.rect && two.rect);
    EXPECT_NEAR(0.1, one.yaw, 1e-9);
    EXPECT_NEAR(40.1, two.yaw, 1e-9);
    EXPECT_NEAR(1.18 * 30, one.width, 1e-9);

    // Following: the first look names screen 1 at once; a look at screen 2 takes over only
    // after the settle time.
    GazePicker picker;
    picker.settle = 0.2;
    EXPECT_EQ(std::optional<std::string>("mac/1"),
              picker.update(layout.gaze(Angle{1, 13}, std::nullopt), layout, 500, head));
    // The new winner starts at 1/16 s and commits on the first frame 0.2 s later (5/16 s).
    for (int k = 1; k <= 6; ++k) {
        auto id = picker.update(Angle{41, 10}, layout, 500 + k / 16.0, head);
        EXPECT_EQ(k == 5 ? std::optional<std::string>("mac/2") : std::nullopt, id) << k;
    }
    EXPECT_EQ(std::optional<std::string>("mac/2"), picker.current);
}
