#include "app/App.h"
#include "app/Log.h"
#include "app/NumberText.h"
#include "gaze/Head.h"
#include "gaze/camera/GazeEngine.h"
#include "platform/MediaClock.h"
#include "platform/OnMain.h"

namespace helm {

GazeEngine& App::gaze() {
    if (!gaze_) {
        if (makeGaze) {
            gaze_ = makeGaze();
        } else {
            GazeEngine::Options options;
            options.camera = platform_.camera;
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
    engine.subscribeFrames([movie = movie](const Frame& frame) { movie->take(frame); });
    // The previews keep only the latest frame, and only while one shows.
    engine.subscribeFrames([frames = &feed.frames](const Frame& frame) { frames->push(frame); });
    engine.onFailure = [this](CameraTrouble trouble, const std::string& why) {
        cameraFailed(trouble, why);
    };
    engine.onOpen = [this] { cameraOpened(); };
    engine.onDevices = [this] { camerasChanged(); };
    engine.onReleased = [this] { cameraLetGo(); };
}

void App::saw(const std::optional<Angle>& head, const std::optional<Angle>& eye) {
    std::optional<Angle> g;
    if (head) {
        g = layout().gaze(*head, eye);
    }
    angle = g;
    const double t = gazeNow();
    lastFrameAt = t;
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
        guide.setAngle(g);
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

void App::togglePause() {
    followEyes = !followEyes;
    router().setPaused(!followEyes);
    // Following needs the camera: one the user switched off comes back with it.
    if (followEyes && !cameraSwitchedOn() && !commandLine_.noCamera()) {
        setCamera(true, "you asked");
    }
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
