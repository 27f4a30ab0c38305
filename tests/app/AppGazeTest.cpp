#include "AppFixture.h"
#include "app/TestPort.h"
#include "gaze/Head.h"
#include "gaze/camera/FakeCamera.h"
#include "gaze/camera/GazeEngine.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <algorithm>
#include <chrono>
#include <thread>

using namespace helm;

namespace {

struct AppGazeTest : ::testing::Test, test::AppFixture {};

Screen screen(const std::string& id, int number, double yaw,
              std::optional<std::string> computer = std::nullopt) {
    Screen s;
    s.id = id;
    s.number = number;
    s.name = "Panel";
    s.computer = std::move(computer);
    s.computerName = s.computer ? "PC" : "This Mac";
    s.display = number - 1;
    s.yaw = yaw;
    s.learned = true;
    return s;
}

// Two screens of this Mac, left and right, and one of a PC further right.
Layout desk() {
    Layout l;
    l.screens = {screen("mac/1-1-1", 1, -20), screen("mac/2-2-2", 2, 20),
                 screen("pc1/3-3-3", 3, 60, "pc1")};
    return l;
}

// Feeds the same head angle for long enough for the picker to settle on a screen.
void holdLook(App& app, Angle head) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(600);
    while (std::chrono::steady_clock::now() < until) {
        app.saw(head, std::nullopt);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

TEST_F(AppGazeTest, AHeldLookMovesFocusThroughTheRouterOnlyWhileFollowing) {
    auto app = make({"--test-port", "0", "--no-camera"});
    app->setLayout(desk());

    holdLook(*app, {20, 0});
    EXPECT_EQ(app->picker.current, "mac/2-2-2");
    EXPECT_TRUE(wasLogged("look mac/2-2-2 yaw=20.0"));
    EXPECT_TRUE(wasLogged("keys → mac/2-2-2"));
    EXPECT_TRUE(wasLogged("mouse → mac/2-2-2"));
    EXPECT_EQ(app->router().keys, "mac/2-2-2");
    EXPECT_EQ(countLogged("look "), 1) << "one look for one settled choice";

    app->togglePause();
    EXPECT_TRUE(app->router().paused);
    EXPECT_TRUE(wasLogged("paused"));
    holdLook(*app, {-20, 0});
    EXPECT_EQ(app->picker.current, "mac/2-2-2") << "the picker is not updated while paused";
    ASSERT_TRUE(app->angle.has_value());
    EXPECT_EQ(app->angle->yaw, -20) << "the angle is still kept";
    EXPECT_EQ(countLogged("look "), 1);

    app->togglePause();
    EXPECT_FALSE(app->router().paused);
    EXPECT_TRUE(wasLogged("resumed"));
    holdLook(*app, {-20, 0});
    EXPECT_EQ(app->router().keys, "mac/1-1-1");

    app->saw(std::nullopt, std::nullopt);
    EXPECT_FALSE(app->angle.has_value()) << "a frame without a head clears the angle";
}

TEST_F(AppGazeTest, LooksAtUnknownOrUnconnectedScreensLeaveFocusAlone) {
    auto app = make({"--test-port", "0", "--no-camera"});
    app->setLayout(desk());
    const std::string before = app->router().keys;
    struct Case {
        std::string id;
        bool connected;
        bool moves;
    };
    const Case cases[] = {
        {"mac/9-9-9", false, false},
        {"pc1/3-3-3", false, false},
        {"pc1/3-3-3", true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        if (c.connected)
            app->connected.insert("pc1");
        const std::string refused = "look " + c.id + ": not connected, input stays";
        const int earlier = countLogged(refused);
        app->lookAt(c.id, 1.0, false);
        EXPECT_EQ(countLogged(refused) - earlier, c.moves ? 0 : 1);
        EXPECT_EQ(app->router().keys, c.moves ? c.id : before);
    }
}

TEST_F(AppGazeTest, FacesRefineTheHeadPositionAndTimeTheHint) {
    auto app = make({"--test-port", "0", "--no-camera"});
    const Face centred{{0.4, 0.4, 0.2, 0.2}, 0.9};
    const Face nearer{{0.3, 0.3, 0.4, 0.4}, 0.9};
    const Face unclear{{0.1, 0.1, 0.2, 0.2}, 0.49};

    app->faceSeen(centred);
    ASSERT_TRUE(app->headPos.has_value());
    EXPECT_EQ(*app->headPos, Head::position(centred.box)) << "the first confident face";
    EXPECT_FALSE(app->hintSince.has_value());

    app->faceSeen(nearer);
    const V3 expected = Head::position(centred.box) * 0.7 + Head::position(nearer.box) * 0.3;
    EXPECT_NEAR(app->headPos->z, expected.z, 1e-9);

    app->faceSeen(unclear);
    EXPECT_NEAR(app->headPos->z, expected.z, 1e-9) << "an unclear face leaves it";
    EXPECT_EQ(app->face, unclear);
    EXPECT_EQ(app->feed.face(), unclear);
    ASSERT_TRUE(app->hintSince.has_value());
    EXPECT_EQ(app->hintSince->text, "Not clear: more light on your face");
    const double since = app->hintSince->at;

    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    app->faceSeen(unclear);
    EXPECT_EQ(app->hintSince->at, since) << "the same hint keeps its first time";

    app->faceSeen(Face{{0.45, 0.45, 0.05, 0.05}, 0.9});
    ASSERT_TRUE(app->hintSince.has_value());
    EXPECT_EQ(app->hintSince->text, "Too far from the camera");
    EXPECT_GT(app->hintSince->at, since);

    app->faceSeen(std::nullopt);
    EXPECT_FALSE(app->hintSince.has_value());
    EXPECT_TRUE(app->headPos.has_value()) << "the head position is never cleared";
}

TEST_F(AppGazeTest, CameraSwitchesAndItsLogLines) {
    auto app = make({"--test-port", "0"});
    app->applicationDidFinishLaunching();
    if (app->gaze().available())
        GTEST_SKIP() << "this machine has a camera";
    EXPECT_TRUE(wasLogged("camera: none found"));
    EXPECT_FALSE(app->cameraOn);
    EXPECT_FALSE(wasLogged("camera on (launch)"));

    app->setCamera(true, "you asked");
    EXPECT_FALSE(app->cameraOn) << "no camera: turning it on does nothing";
    EXPECT_FALSE(app->feed.cameraOn());
    EXPECT_FALSE(wasLogged("camera on (you asked)"));

    // Nobody seen for 10 s: the engine's report switches the camera off once.
    app->cameraOn = true;
    app->feed.setCameraOn(true);
    ASSERT_TRUE(app->gaze().onAway);
    app->gaze().onAway();
    EXPECT_FALSE(app->cameraOn);
    EXPECT_FALSE(app->feed.cameraOn());
    EXPECT_EQ(countLogged("camera off (nobody there for 10 s)"), 1);
    app->gaze().onAway();
    EXPECT_EQ(countLogged("camera off (nobody there for 10 s)"), 1);

    app->cameraOn = true;
    app->setCamera(false, "you asked");
    EXPECT_FALSE(app->cameraOn);
    EXPECT_TRUE(wasLogged("camera off (you asked)"));
    app->setCamera(false, "you asked");
    EXPECT_EQ(countLogged("camera off (you asked)"), 1) << "no change, no line";
    app->applicationWillTerminate();
}

TEST_F(AppGazeTest, ACameraThatFailsGoesOffOnceAndCanBeTurnedOnAgain) {
    using Step = test::FakeCamera::Step;
    auto camera = std::make_shared<test::FakeCamera>(std::deque<Step>{Step::failOpen});
    auto app = make({"--test-port", "0"});
    app->makeGaze = [camera] {
        GazeEngine::Options options;
        options.camera = camera;
        return std::make_unique<GazeEngine>(options);
    };
    auto runUntil = [](const std::function<bool()>& done) {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    };
    app->applicationDidFinishLaunching();
    EXPECT_TRUE(wasLogged("camera on (launch)"));
    ASSERT_TRUE(runUntil([&] { return !app->cameraOn; }));
    EXPECT_FALSE(app->feed.cameraOn());
    EXPECT_EQ(countLogged("camera off"), 1);
    EXPECT_TRUE(wasLogged("camera off (camera /dev/video0 cannot be opened)"));
    EXPECT_EQ(app->health(), "Camera can't be opened") << "not a face out of view";

    app->setCamera(true, "you asked");
    EXPECT_TRUE(app->cameraOn);
    EXPECT_TRUE(runUntil([&] { return app->gaze().processed > 0; }));
    EXPECT_TRUE(app->cameraOn);
    EXPECT_TRUE(app->feed.cameraOn());
    EXPECT_EQ(countLogged("camera off"), 1);
    app->applicationWillTerminate();
}

TEST_F(AppGazeTest, TestPortFeedsAnglesFacelessFramesAndLooks) {
    auto app = make({"--test-port", "0", "--no-camera"});
    app->setLayout(desk());
    struct Case {
        std::string line;
        bool answered;
        std::optional<Angle> angle;
    };
    const Case cases[] = {
        {"angle 12.5 -3", true, Angle{12.5, -3}}, {"angle 12.5 -3 7", true, Angle{12.5, -3}},
        {"noface", true, std::nullopt},           {"angle 1", false, std::nullopt},
        {"angle ten 2", false, std::nullopt},     {"angle 1 nan", false, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        app->angle.reset();
        const std::string answer = TestPort::run(c.line, *app);
        EXPECT_EQ(answer != "?", c.answered) << answer;
        EXPECT_EQ(app->angle, c.angle);
    }

    EXPECT_EQ(TestPort::run("look", *app), "?");
    const std::string answer = TestPort::run("look mac/1-1-1", *app);
    EXPECT_NE(answer.find("gaze=mac/1-1-1"), std::string::npos) << answer;
    EXPECT_TRUE(wasLogged("pretend look mac/1-1-1"));
    EXPECT_EQ(app->router().keys, "mac/1-1-1");
}

} // namespace
