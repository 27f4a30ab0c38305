#include "app/App.h"

#include "app/DefaultsKeyValues.h"
#include "app/Log.h"
#include "app/RepeatFilter.h"
#include "app/ScreenWatch.h"
#include "app/TestPort.h"
#include "gaze/camera/GazeEngine.h"
#include "link/Hub.h"
#include "link/Secret.h"
#include "link/Wire.h"
#include "platform/MediaClock.h"
#include "windows/SettingsModel.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <chrono>
#include <utility>

namespace helm {

App::App(CommandLine commandLine, Defaults& defaults, Platform platform)
    : d(defaults), prefs(defaults), commandLine_(std::move(commandLine)),
      simOnly_(commandLine_.simOnly()), platform_(std::move(platform)), layout_(storedLayout()) {}

App::~App() = default;

Router& App::router() {
    if (!router_) {
        router_.emplace(layout_.hubID().value_or("mac/0"));
    }
    return *router_;
}

void App::run(QAction* item) {
    if (item != nullptr) {
        auto box = item->data().value<std::shared_ptr<Run>>();
        if (box && box->f) {
            box->f();
        }
    }
    refresh();
}

void App::applicationDidFinishLaunching() {
    log(commandLine_.startLine(iso));

    syncMacDisplays();
    screenWatch_ = std::make_unique<ScreenWatch>([this] { syncMacDisplays(); });

    if (platform_.screenLock) {
        platform_.screenLock->onLock = [this] { screenLocked(); };
        platform_.screenLock->start();
    }

    prefs.onChange = [this] { applyPrefs(); };
    applyPrefs();

    setUpSettings();

    wireHub();
    startHub();

    wireGaze();
    if (commandLine_.noCamera()) {
        log("camera off (simulation)");
    } else {
        // Nothing asks for permission on Linux: a camera that is missing or cannot be opened
        // is only explained in the log.
        if (!gaze().available()) {
            log("camera: none found");
        }
        setCamera(true, "launch");
    }

    if (simOnly_) {
        log("test mode: no input capture, private clipboard");
    }

    if (std::optional<std::uint16_t> port = commandLine_.testPort()) {
        testPort_ = std::make_unique<TestPort>(
            [this](const std::string& line) { return TestPort::run(line, *this); });
        testPort_->start(*port);
    }

    setUpGuide();
    if (!simOnly_ && !d.boolean("onboarded").value_or(false)) {
        openGuide();
    }

    mainTimer_ = std::make_unique<QTimer>();
    mainTimer_->setTimerType(Qt::PreciseTimer);
    mainTimer_->setInterval(std::chrono::milliseconds(33)); // 1/30 s
    QObject::connect(mainTimer_.get(), &QTimer::timeout, mainTimer_.get(), [this] { tick(); });
    mainTimer_->start();

    refresh();
}

void App::applicationWillTerminate() {
    if (mainTimer_) {
        mainTimer_->stop();
    }
    // Every PC lets go of whatever it still holds for us before we are gone.
    if (hub_) {
        for (const std::string& name : connected) {
            hub_->post(Wire::release, name);
        }
    }
    log("quit");
}

void App::tick() {
    if (hubLog_) {
        hubLog_->flush();
    }
    apply(router().tick(mediaNow()));
}

// Focus effects on this computer's pointer and keyboard come with the input layer; until then
// the router's decisions are only logged.
void App::apply(const Router::Effects& effects) {
    for (const Router::Effect& e : effects) {
        log((e.kind == Router::Effect::Kind::keys ? "keys → " : "mouse → ") + e.to);
    }
}

// This computer's displays join the layout once display enumeration exists.
void App::syncMacDisplays() {}

// The set-up guide fills these in.
void App::setUpGuide() {}
void App::openGuide() {}

// The status item and the status box are filled in here once they exist.
void App::refresh() {
    refreshShownSettings();
}
void App::note(const std::string&) {}

void App::unstick() {
    // Every PC lets go of whatever keys and buttons it may still hold for us.
    if (hub_) {
        for (const std::string& name : connected) {
            hub_->post(Wire::release, name);
        }
    }
    router_.reset(); // the next use starts afresh at the layout's home screen
    router();
    applyPrefs();
    log("unstick");
    refresh();
}

void App::screenLocked() {
    const std::optional<std::string> home = layout_.hubID();
    if (!home || (router().keys == *home && router().mouse == *home)) {
        return;
    }
    log("screen locked: input home");
    unstick();
    lookAt(*home, mediaNow(), true);
}

std::optional<std::string> App::health() const {
    if (problem) {
        return problem;
    }
    if (!cameraOn) {
        return std::nullopt;
    }
    double now = mediaNow();
    if (now - lastFaceAt > 2.0) {
        return std::string(brightness < 0.15 ? "Too dark to see you" : "Can't see you");
    }
    if (hintSince && now - hintSince->at > 1.5) {
        return hintSince->text;
    }
    return std::nullopt;
}

} // namespace helm
