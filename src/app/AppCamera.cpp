// The camera's switch: on and off at the user's and the runs' asking, off when nobody is there
// outside a run, and a camera that is missing, failing or silent tried again, later each time,
// until it runs; a busy one every few seconds, and at once when its holder lets it go.
#include "app/App.h"
#include "app/Log.h"
#include "gaze/camera/GazeEngine.h"

#include <memory>

namespace helm {

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
        gaze().start();
    } else {
        cameraAway = false;
        if (!cameraOn && !cameraWanted) {
            return;
        }
        cameraWanted = false;
        cameraTrouble.reset();
        ++cameraTry_;
        cameraRetry.reset();
        afterCameraOpens_ = {};
        cameraOn = false;
        cameraFrames_.reset();
        feed.setCameraOn(false);
        gaze().stop();
        if (recorder) {
            recorder->stop("the camera stopped");
        }
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
    cameraFrames_.reset();
    if (cameraOn) {
        cameraOn = false;
        feed.setCameraOn(false);
        gaze().stop();
        // The movie ends with the camera; a cut-off film is no recording.
        if (recorder) {
            recorder->stop("the camera stopped");
        }
        log("camera off (" + why + ")");
        cameraTrouble = sentence;
    } else {
        // Each failed retry is no news; a new reason is.
        troubled(trouble, "camera off (" + why + ")");
    }
    if (afterCameraOpens_) {
        afterCameraOpens_ = {};
        refuseRun(waitingRun_, sentence);
    } else if (calibrator || checking) {
        endRun(sentence);
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
    gaze().start(); // it opens or fails, and says which
}

void App::cameraOpened() {
    if (!cameraSwitchedOn()) {
        return;
    }
    ++cameraTry_;
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
            cameraFailed(CameraTrouble::missing, "camera unplugged");
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
        gaze().start();
    }
}

void App::cameraLetGo() {
    if (!cameraWanted || cameraOn || cameraTrouble != cameraSentence(CameraTrouble::busy)) {
        return;
    }
    ++cameraTry_; // this try takes the place of the one that was due
    cameraRetryWhy_ = "free again";
    gaze().start();
}

void App::checkCameraFrames() {
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
    feed.setCameraOn(false);
    gaze().stop();
    log("camera off (nobody there for 10 s)");
    refresh();
}

} // namespace helm
