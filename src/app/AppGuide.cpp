// The set-up guide's side of the application: its window, the model's hooks, the refresh that
// copies the state of the system into the model, and the places that open it on a page.
#include "app/App.h"
#include "app/GuideWindow.h"
#include "app/Log.h"
#include "desk/PCName.h"
#include "gaze/camera/GazeEngine.h"
#include "guide/CameraState.h"
#include "guide/GuideText.h"
#include "link/Hub.h"
#include "link/Wire.h"
#include "platform/linux/CameraNodes.h"
#include "windows/SettingsModel.h"

#include <QTimer>

#include <chrono>
#include <utility>

namespace helm {

void App::setUpGuide() {
    guide.feed = &feed;
    guide.screens = [this] { return layout_.screens; };
    guide.onEnter = [this](int step) {
        offerPairCode();
        if (step != 4 && calibrator) {
            stopCalibration();
        }
        refreshGuide();
    };
    guide.onAllowCamera = [this] {
        // Nothing to ask on Linux; the camera starts on the next turn of the event loop, as the
        // answer to a question would arrive.
        QTimer::singleShot(0, guideTimer_.get(), [this] {
            setCamera(true, "setup");
            refreshGuide();
        });
    };
    guide.onOpenAccess = [this] { askAccess(); };
    guide.onNewCode = [this] {
        guide.setCode(Wire::newPairCode());
        offerPairCode();
    };
    guide.onStartLook = [this] { startCalibration(std::nullopt, true, false); };
    guide.onStopLook = [this] { stopGuideCalibration(); };
    guide.onStartPrecise = [this] { startCalibration(std::nullopt, true, true); };
    guide.onPortrait = [this](const std::string& id, bool portrait) {
        Layout copy = layout_;
        for (Screen& s : copy.screens) {
            if (s.id == id) {
                s.portrait = portrait;
                break;
            }
        }
        setLayout(std::move(copy));
        log("screen " + id + " portrait=" + (portrait ? "true" : "false"));
    };
    guide.onMute = [this](bool muted) { voice.muted = muted || simOnly_; };
    guide.onIdentify = [this] { identify(); };
    guide.onPairAnswer = [this](bool ok) { hub().confirmPairing(ok); };
    guide.onFinish = [this] {
        d.set("onboarded", true);
        hub().setPairCode(std::nullopt);
        if (guideWindow_) {
            guideWindow_->close();
        }
    };

    guideTimer_ = std::make_unique<QTimer>();
    guideTimer_->setInterval(std::chrono::milliseconds(500));
    QObject::connect(guideTimer_.get(), &QTimer::timeout, guideTimer_.get(),
                     [this] { guideTick(); });
    guideTimer_->start();
}

QWidget* App::guideWindow() const {
    return guideWindow_.get();
}

void App::openGuide() {
    if (!guideWindow_) {
        std::unique_ptr<QWidget> view = makeGuideView ? makeGuideView(guide, desk()) : nullptr;
        guideWindow_ = std::make_unique<GuideWindow>(std::move(view));
        // A hidden guide never leaves pairing open; reopening on the connect page offers the
        // code again through onEnter.
        guideWindow_->onHidden = [this] {
            if (hub_) {
                hub_->setPairCode(std::nullopt);
            }
        };
    }
    refreshGuide();
    guide.onEnter(guide.step());
    guideWindow_->activate();
}

std::string App::showForAnotherStart() {
    const bool onboarded = d.boolean("onboarded").value_or(false);
    if (onboarded) {
        openSettings();
    } else {
        openGuide();
    }
    const std::string what = onboarded ? "settings" : "guide";
    log("another start: " + what + " shown");
    return what;
}

void App::guideTick() {
    if (guideWindow_ && guideWindow_->isVisible()) {
        refreshGuide();
    }
}

void App::refreshGuide() {
    const bool available = gaze_ && gaze_->available();
    std::vector<CameraNode> nodes;
    if (cameraNodes) {
        nodes = cameraNodes();
    } else {
        for (const auto& [path, error] : cameraOpenErrors()) {
            // Only while our camera is off: the holder is then the reason it is.
            nodes.push_back({path, error, cameraOn ? std::nullopt : programHolding(path)});
        }
    }
    const OnboardingModel::Camera camera = cameraState(nodes, available);
    guide.setCamera(camera);
    guide.setCameraNote(cameraNote(nodes, camera));
    guide.setAccessOK(platform_.input && platform_.input->trusted());
    const std::vector<std::string> addresses =
        platform_.addresses ? platform_.addresses->addresses() : std::vector<std::string>{};
    guide.setNetworkIP(NetAddresses::lanAddress(addresses));
    guide.setTailscaleIP(NetAddresses::tailscaleAddress(addresses));
    // The hub's own list would wait for its queue; the main thread keeps its copy.
    guide.setAgents(std::vector<std::string>(connected.begin(), connected.end()));
    guide.setAngle(angle);
    guide.setFace(faceText(angle));
}

void App::stopGuideCalibration() {
    stopCalibration();
    checking.reset();
    overlays.hideAll();
    // Every PC screen hides its overlay, one line per screen, also when the run had already
    // told it to.
    for (const Screen& listed : layout_.screens) {
        const std::optional<Screen> s = screen(listed.id);
        if (s && s->computer && connected.count(*s->computer) > 0) {
            post(Wire::overlay(s->display, "off", s->number), *s->computer);
        }
    }
}

void App::calibrateInGuide(bool precise) {
    guide.setStep(4); // its calibration page
    openGuide();
    startCalibration(std::nullopt, true, precise);
}

void App::addPCInGuide() {
    guide.setStep(3); // the connect page
    openGuide();
}

void App::guidePaired(const std::string& pc) {
    log("setup: " + pc + " paired");
    guide.setPairNote(std::nullopt);
    settings().setPairNote(std::nullopt);
    refreshGuide();
}

void App::offerPairCode() {
    // The hub takes a pairing request with the shown code only while the connect page shows
    // it, and not while a PC waits for its check code to be compared.
    const bool offered = guide.step() == 3 && !guide.pairCheck();
    hub().setPairCode(offered ? std::optional<std::string>(guide.code()) : std::nullopt);
}

void App::confirmInGuide(const std::string& pc, const std::optional<std::string>& code) {
    if (!code) {
        guide.setPairCheck(std::nullopt);
        // The pairing is over either way: a page still open offers the fresh code it shows.
        if (guideWindow_ && guideWindow_->isVisible()) {
            offerPairCode();
        }
        return;
    }
    // The hub has spent the code this PC used: the page shows a fresh one from now on.
    guide.setCode(Wire::newPairCode());
    guide.setPairCheck(OnboardingModel::PairCheck{shownPCName(pc), *code});
    guide.setPairNote(std::nullopt);
    settings().setPairNote(std::nullopt);
    if (simOnly_) {
        hub().confirmPairing(true); // nobody at the desk to compare the codes
        return;
    }
    guide.setStep(3);
    openGuide();
}

void App::pairLeft(const std::string& pc) {
    const std::string who = shownPCName(pc) + " left before pairing finished.";
    guide.setPairNote(who + " Press New code and pair it again.");
    settings().setPairNote(who + " Press Add a PC… to pair it again.");
}

} // namespace helm
