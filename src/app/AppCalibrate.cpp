// Calibration runs: one target at a time on this computer's screens and on the PCs', every
// frame fed to the calibrator, and at the end the fitted layout.
#include "app/App.h"
#include "app/Log.h"
#include "app/NumberText.h"
#include "link/Hub.h"
#include "link/Wire.h"
#include "platform/MediaClock.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <utility>

namespace helm {

namespace {

const std::string noFaceHelp =
    "I can't see your face. Sit in front of this computer, then look where the green dot is.";

// The PC that shows the screen, while it is connected.
std::optional<std::string> reachablePC(const App& app, const Screen& s) {
    if (!s.computer || app.connected.count(*s.computer) == 0) {
        return std::nullopt;
    }
    return s.computer;
}

void sendToPC(App& app, const std::string& line, const std::string& pc) {
    if (app.postLine) {
        app.postLine(line, pc);
    } else {
        app.hub().post(line, pc);
    }
}

} // namespace

// A PC draws its own ring: it hears of roughly every tenth percent, the first that is not 0
// and the return to 0.
void App::sendHold(double hold) {
    const std::optional<Calibrator::Step> step = calibrator ? calibrator->current() : std::nullopt;
    if (!step || step->target.kind != CalTarget::Kind::corner) {
        return;
    }
    const std::optional<Screen> s = screen(step->target.screen);
    const std::optional<std::string> pc = s ? reachablePC(*this, *s) : std::nullopt;
    if (!pc) {
        return;
    }
    const int percent = static_cast<int>(hold * 100);
    if (std::abs(percent - sentHold) > 9 || ((percent == 0) != (sentHold == 0))) {
        sentHold = percent;
        sendToPC(*this, Wire::overlay(s->display, "p", percent), *pc);
    }
}

double App::gazeNow() const {
    return gazeClock ? gazeClock() : mediaNow();
}

void App::wireCalibration() {
    desk().onRelearn = [this](const std::string& id) {
        startCalibration(std::vector<std::string>{id}, false, false);
    };
}

void App::startCalibration(const std::optional<std::vector<std::string>>& only, bool warmUp,
                           bool precise) {
    std::vector<Screen> screens;
    for (const Screen& s : layout().screens) {
        if (only && std::find(only->begin(), only->end(), s.id) == only->end()) {
            continue;
        }
        if (s.local() || reachablePC(*this, s)) {
            screens.push_back(s);
        }
    }
    if (screens.empty()) {
        return;
    }
    if (!cameraForRun([this, only, warmUp, precise] { startCalibration(only, warmUp, precise); },
                      "Calibration", "setup")) {
        return;
    }
    if (checking) {
        checking.reset(); // its targets give way to the run's own
        ++checkRun;
    }
    preciseRun = precise;
    calibrator.emplace(screens, warmUp, gazeNow(), precise);
    ++calRun;
    guide.setCalibrating(true);
    guide.setDone(false);
    guide.setRunProblem(std::nullopt);
    log(format("calibration: %zu steps", calibrator->steps.size()));
    lastFrameAt = gazeNow();
    nextPrompt();
}

void App::nextPrompt() {
    if (!calibrator) {
        return;
    }
    const std::optional<Calibrator::Step> step = calibrator->current();
    if (!step) {
        return;
    }
    const CalTarget& target = step->target;
    const bool corner = target.kind == CalTarget::Kind::corner;
    if (corner) {
        showTarget(target.screen, target.at, false);
    } else {
        // The camera step prompts on this computer's screen; the others darken every screen.
        showTarget(std::nullopt, CalCorner::c, target.kind == CalTarget::Kind::camera);
    }
    guide.setInstruction(step->prompt);
    guide.setProgress(calibrator->progress());
    guide.setTargetID(corner ? std::optional<std::string>(target.screen) : std::nullopt);
    desk().message = step->prompt;
    desk().changed();
    calibrator->ready(gazeNow());
    voice.say(step->prompt);
}

void App::showTarget(const std::optional<std::string>& on, CalCorner at, bool camera) {
    const std::vector<Screen>& screens = layout().screens;
    // The camera sits by this computer's first display.
    std::optional<std::size_t> cameraScreen;
    for (std::size_t k = 0; k < screens.size(); ++k) {
        if (screens[k].local() &&
            (!cameraScreen || screens[k].display < screens[*cameraScreen].display)) {
            cameraScreen = k;
        }
    }
    for (std::size_t k = 0; k < screens.size(); ++k) {
        const Screen& s = screens[k];
        const bool target = on && s.id == *on;
        if (s.local()) {
            MacOverlays::Mode mode = target ? MacOverlays::Mode::at(at) : MacOverlays::Mode::dark();
            if (camera && cameraScreen == k) {
                mode = MacOverlays::Mode::camera();
            }
            overlays.show(s.display, s.number, s.name, mode);
        } else if (std::optional<std::string> pc = reachablePC(*this, s)) {
            // A PC never shows the camera prompt: its screens are not by the camera.
            sendToPC(*this, Wire::overlay(s.display, target ? rawValue(at) : "dark", s.number),
                     *pc);
        }
    }
    overlays.progress.setValue(0);
    sentHold = 0;
    holdEscape(calibrator.has_value() || checking.has_value());
}

void App::hideTargets() {
    holdEscape(false);
    overlays.hideAll();
    for (const Screen& s : layout().screens) {
        if (std::optional<std::string> pc = reachablePC(*this, s)) {
            sendToPC(*this, Wire::overlay(s.display, "off", s.number), *pc);
        }
    }
}

void App::calibrate(const std::optional<Angle>& head, const std::optional<Angle>& eye, double at) {
    if (!calibrator) {
        return;
    }
    if (!head && at - lastFaceAt > 3 && !toldNoFace) {
        toldNoFace = true;
        // The step starts over once the help has been spoken, in this run only.
        voice.say(noFaceHelp, [this, alive = std::weak_ptr<int>(alive_), run = calRun] {
            if (alive.lock() && calibrator && calRun == run) {
                calibrator->ready(gazeNow());
            }
        });
    }
    const std::optional<Calibrator::Event> event =
        calibrator->feed(head, eye, prefs.eyeMix(), at, headPos);
    overlays.progress.setValue(calibrator->hold);
    sendHold(calibrator->hold);
    if (!event) {
        return;
    }
    if (event->kind == Calibrator::Event::Kind::captured) {
        voice.chime();
        log(format("calibration step %d/%zu", calibrator->index, calibrator->steps.size()));
        nextPrompt();
        return;
    }
    finishCalibration();
}

void App::finishCalibration() {
    Layout fitted = layout();
    calibrator->apply(fitted, prefs.eyeMix());
    setLayout(std::move(fitted));
    picker = GazePicker(); // the next frame may choose a screen at once
    calibrator.reset();
    ++calRun;
    hideTargets();
    guide.setCalibrating(false);
    guide.setInstruction(std::nullopt);
    guide.setProgress(1);
    guide.setDone(true);
    desk().message = "Every screen is calibrated. In Flat view you can drag or resize a box if "
                     "one is a little off.";
    desk().changed();
    voice.chime("Glass");
    voice.say("All set. Helmvantor knows where every screen is.");

    std::string entries;
    for (const Screen& s : layout().screens) {
        entries += (entries.empty() ? "" : ", ") +
                   format("%d %.0f°/%.0f° %.0f×%.0f", s.number, s.yaw, s.pitch, s.width, s.height);
    }
    log("calibration done: " + entries);

    if (preciseRun) {
        preciseRun = false;
        // The check belongs to this run: a run started meanwhile takes its place.
        after(2.5, [this, alive = std::weak_ptr<int>(alive_), run = calRun] {
            if (alive.lock() && !calibrator && calRun == run) {
                startCheck();
            }
        });
    }
}

void App::stopCalibration() {
    afterCameraOpens_ = {}; // a run waiting for the camera is stopped too
    calibrator.reset();
    ++calRun;
    guide.setCalibrating(false);
    guide.setInstruction(std::nullopt);
    voice.say("");
    hideTargets();
}

void App::stopCalibrationForSetupChange() {
    if (!calibrator) {
        return;
    }
    stopCalibration();
    log("calibration stopped: setup changed");
}

} // namespace helm
