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
    const CameraNode open{"/dev/video0", 0, std::nullopt};
    const CameraNode meta{"/dev/video1", 0, std::nullopt};
    const CameraNode denied{"/dev/video0", EACCES, std::nullopt};
    const CameraNode held{"/dev/video0", 0, "zoom"};
    const std::string missing = "No camera is attached";
    const std::string group = "Your user may not open /dev/video0. Add yourself to the video "
                              "group (sudo usermod -aG video $USER), then log out and back in.";
    const std::string busy =
        "/dev/video0 is in use by zoom. Close that program and Helmvantor can use the camera.";
    struct Case {
        const char* name;
        std::vector<CameraNode> nodes;
        bool engine;
        Camera state;
        std::string note; // the start of it; empty for none
    };
    const Case cases[] = {
        {"no node", {}, true, Camera::missing, missing},
        {"not in the video group",
         {denied, {"/dev/video1", EACCES, {}}},
         true,
         Camera::blocked,
         group},
        {"not permitted",
         {{"/dev/video0", EPERM, {}}},
         false,
         Camera::blocked,
         "Your user may not open /dev/video0."},
        {"one refused, one opens", {denied, meta}, true, Camera::allowed, ""},
        {"opens, engine has it", {open, meta}, true, Camera::allowed, ""},
        {"opens, engine found none", {open}, false, Camera::missing, missing},
        {"busy, engine has it", {{"/dev/video0", EBUSY, {}}}, true, Camera::allowed, ""},
        {"busy, engine found none", {{"/dev/video0", EBUSY, {}}}, false, Camera::missing, missing},
        {"held by another program", {held, meta}, true, Camera::blocked, busy},
        {"held and refused",
         {denied, {"/dev/video0", EACCES, "zoom"}},
         true,
         Camera::blocked,
         busy},
    };
    for (const Case& c : cases) {
        const Camera state = cameraState(c.nodes, c.engine);
        EXPECT_EQ(state, c.state) << c.name;
        const std::optional<std::string> note = cameraNote(c.nodes, state);
        if (c.note.empty())
            EXPECT_EQ(note, std::nullopt) << c.name;
        else
            EXPECT_EQ(note.value_or("").rfind(c.note, 0), 0u) << c.name << ": " << *note;
    }
}

} // namespace
