#include "guide/OnboardingModel.h"

#include <gtest/gtest.h>

#include <regex>

using namespace helm;
using Camera = OnboardingModel::Camera;

namespace {

Screen screen(const std::string& id, bool learned) {
    Screen s;
    s.id = id;
    s.learned = learned;
    return s;
}

TEST(OnboardingModelTest, StartsEmptyWithAFreshCodeAndHooksThatDoNothing) {
    OnboardingModel m;
    EXPECT_EQ(m.step(), 0);
    EXPECT_EQ(m.camera(), Camera::unknown);
    EXPECT_FALSE(m.accessOK() || m.calibrating() || m.done() || m.muted());
    EXPECT_TRUE(m.agents().empty());
    EXPECT_EQ(m.progress(), 0);
    EXPECT_FALSE(m.tailscaleIP() || m.networkIP() || m.targetID() || m.firstSwitch() || m.face() ||
                 m.angle() || m.instruction() || m.checkResult() || m.pairCheck());
    EXPECT_TRUE(std::regex_match(m.code(), std::regex("[0-9]{6}")));
    EXPECT_FALSE(m.macName().empty());
    EXPECT_TRUE(m.screens().empty());
    ASSERT_NE(m.feed, nullptr);
    m.onEnter(3);
    m.onAllowCamera();
    m.onOpenAccess();
    m.onNewCode();
    m.onStartLook();
    m.onStopLook();
    m.onStartPrecise();
    m.onPortrait("x", true);
    m.onPairAnswer(true);
    m.onMute(true);
    m.onIdentify();
    m.onFinish();
    EXPECT_EQ(OnboardingModel::steps[3], std::string("Connect PC"));
}

TEST(OnboardingModelTest, EveryStoreNotifiesAndStepAndMutedCallTheirHookAfterStoring) {
    OnboardingModel m;
    int changes = 0;
    QObject::connect(&m, &OnboardingModel::changed, [&] { ++changes; });
    std::vector<std::string> calls;
    m.onEnter = [&](int s) {
        calls.push_back("enter " + std::to_string(s) + "/" + std::to_string(m.step()));
    };
    m.onMute = [&](bool on) {
        calls.push_back(std::string("mute ") + (on ? "1" : "0") + "/" + (m.muted() ? "1" : "0"));
    };
    m.setStep(3);
    m.setStep(3);
    m.setMuted(true);
    m.setMuted(true);
    m.setAccessOK(false); // unchanged still notifies
    m.setProgress(0);
    m.screensChanged();
    EXPECT_EQ(calls, (std::vector<std::string>{"enter 3/3", "enter 3/3", "mute 1/1", "mute 1/1"}));
    EXPECT_EQ(changes, 7);
}

TEST(OnboardingModelTest, StepDoneFollowsEachStepsRule) {
    struct Case {
        const char* name;
        int step;
        std::function<void(OnboardingModel&)> set;
        bool done;
    };
    auto screensOf = [](std::vector<Screen> list) {
        return [list](OnboardingModel& m) { m.screens = [list] { return list; }; };
    };
    const Case cases[] = {
        {"welcome", 0, [](OnboardingModel&) {}, true},
        {"camera unknown", 1, [](OnboardingModel&) {}, false},
        {"camera allowed", 1, [](OnboardingModel& m) { m.setCamera(Camera::allowed); }, true},
        {"camera blocked", 1, [](OnboardingModel& m) { m.setCamera(Camera::blocked); }, false},
        {"camera missing", 1, [](OnboardingModel& m) { m.setCamera(Camera::missing); }, false},
        {"keyboard untrusted: nothing to wait for", 2, [](OnboardingModel&) {}, true},
        {"keyboard trusted", 2, [](OnboardingModel& m) { m.setAccessOK(true); }, true},
        {"no PC", 3, [](OnboardingModel& m) { m.setAgents({}); }, false},
        {"one PC", 3, [](OnboardingModel& m) { m.setAgents({"pc1"}); }, true},
        {"no screens", 4, screensOf({}), false},
        {"one unlearned", 4, screensOf({screen("a", true), screen("b", false)}), false},
        {"all learned", 4, screensOf({screen("a", true), screen("b", true)}), true},
        {"all learned but running", 4,
         [&](OnboardingModel& m) {
             screensOf({screen("a", true)})(m);
             m.setCalibrating(true);
         },
         false},
        {"fine-tune", 5, [](OnboardingModel&) {}, true},
        {"done", 6, [](OnboardingModel&) {}, true},
        {"beyond", 9, [](OnboardingModel&) {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OnboardingModel m("desk");
        m.setStep(c.step);
        c.set(m);
        EXPECT_EQ(m.stepDone(), c.done);
    }
}

TEST(OnboardingModelTest, CalibratingIsCheckedBeforeTheScreensAreRead) {
    OnboardingModel m("desk");
    int reads = 0;
    m.screens = [&] {
        ++reads;
        return std::vector<Screen>{screen("a", true)};
    };
    m.setStep(4);
    m.setCalibrating(true);
    EXPECT_FALSE(m.stepDone());
    EXPECT_EQ(reads, 0);
}

} // namespace
