// The camera's switch and runs without a picture: a camera missing, busy, stuck, plugged in
// late or pulled out, switched off by the user; calibrations and checks that cannot read it.
#include "AppFixture.h"
#include "app/TestPort.h"
#include "gaze/camera/FakeCamera.h"
#include "gaze/camera/GazeEngine.h"
#include "platform/linux/V4l2Camera.h"
#include "platform/sim/FakeDisplaySource.h"
#include "platform/sim/SimInput.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <map>

using namespace helm;

namespace {

using Step = test::FakeCamera::Step;
using Type = InputEvent::Type;

struct AppCameraTest : ::testing::Test, test::AppFixture {
    std::atomic<double> now = 100;                       // the camera's frames read it too
    std::multimap<double, std::function<void()>> timers; // by the time they are due
    int scheduled = 0;                                   // timers set so far
    SimInput* input = nullptr;

    // A launched program over the camera; outside simulation mode unless args say so.
    std::unique_ptr<App> launch(std::shared_ptr<CameraSource> camera,
                                std::vector<std::string> args = {}) {
        defaults.set("onboarded", true);
        timers.clear(); // an earlier program's, which would run as nothing
        Platform p = simPlatform();
        auto sim = std::make_unique<SimInput>();
        input = sim.get();
        p.input = std::move(sim);
        p.displays = std::make_unique<FakeDisplaySource>(std::vector<DisplayInfo>{
            test::display(0, 0, 1920, 1080), test::display(1, 1920, 1920, 1080)});
        auto app = make(std::move(args), std::move(p));
        app->gazeClock = [this] { return now.load(); };
        app->noteClock = [this] { return now.load(); };
        app->later = [this](double secs, std::function<void()> fn) {
            timers.emplace(now + secs, std::move(fn));
            ++scheduled;
        };
        app->makeGaze = [this, camera] {
            GazeEngine::Options o;
            o.camera = camera;
            o.clock = [this] { return now.load(); };
            o.face.modelPath = "/nonexistent/landmarks.dat"; // frames read as faceless, quickly
            return std::make_unique<GazeEngine>(std::move(o));
        };
        app->applicationDidFinishLaunching();
        Layout desk;
        for (int n : {1, 2}) {
            Screen s = test::pcScreen("mac/" + std::to_string(n), n);
            s.display = n - 1;
            s.yaw = n == 1 ? -20 : 20;
            s.learned = true;
            desk.screens.push_back(s);
        }
        app->setLayout(desk);
        return app;
    }

    // Runs the main thread's events until done() holds or `limit` ms have passed.
    static bool settle(const std::function<bool()>& done, int limit = 10000) {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < limit)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return done();
    }
    // Moves the clock on and runs the timers that came due, oldest first; how many ran.
    int advance(double secs) {
        now += secs;
        int ran = 0;
        while (!timers.empty() && timers.begin()->first <= now) {
            auto fn = std::move(timers.begin()->second);
            timers.erase(timers.begin());
            fn();
            ++ran;
        }
        QCoreApplication::processEvents();
        return ran;
    }
    // Moves the clock on by tenths until the camera runs, each retry due heard to its answer.
    void retries(App& app, double secs) {
        for (double t = 0; t < secs - 1e-9 && !app.cameraOn; t += 0.1) {
            const int before = scheduled;
            if (advance(0.1) > 0) {
                ASSERT_TRUE(settle([&] { return scheduled > before || app.cameraOn; }));
            }
        }
    }
    static InputEvent key(Type type, int code, std::uint64_t flags = 0) {
        InputEvent e;
        e.type = type;
        e.code = code;
        e.flags = flags;
        return e;
    }
    // Super+Alt+P on this desktop: the Mac's control and option, then P, all let go again.
    void cameraHotkey(App& app) {
        const std::uint64_t both = InputEvent::control | InputEvent::option;
        for (const InputEvent& e :
             {key(Type::flagsChanged, 59, InputEvent::control), key(Type::flagsChanged, 58, both),
              key(Type::keyDown, 35, both), key(Type::keyUp, 35, both),
              key(Type::flagsChanged, 58, InputEvent::control), key(Type::flagsChanged, 59)})
            app.tapped(e);
    }
    bool dimmed(App& app) const {
        for (const auto& [display, t] : app.overlays.targets())
            if (t.visible)
                return true;
        return false;
    }
};

TEST_F(AppCameraTest, ABusyCameraIsTriedLessOftenAndTheHealthLineSaysWhy) {
    auto camera = std::make_shared<test::FakeCamera>(std::deque<Step>{Step::busy}, true);
    auto app = launch(camera, {"--test-port", "0"});
    ASSERT_TRUE(settle([&] { return !app->cameraOn; }));
    EXPECT_EQ(app->health(), "Camera in use by another program");
    EXPECT_EQ(app->menuModel.header().detail, "Camera in use by another program");

    InputEvent move;
    move.dx = 1;
    for (int i = 0; i < 1000; ++i) {
        app->tapped(move);
        const int before = scheduled;
        if (advance(0.1) > 0) { // 100 s in all; a try's answer sets the next
            ASSERT_TRUE(settle([&] { return scheduled > before; }));
        }
    }
    // Tried at launch, 1 and 2 s after the first failures, then every 3 s: not once an event.
    EXPECT_GE(camera->made, 32);
    EXPECT_LE(camera->made, 36);
    EXPECT_EQ(countLogged("camera"), 2) << "on at launch, off with the reason: once";
    EXPECT_TRUE(wasLogged("camera off (camera /dev/video0 is in use by obs)"));
    EXPECT_FALSE(app->cameraOn);
    EXPECT_FALSE(app->feed.cameraOn());
    EXPECT_EQ(app->health(), "Camera in use by another program");

    // Asked for, it is tried at once; switched off, it is neither tried nor explained.
    const int made = camera->made;
    app->setCamera(true, "you asked");
    EXPECT_TRUE(settle([&] { return camera->made == made + 1 && !app->cameraOn; }));
    app->setCamera(false, "you asked");
    EXPECT_FALSE(app->health());
    advance(120);
    EXPECT_EQ(camera->made, made + 1);
    app->applicationWillTerminate();
}

TEST_F(AppCameraTest, ACameraBusyForMinutesIsBackWithinSecondsOfBeingFreed) {
    for (bool told : {false, true}) { // the holder's close of the device seen, or not
        SCOPED_TRACE(told);
        auto camera = std::make_shared<test::FakeCamera>(std::deque<Step>{Step::busy}, true);
        auto app = launch(camera, {"--test-port", "0"});
        ASSERT_TRUE(settle([&] { return app->cameraTrouble.has_value(); }));
        retries(*app, 180);
        const double freed = now;
        camera->free(told);
        if (told) {
            ASSERT_TRUE(settle([&] { return app->cameraOn; }));
        }
        retries(*app, 10);
        EXPECT_TRUE(app->cameraOn);
        EXPECT_LE(now - freed, told ? 0 : 5);
        EXPECT_TRUE(wasLogged(told ? "camera on (free again)" : "camera on (tried again)"));
        app->applicationWillTerminate();
    }
}

TEST_F(AppCameraTest, ACameraThatGoesSilentOutsideARunIsReportedAndReopened) {
    auto camera = std::make_shared<test::FakeCamera>(std::deque<Step>{Step::stall});
    auto app = launch(camera, {"--test-port", "0"});
    ASSERT_TRUE(settle([&] { return camera->stalled.load(); }));
    QCoreApplication::processEvents(); // its opening, told before the read began
    advance(5);
    app->checkCameraFrames();
    EXPECT_FALSE(app->cameraOn);
    EXPECT_EQ(app->health(), "Camera stopped sending pictures");
    EXPECT_EQ(app->menuModel.header().detail, "Camera stopped sending pictures");
    EXPECT_TRUE(wasLogged("camera off (no picture from the camera for 5 s)"));
    camera->release(); // the held read gives up at last
    advance(1);
    EXPECT_TRUE(settle([&] { return app->cameraOn && camera->made == 2; }));
    app->applicationWillTerminate();
}

TEST_F(AppCameraTest, ARunWithFramesButNoFaceKeepsItsCameraAndWaitsOnItsStep) {
    auto app = launch(std::make_shared<test::FakeCamera>(std::deque<Step>{}), {"--test-port", "0"});
    ASSERT_TRUE(settle([&] { return app->gaze().processed > 0; }));
    app->startCalibration(std::nullopt, true, false);
    auto frames = [&](double secs) { // faceless, each half second's read before time goes on
        for (double t = 0; t < secs && app->cameraOn; t += 0.5) {
            const long read = app->gaze().processed;
            advance(0.5);
            settle([&] { return app->gaze().processed > read || !app->cameraOn; });
            app->checkCameraFrames();
            app->checkRunFrames();
        }
    };
    frames(20);
    ASSERT_TRUE(app->calibrator);
    EXPECT_EQ(app->calibrator->index, 0);
    EXPECT_TRUE(app->cameraOn);
    EXPECT_EQ(countLogged("camera off"), 0);
    // The run over, an absence that goes on switches the camera off as before.
    app->stopCalibration();
    frames(11);
    EXPECT_TRUE(wasLogged("camera off (nobody there for 10 s)"));
    app->applicationWillTerminate();
}

TEST_F(AppCameraTest, ACameraPluggedInLateOrAgainIsUsedWhileWanted) {
    auto camera = std::make_shared<test::FakeCamera>(std::deque<Step>{});
    camera->plugged = false;
    auto app = launch(camera, {"--test-port", "0"});
    app->cameraNodes = [&] {
        return camera->plugged ? std::vector<CameraNode>{{"/dev/video0", 0, std::nullopt}}
                               : std::vector<CameraNode>{};
    };
    EXPECT_TRUE(wasLogged("camera: none found"));
    EXPECT_EQ(app->health(), "No camera found");
    advance(10);
    EXPECT_EQ(countLogged("camera: none found"), 1) << "looked for again, said once";
    EXPECT_EQ(camera->made, 0);

    camera->plug(true);
    ASSERT_TRUE(settle([&] { return app->cameraOn; }));
    EXPECT_TRUE(wasLogged("camera on (plugged in)"));
    EXPECT_FALSE(app->cameraTrouble);
    EXPECT_EQ(app->guide.camera(), OnboardingModel::Camera::allowed);

    camera->plug(false);
    EXPECT_FALSE(app->cameraOn);
    EXPECT_TRUE(wasLogged("camera off (camera unplugged)"));
    EXPECT_EQ(app->health(), "No camera found");
    EXPECT_EQ(app->guide.camera(), OnboardingModel::Camera::missing);
    camera->plug(true);
    EXPECT_TRUE(settle([&] { return app->cameraOn; }));
    EXPECT_EQ(camera->made, 2);

    // Switched off by the user, a camera plugged in stays unused.
    app->setCamera(false, "you asked");
    camera->plug(false);
    camera->plug(true);
    settle([] { return false; }, 300); // time for a start that should not come
    EXPECT_FALSE(app->cameraOn);
    EXPECT_EQ(camera->made, 2);
    app->applicationWillTerminate();
}

TEST_F(AppCameraTest, TheUsersOffHoldsAndOnlyTheAbsenceOffWakes) {
    struct Case {
        const char* what;
        std::function<void(AppCameraTest&, App&)> off;
        std::function<void(AppCameraTest&, App&)> then;
        bool on;
        const char* line; // the log line that turned it on again
    };
    auto hotkey = [](AppCameraTest& t, App& app) { t.cameraHotkey(app); };
    auto away = [](AppCameraTest&, App& app) { app.gaze().onAway(); };
    auto moves = [](AppCameraTest&, App& app) {
        InputEvent move;
        move.dx = 3;
        for (int i = 0; i < 5; ++i)
            app.tapped(move);
    };
    const Case cases[] = {
        {"hotkey off, then its key-up and pointer moves", hotkey, moves, false, nullptr},
        {"menu off, then leaving the menu",
         [](AppCameraTest&, App& app) { app.setCamera(false, "you asked"); }, moves, false,
         nullptr},
        {"nobody there, then a key", away,
         [](AppCameraTest& t, App& app) { app.tapped(t.key(Type::keyDown, 0)); }, true,
         "camera on (you're back)"},
        {"nobody there, then the hotkey", away, hotkey, true, "camera on (you asked)"},
        {"hotkey off, then Calibrate", hotkey,
         [](AppCameraTest&, App& app) { app.startCalibration(std::nullopt, true, false); }, true,
         "camera on (setup)"},
        {"hotkey off, then following resumed",
         [](AppCameraTest& t, App& app) {
             app.togglePause();
             t.cameraHotkey(app);
         },
         [](AppCameraTest&, App& app) { app.togglePause(); }, true, "camera on (you asked)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto app = launch(std::make_shared<test::FakeCamera>(std::deque<Step>{}));
        ASSERT_TRUE(settle([&] { return app->gaze().processed > 0; }));
        c.off(*this, *app);
        ASSERT_FALSE(app->cameraOn);
        const int before = c.line ? countLogged(c.line) : 0;
        c.then(*this, *app);
        EXPECT_EQ(app->cameraOn, c.on);
        EXPECT_EQ(app->cameraSwitchedOn(), c.on) << "as the toggles show it";
        if (c.line) {
            EXPECT_EQ(countLogged(c.line), before + 1);
        }
        app->stopCalibration();
        app->applicationWillTerminate();
    }
}

TEST_F(AppCameraTest, ARunWithoutAPictureSaysSoAndLeavesTheScreensLit) {
    struct Case {
        const char* what;
        Step step;
        bool sim;
        bool dims;            // the screens go dark at first (simulation mode only logs them)
        std::string sentence; // in the guide and the note
        std::string line;
    };
    const Case cases[] = {
        {"a camera that never opens", Step::failOpen, false, false,
         "Camera can't be opened. Calibration needs a picture from the camera.",
         "calibration not started: camera can't be opened"},
        {"a camera that stops", Step::stopAfterFrames, false, true,
         "Camera stopped sending pictures. Calibration stopped; nothing was stored.",
         "calibration stopped: camera stopped sending pictures"},
        {"a camera that goes quiet", Step::stall, false, true,
         "No picture from the camera for 5 s. Calibration stopped; nothing was stored.",
         "calibration stopped: no picture from the camera for 5 s"},
        {"the test port goes quiet", Step::works, true, false,
         "No picture from the camera for 5 s. Calibration stopped; nothing was stored.",
         "calibration stopped: no picture from the camera for 5 s"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto camera = std::make_shared<test::FakeCamera>(std::deque<Step>{c.step}, true);
        auto app =
            launch(camera, c.sim ? std::vector<std::string>{"--test-port", "0", "--no-camera"}
                                 : std::vector<std::string>{});
        if (c.step == Step::failOpen) {
            ASSERT_TRUE(settle([&] { return !app->cameraOn; })); // it failed once already
        }
        if (c.step == Step::stall) {
            ASSERT_TRUE(settle([&] { return camera->stalled.load(); }));
        }
        const Layout before = app->layout();
        const int lines = countLogged(c.line);
        app->startCalibration(std::nullopt, true, false);
        EXPECT_EQ(dimmed(*app), c.dims);
        if (c.step == Step::stall || c.sim) {
            if (c.sim)
                TestPort::run("angle 3 1", *app); // a frame, then none
            advance(4.9);
            app->checkRunFrames();
            EXPECT_TRUE(app->calibrator) << "frames are due within 5 s";
            advance(0.2);
            app->checkRunFrames();
        }
        ASSERT_TRUE(settle([&] { return !app->calibrator && app->guide.runProblem(); }));
        EXPECT_FALSE(dimmed(*app));
        EXPECT_FALSE(app->guide.calibrating());
        EXPECT_EQ(app->guide.runProblem(), c.sentence);
        EXPECT_EQ(app->hud.note(), c.sentence);
        EXPECT_EQ(countLogged(c.line), lines + 1);
        EXPECT_EQ(app->layout(), before) << "nothing stored";
        if (c.step == Step::stall)
            camera->release();
        app->applicationWillTerminate();
    }
}

TEST_F(AppCameraTest, NoCameraAtAllRefusesRunsAtOnce) {
    auto camera = std::make_shared<test::FakeCamera>(std::deque<Step>{});
    camera->plugged = false;
    auto app = launch(camera);
    app->startCheck();
    EXPECT_FALSE(app->checking);
    EXPECT_FALSE(dimmed(*app));
    EXPECT_EQ(app->hud.note(),
              "No camera found. The accuracy check needs a picture from the camera.");
    EXPECT_TRUE(wasLogged("accuracy check not started: no camera found"));
    app->applicationWillTerminate();
}

TEST_F(AppCameraTest, EscapeEndsARunFromAnyWindowWhileItsTargetsShow) {
    for (bool check : {false, true}) {
        SCOPED_TRACE(check ? "accuracy check" : "calibration");
        auto app = launch(std::make_shared<test::FakeCamera>(std::deque<Step>{}));
        EXPECT_FALSE(input->escapeGrabbed);
        if (check)
            app->startCheck();
        else
            app->startCalibration(std::nullopt, true, false);
        ASSERT_TRUE(app->calibrator || app->checking);
        EXPECT_TRUE(input->escapeGrabbed);
        EXPECT_TRUE(dimmed(*app));
        input->send(key(Type::keyDown, 53));
        input->send(key(Type::keyUp, 53));
        EXPECT_FALSE(app->calibrator || app->checking);
        EXPECT_FALSE(dimmed(*app));
        EXPECT_FALSE(input->escapeGrabbed) << "Escape is the focused window's again";
        EXPECT_TRUE(app->swallowedKeys.empty());
        EXPECT_TRUE(
            wasLogged(check ? "accuracy check stopped: Escape" : "calibration stopped: Escape"));
        EXPECT_FALSE(app->guide.runProblem()) << "the user's own stop needs no explaining";
        app->applicationWillTerminate();
    }
}

TEST_F(AppCameraTest, TheUsersSwitchEndsARunAtOnceAndSaysSo) {
    struct Case {
        const char* what;
        bool opens; // the camera works; else it failed before and the run waits for it
        std::function<void(App&)> start;
        std::function<void(AppCameraTest&, App&)> off;
        std::string sentence;
        std::string line;
    };
    auto calibrate = [](App& app) { app.startCalibration(std::nullopt, true, false); };
    auto hotkey = [](AppCameraTest& t, App& app) { t.cameraHotkey(app); };
    const Case cases[] = {
        {"a calibration, by the hotkey", true, calibrate, hotkey,
         "Camera switched off. Calibration stopped; nothing was stored.",
         "calibration stopped: camera switched off"},
        {"a check, from the menu", true, [](App& app) { app.startCheck(); },
         [](AppCameraTest&, App& app) { app.setCamera(false, "you asked"); },
         "Camera switched off. The accuracy check stopped.",
         "accuracy check stopped: camera switched off"},
        {"a calibration waiting for its camera", false, calibrate, hotkey,
         "Camera switched off. Calibration needs a picture from the camera.",
         "calibration not started: camera switched off"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto camera = std::make_shared<test::FakeCamera>(
            std::deque<Step>{c.opens ? Step::works : Step::failOpen}, true);
        auto app = launch(camera);
        ASSERT_TRUE(settle(
            [&] { return c.opens ? app->gaze().processed > 0 : app->cameraTrouble.has_value(); }));
        c.start(*app);
        c.off(*this, *app);
        EXPECT_FALSE(app->calibrator || app->checking) << "at once, not 5 s later";
        EXPECT_FALSE(dimmed(*app));
        EXPECT_EQ(app->guide.runProblem(), c.sentence);
        EXPECT_EQ(app->hud.note(), c.sentence);
        EXPECT_EQ(countLogged(c.line), 1);
        settle([] { return false; }, 200); // a late answer of the camera changes nothing
        EXPECT_FALSE(app->cameraSwitchedOn());
        EXPECT_EQ(app->guide.runProblem(), c.sentence); // the note may be the hub's by now
        app->applicationWillTerminate();
    }
}

TEST_F(AppCameraTest, ACameraBusyForAHolderNobodyCanSeeIsBackWithinSecondsOfBeingFreed) {
    for (bool told : {false, true}) { // the holder's close of the device, or just its end
        SCOPED_TRACE(told);
        QTemporaryDir dir;
        const std::string folder = dir.path().toStdString();
        const std::string node = folder + "/video0";
        std::ofstream(node) << "";
        std::filesystem::create_directory(folder + "/proc"); // shows no process, as with hidepid
        // The device refuses to stream while the other program has it: the opening fails, and
        // so does its own answer. Once free it opens (and, holding no picture, soon stops).
        auto busy = std::make_shared<std::atomic<bool>>(true);
        auto camera = std::make_shared<V4l2Camera>(
            folder, [busy](cv::VideoCapture&, const std::string&) { return !*busy; },
            folder + "/proc", [busy](int) { return *busy ? EBUSY : 0; });
        auto app = launch(camera, {"--test-port", "0"});
        ASSERT_TRUE(settle([&] { return app->cameraTrouble.has_value(); }));
        retries(*app, 75);
        EXPECT_EQ(app->health(), "Camera in use by another program");
        const int ons = countLogged("camera on (");
        auto back = [&] { return countLogged("camera on (") > ons; };
        const double freed = now;
        *busy = false;
        if (told) {
            std::ifstream(node).get(); // the holder opens and closes it, as at its end
            EXPECT_TRUE(settle(back));
        }
        for (double t = 0; t < 10 && !back(); t += 0.1) {
            const int before = scheduled;
            if (advance(0.1) > 0) {
                ASSERT_TRUE(settle([&] { return scheduled > before || back(); }));
            }
        }
        EXPECT_TRUE(back());
        EXPECT_LE(now - freed, told ? 0 : 5);
        EXPECT_TRUE(wasLogged(told ? "camera on (free again)" : "camera on (tried again)"));
        app->applicationWillTerminate();
    }
}

TEST_F(AppCameraTest, ACameraCallThatNeverReturnsIsLeftBehindAndTheCameraReopened) {
    for (Step step : {Step::stall, Step::stallOpen}) { // a read, or the opening itself
        SCOPED_TRACE(step == Step::stall ? "read" : "open");
        auto camera = std::make_shared<test::FakeCamera>(std::deque<Step>{step});
        const int offs = countLogged("camera off (");
        auto app = launch(camera, {"--test-port", "0"});
        ASSERT_TRUE(settle([&] { return camera->stalled.load(); }));
        QCoreApplication::processEvents(); // an opening, told before the read began
        advance(5);
        app->checkCameraFrames();
        EXPECT_FALSE(app->cameraOn);
        EXPECT_EQ(app->health(), "Camera stopped sending pictures");
        const double off = now;
        retries(*app, 10);
        EXPECT_TRUE(app->cameraOn) << "reopened while the call still waits";
        EXPECT_LE(now - off, CameraRetry::first + 0.15); // in tenths of a second
        EXPECT_EQ(camera->made, 2);
        EXPECT_EQ(camera->unfreed, 2);
        camera->release(); // the call returns at last: its reader closes and frees itself
        EXPECT_TRUE(settle([&] { return camera->unfreed == 1; }));
        settle([] { return false; }, 200);
        EXPECT_TRUE(app->cameraOn) << "the late answer is nobody's news";
        EXPECT_EQ(countLogged("camera off ("), offs + 1);
        app->applicationWillTerminate();
    }
}

TEST_F(AppCameraTest, TheCameraInUsePulledOutEndsTheRunInTrueWords) {
    for (bool another : {true, false}) { // a second camera stays, or none
        SCOPED_TRACE(another);
        auto camera = std::make_shared<test::FakeCamera>(std::deque<Step>{});
        auto app = launch(camera, {"--test-port", "0"});
        ASSERT_TRUE(settle([&] { return app->gaze().processed > 0; }));
        app->startCalibration(std::nullopt, true, false);
        ASSERT_TRUE(app->calibrator);
        camera->unplugInUse(another);
        ASSERT_TRUE(settle([&] { return !app->calibrator; }));
        const std::string sentence =
            "Camera unplugged. Calibration stopped; nothing was stored." +
            std::string(another ? " Another camera is connected: start the calibration again "
                                  "to use it."
                                : "");
        EXPECT_EQ(app->guide.runProblem(), sentence);
        EXPECT_EQ(app->hud.note(), sentence);
        EXPECT_TRUE(wasLogged("calibration stopped: camera unplugged"));
        EXPECT_FALSE(dimmed(*app));
        EXPECT_EQ(app->health(), another ? "Camera unplugged" : "No camera found");
        if (another) {
            retries(*app, 2);
            EXPECT_TRUE(app->cameraOn) << "the other camera serves the next run";
        }
        app->applicationWillTerminate();
    }
}

} // namespace
