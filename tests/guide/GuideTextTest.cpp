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

TEST(GuideTextTest, CameraStateAndWhatThePageSaysFromTheNodesAndTheEngine) {
    using Camera = OnboardingModel::Camera;
    auto node = [](int error, std::optional<std::string> holder = {}) {
        return CameraNode{"/dev/video0", error, std::move(holder)};
    };
    const std::string missing = "No camera is attached";
    const std::string group = "Your user may not open /dev/video0. Add yourself to the video";
    const std::string busy = "/dev/video0 is in use by zoom.";
    struct Case {
        const char* name;
        std::vector<CameraNode> nodes;
        bool engine;
        Camera state;
        std::string note; // how it starts; empty for none
    };
    const Case cases[] = {
        {"no node", {}, true, Camera::missing, missing},
        {"not in the video group", {node(EACCES), node(EACCES)}, true, Camera::blocked, group},
        {"not permitted", {node(EPERM)}, false, Camera::blocked, group},
        {"one refused, one opens", {node(EACCES), node(0)}, true, Camera::allowed, ""},
        {"opens, engine has it", {node(0)}, true, Camera::allowed, ""},
        {"opens, engine found none", {node(0)}, false, Camera::missing, missing},
        {"busy, engine has it", {node(EBUSY)}, true, Camera::allowed, ""},
        {"busy, engine found none", {node(EBUSY)}, false, Camera::missing, missing},
        {"held by another program", {node(0, "zoom"), node(0)}, true, Camera::blocked, busy},
        {"held and refused", {node(EACCES), node(EACCES, "zoom")}, true, Camera::blocked, busy},
    };
    for (const Case& c : cases) {
        const Camera state = cameraState(c.nodes, c.engine);
        EXPECT_EQ(state, c.state) << c.name;
        const std::string note = cameraNote(c.nodes, state).value_or("");
        EXPECT_EQ(note.substr(0, c.note.size()), c.note) << c.name;
        EXPECT_EQ(note.empty(), c.note.empty()) << c.name;
    }
}

} // namespace
