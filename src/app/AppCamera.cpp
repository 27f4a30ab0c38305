// The camera's switch: on and off at the user's and the runs' asking (the user's off ends a run
// or a recording at once), off when nobody is there outside a run, and a camera that is
// missing, failing or silent tried again, later each time, until it runs; a busy one every few
// seconds, and at once when its holder lets it go.
#include "app/App.h"
#include "app/Log.h"
#include "gaze/camera/GazeEngine.h"

#include <memory>
#include <utility>

namespace helm {

namespace {

// The user's own switch: a run that needs the camera ends with it.
const std::string switchedOff = "Camera switched off";

} // namespace

std::string App::cameraSentence(CameraTrouble trouble) {
    switch (trouble) {
    case CameraTrouble::missing:
        return "No camera found";
    case CameraTrouble::unplugged:
        return "Camera unplugged";
    case CameraTrouble::refused:
        return "Camera not allowed for this user";
    case CameraTrouble::busy:
        return "Camera in use by another program";
    case CameraTrouble::stopped:
        return "Camera stopped sending pictures";
    case CameraTrouble::failed:
        break;
    }
    return "Camera can't be opened";
}

void App::setCamera(bool on, const std::string& why) {
    if (on) {
        cameraAway = false;
        if (cameraOn) {
            return;
        }
        cameraWanted = true;
        ++cameraTry_; // asked for now: whatever retry was due waits no longer
        cameraRetry.reset();
        cameraFrames_.reset();
        if (!gaze().available()) {
            troubled(CameraTrouble::missing, "camera: none found");
            scheduleCameraRetry(CameraTrouble::missing);
            refresh();
            return;
        }
        cameraOn = true;
        feed.setCameraOn(true);
        startCamera();
    } else {
        cameraAway = false;
        if (!cameraOn && !cameraWanted) {
            return;
        }
        cameraWanted = false;
        cameraTrouble.reset();
        ++cameraTry_;
        cameraRetry.reset();
        cameraOn = false;
        cameraFrames_.reset();
        cameraAsked_.reset();
        feed.setCameraOn(false);
        gaze().stop();
        // A run or a recording without its camera would only wait for frames that never come.
        if (std::exchange(afterCameraOpens_, {})) {
            refuseRun(waitingRun_, switchedOff);
        }
        endRun(switchedOff);
        endRecording("the camera was switched off", switchedOff);
    }
    log("camera " + std::string(on ? "on" : "off") + " (" + why + ")");
    refresh();
}

void App::troubled(CameraTrouble trouble, const std::string& why) {
    const std::string sentence = cameraSentence(trouble);
    if (cameraTrouble != sentence) {
        log(why);
    }
    cameraTrouble = sentence;
}

// Capture has already ended: the camera shows as off, and is tried again while it is wanted.
void App::cameraFailed(CameraTrouble trouble, const std::string& why) {
    if (!cameraSwitchedOn()) {
        return; // switched off meanwhile
    }
    const std::string sentence = cameraSentence(trouble);
    // With no camera left the health line says what to do about it; with another one there,
    // what happened to this one until the other opens.
    const bool another = trouble == CameraTrouble::unplugged && gaze().available();
    const CameraTrouble health =
        trouble == CameraTrouble::unplugged && !another ? CameraTrouble::missing : trouble;
    cameraFrames_.reset();
    cameraAsked_.reset();
    if (cameraOn) {
        cameraOn = false;
        feed.setCameraOn(false);
        gaze().stop();
        // The movie ends with the camera; a cut-off film is no recording.
        endRecording("the camera stopped", std::nullopt);
        log("camera off (" + why + ")");
        cameraTrouble = cameraSentence(health);
    } else {
        // Each failed retry is no news; a new reason is.
        troubled(health, "camera off (" + why + ")");
    }
    if (afterCameraOpens_) {
        afterCameraOpens_ = {};
        refuseRun(waitingRun_, sentence);
    } else {
        // Calibrated with one camera and checked or finished with another, the angles would
        // not fit together: the run ends, and the other camera serves the next one.
        endRun(sentence, another);
    }
    scheduleCameraRetry(trouble);
    refresh();
}

void App::scheduleCameraRetry(CameraTrouble trouble) {
    const double wait = cameraRetry.failed(trouble);
    after(wait, [this, alive = std::weak_ptr<int>(alive_), attempt = ++cameraTry_] {
        if (alive.lock() && attempt == cameraTry_) {
            retryCamera();
        }
    });
}

void App::retryCamera() {
    if (!cameraWanted || cameraOn) {
        return;
    }
    if (!gaze().available()) {
        // Nothing to open; a camera plugged in is noticed, and looked for again later too.
        troubled(CameraTrouble::missing, "camera: none found");
        scheduleCameraRetry(CameraTrouble::missing);
        refresh();
        return;
    }
    cameraRetryWhy_ = "tried again";
    startCamera(); // it opens or fails, and says which
}

void App::startCamera() {
    cameraAsked_ = gazeNow();
    gaze().start();
}

void App::cameraOpened() {
    if (!cameraSwitchedOn()) {
        return;
    }
    ++cameraTry_;
    cameraAsked_.reset();
    // The retries wait as long as before until frames come: a camera that opens and sends
    // nothing is tried again later each time, as one that fails to open.
    cameraFrames_ = FrameCount{gaze().captured, gazeNow()};
    if (!cameraOn) {
        cameraOn = true;
        feed.setCameraOn(true);
        log("camera on (" + cameraRetryWhy_ + ")");
    }
    cameraTrouble.reset();
    if (auto run = std::exchange(afterCameraOpens_, {})) {
        run();
    }
    refresh();
}

void App::camerasChanged() {
    refreshGuide();
    if (!cameraSwitchedOn()) {
        return;
    }
    if (!gaze().available()) {
        if (cameraOn) {
            cameraFailed(CameraTrouble::unplugged, "camera unplugged");
        } else {
            troubled(CameraTrouble::missing, "camera: none found");
            refresh();
        }
        return;
    }
    if (!cameraOn) {
        ++cameraTry_;
        cameraRetry.reset();
        cameraRetryWhy_ = "plugged in";
        startCamera();
    }
}

void App::cameraLetGo() {
    if (!cameraWanted || cameraOn || cameraTrouble != cameraSentence(CameraTrouble::busy)) {
        return;
    }
    ++cameraTry_; // this try takes the place of the one that was due
    cameraRetryWhy_ = "free again";
    startCamera();
}

void App::checkCameraFrames() {
    // An open held by its driver would keep the camera waiting for good: counted as a
    // failure, it is tried again as one, on a fresh reader.
    if (cameraAsked_ && gazeNow() - *cameraAsked_ >= frameWait && !calibrator && !checking) {
        cameraFailed(CameraTrouble::stopped, "the camera did not answer for 5 s");
        return;
    }
    if (!cameraOn || !cameraFrames_) {
        return;
    }
    const long frames = gaze().captured;
    const double now = gazeNow();
    if (frames != cameraFrames_->frames) {
        cameraFrames_ = FrameCount{frames, now};
        lastFrameAt = now;
        cameraRetry.reset(); // it works: a later failure starts the waits afresh
        return;
    }
    // A driver may hold a read for good without an error; only the count tells. A run ends
    // first, in its own words, and the camera goes on the next tick.
    if (now - cameraFrames_->at >= frameWait && !calibrator && !checking) {
        cameraFailed(CameraTrouble::stopped, "no picture from the camera for 5 s");
    }
}

void App::nobodyThere() {
    if (!cameraOn) {
        return;
    }
    // A recording asks the user to look away and leave for up to 12 s, and a calibration or a
    // check waits on its target while no face is seen; switching off would end either. Once
    // they are over, an absence that goes on still switches it off.
    if (recorder || calibrator || checking) {
        gaze().watchAbsence();
        return;
    }
    cameraOn = false;
    cameraWanted = false;
    cameraAway = true;
    cameraFrames_.reset();
    cameraAsked_.reset();
    feed.setCameraOn(false);
    gaze().stop();
    log("camera off (nobody there for 10 s)");
    refresh();
}

} // namespace helm
