#include "gaze/feed/FeedModel.h"
#include "gaze/feed/HoldProgress.h"

#include <gtest/gtest.h>

namespace helm {
namespace {

Face face(double confidence, Box box = {0.4, 0.4, 0.2, 0.2}) {
    return {box, confidence};
}

TEST(FeedModel, HintSaysFirstWhatStopsTheUserBeingSeen) {
    struct Case {
        const char* what;
        bool cameraOn;
        bool seen;
        std::optional<Face> face;
        std::optional<std::string> hint;
    };
    const Case cases[] = {
        {"camera off, no face", false, true, std::nullopt, "Camera is off"},
        {"camera off, face seen", false, true, face(0.9), "Camera is off"},
        {"camera on, not seen, face present", true, false, face(0.9), "Can't see you"},
        {"camera on, seen, no face", true, true, std::nullopt, std::nullopt},
        {"camera on, seen, unclear face", true, true, face(0.3),
         "Not clear: more light on your face"},
        {"camera on, seen, face far away", true, true, face(0.9, {0.45, 0.45, 0.08, 0.1}),
         "Too far from the camera"},
        {"camera on, seen, well placed face", true, true, face(0.9), std::nullopt},
    };
    for (const auto& c : cases) {
        FeedModel model;
        model.setCameraOn(c.cameraOn);
        model.setSeen(c.seen);
        model.setFace(c.face);
        EXPECT_EQ(model.hint(), c.hint) << c.what;
    }
}

TEST(FeedModel, TellsObserversOnlyOfRealChanges) {
    FeedModel model;
    int told = 0;
    QObject::connect(&model, &FeedModel::changed, [&] { ++told; });
    model.setCameraOn(true);
    model.setCameraOn(true);
    model.setSeen(true);
    model.setFace(face(0.9));
    model.setFace(face(0.9));
    model.setFace(std::nullopt);
    EXPECT_EQ(told, 4);

    HoldProgress hold;
    int held = 0;
    QObject::connect(&hold, &HoldProgress::changed, [&] { ++held; });
    hold.setValue(0.5);
    hold.setValue(0.5);
    hold.setValue(1);
    EXPECT_EQ(held, 2);
    EXPECT_EQ(hold.value(), 1);
}

} // namespace
} // namespace helm
