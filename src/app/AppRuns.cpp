// What a calibration or an accuracy check does without a camera picture: refused at the start,
// ended when the camera fails, is switched off or sends nothing for 5 s, and Escape that stops
// either.
#include "app/App.h"
#include "app/Log.h"
#include "gaze/camera/GazeEngine.h"

#include <string>
#include <utility>

namespace helm {

bool App::cameraForRun(std::function<void()> again, const std::string& what,
                       const std::string& why) {
    if (simOnly_) {
        // The test port's angle and noface lines stand in for the camera.
        if (!cameraOn && !commandLine_.noCamera()) {
            setCamera(true, why);
        }
        return true;
    }
    if (!gaze().available()) {
        refuseRun(what, cameraSentence(CameraTrouble::missing));
        return false;
    }
    if (!cameraOn && cameraTrouble) {
        // It failed before: tried at once, the run starts once it opens and is refused if not,
        // so the screens never go dark for a camera that gives no picture.
        afterCameraOpens_ = std::move(again);
        waitingRun_ = what;
        setCamera(true, why);
        return false;
    }
    if (!cameraOn) {
        setCamera(true, why);
    }
    return true;
}

namespace {

std::string lowerFirst(std::string s) {
    if (!s.empty() && s[0] >= 'A' && s[0] <= 'Z') {
        s[0] = static_cast<char>(s[0] - 'A' + 'a');
    }
    return s;
}

} // namespace

void App::refuseRun(const std::string& what, const std::string& sentence) {
    const std::string text = sentence + ". " + what + " needs a picture from the camera.";
    guide.setRunProblem(text);
    note(text);
    log(std::string(what == "Calibration" ? "calibration" : "accuracy check") +
        " not started: " + lowerFirst(sentence));
}

void App::endRun(const std::string& sentence, bool another) {
    std::string text;
    if (calibrator) {
        stopCalibration();
        text = sentence + ". Calibration stopped; nothing was stored.";
        if (another) {
            text += " Another camera is connected: start the calibration again to use it.";
        }
        log("calibration stopped: " + lowerFirst(sentence));
    } else if (checking) {
        stopCheck();
        text = sentence + ". The accuracy check stopped.";
        if (another) {
            text += " Another camera is connected: start the check again to use it.";
        }
        log("accuracy check stopped: " + lowerFirst(sentence));
    } else {
        return;
    }
    guide.setRunProblem(text);
    note(text);
}

// A run whose camera went quiet ends by itself, so no screen stays dark for good. Frames without
// a face keep it going: its steps wait for the face themselves.
void App::checkRunFrames() {
    if ((calibrator || checking) && gazeNow() - lastFrameAt >= frameWait) {
        endRun("No picture from the camera for 5 s");
    }
}

void App::holdEscape(bool on) {
    if (on == escapeHeld) {
        return;
    }
    escapeHeld = on;
    // Only while input is watched: a key held without being seen would just be lost.
    if (platform_.input && tapOn_) {
        platform_.input->grabEscape(on);
    }
}

void App::stopRunByEscape() {
    if (calibrator) {
        stopCalibration();
        log("calibration stopped: Escape");
    } else if (checking) {
        stopCheck();
        log("accuracy check stopped: Escape");
    }
}

void App::stopCheck() {
    if (!checking) {
        return;
    }
    checking.reset();
    ++checkRun;
    guide.setInstruction(std::nullopt);
    voice.say("");
    hideTargets();
}

} // namespace helm
