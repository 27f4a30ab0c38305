#include "app/App.h"

#include "app/DefaultsKeyValues.h"
#include "app/GuideWindow.h"
#include "app/HubLog.h"
#include "app/Log.h"
#include "app/ScreenWatch.h"
#include "app/TestPort.h"
#include "app/menu/StatusMenu.h"
#include "gaze/camera/GazeEngine.h"
#include "link/Hub.h"
#include "link/MacClipboard.h"
#include "link/SecretKeeper.h"
#include "link/Wire.h"
#include "platform/MediaClock.h"
#include "platform/OnMain.h"
#include "platform/SerialQueue.h"
#include "windows/SettingsModel.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <chrono>
#include <utility>

namespace helm {

App::App(CommandLine commandLine, Defaults& defaults, Platform platform)
    : d(defaults), prefs(defaults), iso(platform.input && platform.input->iso()),
      commandLine_(std::move(commandLine)), simOnly_(commandLine_.simOnly()),
      platform_(std::move(platform)), layout_(storedLayout()) {
    linkBudget = std::make_shared<LinkBudget>(Hub::maxWaiting);
    overlays.simulation = simOnly_;
    overlays.displays = platform_.displays.get();
    overlays.windows = platform_.windows.get();
    overlays.reduceMotion = [this] { return reducedMotion(); };
    overlays.log = [](const std::string& line) { log(line); };
    // Simulation mode makes no sound; the engines come when first needed.
    voice.log = [](const std::string& line) { log(line); };
    if (!simOnly_) {
        if (platform_.speech) {
            voice.makeSpeech = [make = platform_.speech] {
                return make([](const std::string& line) { log(line); });
            };
        }
        voice.makeChimes = platform_.chimes;
    }
    // Changes held back while the user drags or slides reach the file within a quarter of a
    // second, so a program killed a second later has lost nothing.
    storeTimer_ = std::make_unique<QTimer>();
    storeTimer_->setSingleShot(true);
    storeTimer_->setInterval(std::chrono::milliseconds(250));
    QObject::connect(storeTimer_.get(), &QTimer::timeout, storeTimer_.get(), [this] { d.flush(); });
    d.onPending = [timer = storeTimer_.get()] {
        QMetaObject::invokeMethod(timer, qOverload<>(&QTimer::start));
    };
    d.beforeStore = [this] { storeDesk(); };
    // A store may fail on any thread that changed a value; the note belongs to the main one.
    d.onUnsaved = [this, alive = std::weak_ptr<int>(alive_)](const std::string& reason) {
        onMain([this, alive, reason] {
            if (alive.lock()) {
                note("Couldn't save the settings: " + reason + ".");
            }
        });
    };
}

App::~App() {
    // The clipboard's queue finishes its work before it goes: no read of another program's
    // clipboard may keep it waiting.
    if (platform_.pasteboard) {
        platform_.pasteboard->stopReading();
    }
    d.setLive(false);
    d.onPending = nullptr;
    d.beforeStore = nullptr;
    d.onUnsaved = nullptr;
}

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

    watchDisplays();

    if (platform_.screenLock) {
        platform_.screenLock->onLock = [this] { screenLocked(); };
        platform_.screenLock->start();
    }

    prefs.onChange = [this] { applyPrefs(); };
    applyPrefs();

    setUpSettings();

    wireHub();
    // Received files older than a day go, away from the launch's own work.
    clipQueue().post([] { MacClipboard::tidyInbox(); });
    startHub();
    buildMenu();

    wireDesk();

    wireGaze();
    wireCalibration();
    if (commandLine_.noCamera()) {
        log("camera off (simulation)");
    } else {
        // Nothing asks for permission on Linux: a camera that is missing or cannot be opened
        // is explained in the log and the health line, and tried again.
        setCamera(true, "launch");
    }

    if (simOnly_) {
        log("test mode: no input capture, private clipboard");
    } else {
        installTap(true);
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
    if (platform_.pasteboard) {
        platform_.pasteboard->stopReading(); // a hand-over under way is not waited for
    }
    if (mainTimer_) {
        mainTimer_->stop();
    }
    if (Pointer* p = pointer()) {
        p->setAttached(true);
    }
    // Every PC lets go of whatever it still holds for us before we are gone; the lines must
    // leave before the process does, but a PC that does not read may not hold up the quit.
    if (hub_) {
        for (const std::string& name : hub_->names()) {
            hub_->send(Wire::release, name);
        }
        hub_->finish(std::chrono::seconds(1));
    }
    // Keys a PC's pairing or a forget just changed get a moment to reach the keyring; one that
    // never answers is not waited for. Before the keys are in nothing can have changed them.
    if (secrets_) {
        secrets_->finish(keysIn_ ? std::chrono::seconds(1) : std::chrono::seconds(0));
    }
    sentKeys.clear();
    sentButtons.clear();
    releaseAllInjected();
    if (platform_.input) {
        platform_.input->releasePosted(); // no key posted here stays down after us
    }
    d.flush();
    if (hubLog_) {
        hubLog_->finish(); // what it still counts would be lost with us
    }
    log("quit");
}

void App::tick() {
    if (hubLog_) {
        hubLog_->flush();
    }
    apply(router().tick(mediaNow()));
    checkCameraFrames();
    checkRunFrames();
}

void App::unstick() {
    // Every PC lets go of whatever keys and buttons it may still hold for us.
    if (hub_) {
        for (const std::string& name : connected) {
            hub_->post(Wire::release, name);
        }
    }
    sentKeys.clear(); // the release line let go of them all
    sentButtons.clear();
    releaseAllInjected(); // and nothing a PC pressed here stays down
    routerHeld.clear();
    router_.reset(); // the next use starts afresh at the layout's home screen
    router();
    updateGrabs();
    applyPrefs();
    if (Pointer* p = pointer()) {
        p->setAttached(true);
    }
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
        return cameraWanted ? cameraTrouble : std::nullopt;
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
