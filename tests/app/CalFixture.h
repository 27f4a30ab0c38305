#pragma once
// An application object for calibration and check tests: time, timers, lines to PCs and the
// voice all in the test's hands, this computer's displays from a list, a camera that is there.
#include "AppFixture.h"
#include "gaze/camera/GazeEngine.h"
#include "platform/sim/FakeDisplaySource.h"
#include "support/RecordingSpeech.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace helm::test {

// A camera that is present and never opens: turning it on only logs.
class ClosedSource : public FrameSource {
public:
    bool open() override { return false; }
    std::optional<Frame> next() override { return std::nullopt; }
    void close() override {}
    bool live() const override { return true; }
    std::string problem() const override { return "closed"; }
};

inline Screen deskScreen(std::string id, int number, int display, double yaw,
                         std::optional<std::string> pc = std::nullopt) {
    Screen s;
    s.id = std::move(id);
    s.number = number;
    s.name = "Panel " + std::to_string(number);
    s.computer = std::move(pc);
    s.computerName = s.computer ? "Tower" : "This Mac";
    s.display = display;
    s.yaw = yaw;
    s.pitch = 10;
    return s;
}

// Two screens of this computer, listed with the higher display index first, and one of a PC.
inline Layout calDesk() {
    Layout l;
    l.screens = {deskScreen("mac/1-1-1", 1, 1, 0), deskScreen("mac/2-2-2", 2, 0, 40),
                 deskScreen("pc1/3-3-3", 3, 0, 80, "pc1")};
    return l;
}

struct CalFixture : ::testing::Test, AppFixture {
    double now = 100;
    std::vector<std::function<void()>> timers; // in the order they were set
    std::vector<double> timerSecs;
    std::vector<std::string> pcLines; // "pc1 o 0 tl 3"
    std::shared_ptr<RecordingSpeech::Record> speech = std::make_shared<RecordingSpeech::Record>();

    std::unique_ptr<App> makeCal(std::vector<std::string> args = {"--no-camera"}) {
        args.insert(args.begin(), "helmvantor");
        Platform p = simPlatform();
        DisplayInfo a, b;
        a.index = 0;
        b.index = 1;
        p.displays = std::make_unique<FakeDisplaySource>(std::vector<DisplayInfo>{a, b});
        auto app = std::make_unique<App>(CommandLine(std::move(args)), defaults, std::move(p));
        app->gazeClock = [this] { return now; };
        app->later = [this](double secs, std::function<void()> fn) {
            timerSecs.push_back(secs);
            timers.push_back(std::move(fn));
        };
        app->postLine = [this](const std::string& line, const std::string& pc) {
            pcLines.push_back(pc + " " + line);
        };
        app->voice.makeSpeech = [s = speech] { return std::make_unique<RecordingSpeech>(s); };
        app->voice.makeChimes = [s = speech] { return std::make_unique<RecordingSpeech>(s); };
        app->makeGaze = [] {
            GazeEngine::Options o;
            o.present = [] { return true; };
            o.source = [] { return std::make_unique<ClosedSource>(); };
            return std::make_unique<GazeEngine>(std::move(o));
        };
        return app;
    }

    // Runs the timers set so far, oldest first; those they set wait for the next call.
    void fireTimers() {
        auto due = std::move(timers);
        timers.clear();
        for (auto& fn : due)
            fn();
    }
    // Runs posted main-thread work (the voice's callbacks).
    static void drain() {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    // Where the user looks for a step: a corner of its screen's box, the camera, a head turn,
    // the keyboard.
    static Angle aim(const Calibrator::Step& step, const Layout& layout) {
        switch (step.target.kind) {
        case CalTarget::Kind::camera:
            return {0, 0};
        case CalTarget::Kind::turnRight:
            return {25, 0};
        case CalTarget::Kind::keyboard:
            return {0, -35};
        case CalTarget::Kind::corner:
            break;
        }
        const Screen s = *layout.screen(step.target.screen);
        auto [x, y] = spot(step.target.at);
        return {s.yaw + (x - 0.5) * s.width * 0.86, s.pitch - (y - 0.5) * s.height * 0.86};
    }

    // Holds each target still at 15 frames a second; at most `frames` frames.
    void walk(App& app, int frames = 3000) {
        for (int k = 0; k < frames && app.calibrator; ++k) {
            now += 1 / 15.0;
            app.saw(aim(*app.calibrator->current(), app.layout()), std::nullopt);
        }
    }
};

} // namespace helm::test
