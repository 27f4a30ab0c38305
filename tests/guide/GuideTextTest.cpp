#include "guide/GuideText.h"
#include "guide/CameraState.h"

#include <gtest/gtest.h>

#include <cerrno>

using namespace helm;

namespace {

TEST(GuideTextTest, TheFaceSentenceNamesEachDirectionByItsSign) {
    struct Case {
        std::optional<Angle> angle;
        std::optional<std::string> text;
    };
    const Case cases[] = {
        {Angle{-12.4, 3.6}, "We see you \u00b7 head 12\u00b0 left, 4\u00b0 up"},
        {Angle{0, 0}, "We see you \u00b7 head 0\u00b0 right, 0\u00b0 up"},
        {Angle{20.6, -7.2}, "We see you \u00b7 head 21\u00b0 right, 7\u00b0 down"},
        {std::nullopt, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(faceText(c.angle), c.text);
}

TEST(GuideTextTest, CameraStateFromTheNodesAndTheEngine) {
    using Camera = OnboardingModel::Camera;
    struct Case {
        const char* name;
        std::vector<int> nodes;
        bool engine;
        Camera state;
    };
    const Case cases[] = {
        {"no node", {}, true, Camera::missing},
        {"not in the video group", {EACCES, EACCES}, true, Camera::blocked},
        {"not permitted", {EPERM}, false, Camera::blocked},
        {"one refused, one opens", {EACCES, 0}, true, Camera::allowed},
        {"opens, engine has it", {0}, true, Camera::allowed},
        {"opens, engine found none", {0}, false, Camera::missing},
        {"busy, engine has it", {EBUSY}, true, Camera::allowed},
        {"busy, engine found none", {EBUSY}, false, Camera::missing},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cameraState(c.nodes, c.engine), c.state) << c.name;
}

} // namespace
