#include "guide/OnboardingModel.h"

#include "gaze/feed/FeedModel.h"
#include "link/Wire.h"

#include <QSysInfo>

#include <utility>

namespace helm {

const std::array<const char*, 7> OnboardingModel::steps = {
    "Welcome", "Camera", "Keyboard", "Connect PC", "Calibrate", "Fine-tune", "Done"};

namespace {

std::string hostOrDefault() {
    std::string name = QSysInfo::machineHostName().toStdString();
    return name.empty() ? "this computer" : name;
}

} // namespace

OnboardingModel::OnboardingModel(std::string macName)
    : ownFeed_(std::make_unique<FeedModel>()),
      macName_(macName.empty() ? hostOrDefault() : std::move(macName)), code_(Wire::newPairCode()) {
    feed = ownFeed_.get();
}

OnboardingModel::~OnboardingModel() = default;

void OnboardingModel::setStep(int step) {
    store(step_, step);
    onEnter(step_);
}

void OnboardingModel::setMuted(bool muted) {
    store(muted_, muted);
    onMute(muted_);
}

void OnboardingModel::setCamera(Camera camera) {
    store(camera_, camera);
}
void OnboardingModel::setCameraNote(std::optional<std::string> note) {
    store(cameraNote_, std::move(note));
}
void OnboardingModel::setAccessOK(bool ok) {
    store(accessOK_, ok);
}
void OnboardingModel::setTailscaleIP(std::optional<std::string> ip) {
    store(tailscaleIP_, std::move(ip));
}
void OnboardingModel::setNetworkIP(std::optional<std::string> ip) {
    store(networkIP_, std::move(ip));
}
void OnboardingModel::setTargetID(std::optional<std::string> id) {
    store(targetID_, std::move(id));
}
void OnboardingModel::setFirstSwitch(std::optional<std::string> computerName) {
    store(firstSwitch_, std::move(computerName));
}
void OnboardingModel::setMacName(std::string name) {
    store(macName_, std::move(name));
}
void OnboardingModel::setCode(std::string code) {
    store(code_, std::move(code));
}
void OnboardingModel::setAgents(std::vector<std::string> names) {
    store(agents_, std::move(names));
}
void OnboardingModel::setFace(std::optional<std::string> text) {
    store(face_, std::move(text));
}
void OnboardingModel::setAngle(std::optional<Angle> angle) {
    store(angle_, angle);
}
void OnboardingModel::setCalibrating(bool on) {
    store(calibrating_, on);
}
void OnboardingModel::setInstruction(std::optional<std::string> text) {
    store(instruction_, std::move(text));
}
void OnboardingModel::setProgress(double progress) {
    store(progress_, progress);
}
void OnboardingModel::setDone(bool done) {
    store(done_, done);
}
void OnboardingModel::setCheckResult(std::optional<std::string> text) {
    store(checkResult_, std::move(text));
}
void OnboardingModel::setRunProblem(std::optional<std::string> text) {
    store(runProblem_, std::move(text));
}
void OnboardingModel::setPairCheck(std::optional<PairCheck> check) {
    store(pairCheck_, std::move(check));
}

void OnboardingModel::setPairNote(std::optional<std::string> note) {
    store(pairNote_, std::move(note));
}

bool OnboardingModel::stepDone() const {
    switch (step_) {
    case 1:
        return camera_ == Camera::allowed;
    case 2:
        // Passing on input takes the display server's extensions, not a permission the user
        // could grant here: without them the guide goes on, keys and mouse staying here.
        return true;
    case 3:
        return !agents_.empty();
    case 4: {
        // A running calibration first, then no screens, then the first unlearned screen.
        if (calibrating_) {
            return false;
        }
        const std::vector<Screen> all = screens();
        if (all.empty()) {
            return false;
        }
        for (const Screen& s : all) {
            if (!s.learned) {
                return false;
            }
        }
        return true;
    }
    default:
        return true;
    }
}

void OnboardingModel::screensChanged() {
    emit changed();
}

} // namespace helm
