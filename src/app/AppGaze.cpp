#include "app/App.h"
#include "app/Log.h"
#include "app/NumberText.h"
#include "gaze/Head.h"
#include "gaze/camera/GazeEngine.h"
#include "platform/MediaClock.h"
#include "platform/OnMain.h"
#include "platform/linux/V4l2Camera.h"

namespace helm {

GazeEngine& App::gaze() {
    if (!gaze_) {
        if (makeGaze) {
            gaze_ = makeGaze();
        } else {
            GazeEngine::Options options;
            options.camera = std::make_shared<V4l2Camera>();
            gaze_ = std::make_unique<GazeEngine>(std::move(options));
        }
    }
    return *gaze_;
}

// The engine reports on its camera queue; everything here runs on the main thread, so each
// report hops there, holding the application object weakly.
void App::wireGaze() {
    GazeEngine& engine = gaze();
    std::weak_ptr<int> alive = alive_;
    engine.onLog = [](const std::string& line) { log(line); };
    engine.onFace = [this, alive](std::optional<Face> f) {
        onMain([this, alive, f] {
            if (alive.lock()) {
                faceSeen(f);
            }
        });
    };
    engine.onBrightness = [this, alive](double b) {
        onMain([this, alive, b] {
            if (alive.lock()) {
                brightness = b;
            }
        });
    };
    feed.session = &engine;
    engine.onAngle = [this, alive](std::optional<Angle> head, std::optional<Angle> eye, double) {
        onMain([this, alive, head, eye] {
            if (alive.lock()) {
                saw(head, eye);
            }
        });
    };
    engine.onAway = [this] { nobodyThere(); };
    // The recorder and the previews both see every frame.
    engine.onFrame = [movie = movie, frames = &feed.frames](const Frame& frame) {
        movie->take(frame);
        frames->push(frame);
    };
    engine.onFailure = [this](const std::string& why) { cameraFailed(why); };
}

// Capture has already ended: the switch goes off so the user sees it and can turn it on again.
void App::cameraFailed(const std::string& why) {
    if (!cameraOn) {
        return;
    }
    cameraOn = false;
    feed.setCameraOn(false);
    gaze().stop();
    // The movie ends with the camera; a cut-off film is no recording.
    if (recorder) {
        recorder->stop("the camera stopped");
    }
    log("camera off (" + why + ")");
    refresh();
}

void App::nobodyThere() {
    // A recording asks the user to look away and leave for up to 12 s; switching off would end
    // its movie.
    if (!cameraOn || recorder) {
        return;
    }
    cameraOn = false;
    feed.setCameraOn(false);
    gaze().stop();
    log("camera off (nobody there for 10 s)");
    refresh();
}

void App::saw(const std::optional<Angle>& head, const std::optional<Angle>& eye) {
    std::optional<Angle> g;
    if (head) {
        g = layout().gaze(*head, eye);
    }
    angle = g;
    const double t = gazeNow();
    if (head) {
        lastFaceAt = t;
        toldNoFace = false;
    }
    // One consumer per frame: a running calibration, else a running check, else the picker.
    // The first two leave the status alone frame by frame.
    if (calibrator) {
        calibrate(head, eye, t);
        desk().angle = g;
        desk().head = headPos;
        desk().changed();
        guide.angle = g;
        emit guide.changed();
        return;
    }
    if (checking) {
        checkFeed(g, t);
        desk().angle = g;
        desk().head = headPos;
        desk().changed();
        return;
    }
    picker.settle = prefs.settle();
    if (followEyes) {
        if (std::optional<std::string> id = picker.update(g, layout(), t, headPos)) {
            log("look " + *id + " yaw=" + format("%.1f", g ? g->yaw : 0.0));
            lookAt(*id, t, false);
        }
    }
    DeskModel& model = desk();
    model.looking = picker.current;
    model.angle = g;
    model.head = headPos;
    model.atKeyboard = picker.atKeyboard;
    model.changed();
    refresh();
}

void App::lookAt(const std::string& id, double at, bool) {
    const std::optional<Screen> s = screen(id);
    if (!s || (s->computer && connected.count(*s->computer) == 0)) {
        log("look " + id + ": not connected, input stays");
        return;
    }
    apply(router().look(id, at));
}

void App::faceSeen(const std::optional<Face>& f) {
    face = f;
    feed.setFace(f);
    if (f && f->confidence >= 0.5) {
        const V3 p = Head::position(f->box);
        headPos = headPos ? *headPos * 0.7 + p * 0.3 : p;
    }
    const std::optional<std::string> hint = f ? f->hint() : std::nullopt;
    if (!hint) {
        hintSince.reset();
    } else if (!hintSince || hintSince->text != *hint) {
        hintSince = Hint{*hint, mediaNow()};
    }
}

void App::setCamera(bool on, const std::string& why) {
    if (on == cameraOn) {
        return;
    }
    if (gaze().available()) {
        cameraOn = on;
        feed.setCameraOn(on);
        if (on) {
            gaze().start();
        } else {
            gaze().stop();
            if (recorder) {
                recorder->stop("the camera stopped");
            }
        }
    } else {
        if (on) {
            return;
        }
        cameraOn = false;
        feed.setCameraOn(false);
        gaze().stop();
    }
    log("camera " + std::string(on ? "on" : "off") + " (" + why + ")");
    refresh();
}

void App::togglePause() {
    followEyes = !followEyes;
    router().setPaused(!followEyes);
    note(followEyes ? "Helmvantor follows your eyes again."
                    : "Paused: keys and mouse stay where they are.");
    log(followEyes ? "resumed" : "paused");
}

void App::pretend(const std::string& id) {
    picker = GazePicker(id);
    lookAt(id, mediaNow(), false);
    desk().looking = id;
    desk().changed();
    log("pretend look " + id);
}

} // namespace helm
