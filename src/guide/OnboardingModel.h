#pragma once

#include "desk/Angle.h"
#include "desk/Screen.h"

#include <QObject>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace helm {

class FeedModel;

// The set-up guide's state. The guide's views read it, write `step` and `muted` and call its
// hooks; the application fills the hooks once and pushes the state of the system in. Every
// store emits changed(), also when the value is unchanged. Main thread only.
class OnboardingModel : public QObject {
    Q_OBJECT
public:
    // The camera permission as the guide shows it.
    enum class Camera { unknown, allowed, blocked, missing };
    // A PC waiting for the user to compare its check code.
    struct PairCheck {
        std::string pc;
        std::string code;
        friend bool operator==(const PairCheck&, const PairCheck&) = default;
    };

    // The step names, indexed by step number.
    static const std::array<const char*, 7> steps;

    // macName: this computer's name; the host name ("this computer" when it has none) when empty.
    explicit OnboardingModel(std::string macName = {});
    ~OnboardingModel() override;

    int step() const { return step_; }
    // Stores, then calls onEnter with the stored step, every time.
    void setStep(int step);
    Camera camera() const { return camera_; }
    void setCamera(Camera camera);
    // What this desktop says about a camera that is not allowed: the device and why.
    const std::optional<std::string>& cameraNote() const { return cameraNote_; }
    void setCameraNote(std::optional<std::string> note);
    bool accessOK() const { return accessOK_; }
    void setAccessOK(bool ok);
    const std::optional<std::string>& tailscaleIP() const { return tailscaleIP_; }
    void setTailscaleIP(std::optional<std::string> ip);
    const std::optional<std::string>& networkIP() const { return networkIP_; }
    void setNetworkIP(std::optional<std::string> ip);
    // The screen whose target the current prompt shows.
    const std::optional<std::string>& targetID() const { return targetID_; }
    void setTargetID(std::optional<std::string> id);
    // The computer name of the first PC keyboard focus reached; set once, never cleared.
    const std::optional<std::string>& firstSwitch() const { return firstSwitch_; }
    void setFirstSwitch(std::optional<std::string> computerName);
    const std::string& macName() const { return macName_; }
    void setMacName(std::string name);
    // The pairing code the connect page shows: six digits.
    const std::string& code() const { return code_; }
    void setCode(std::string code);
    // The names of the connected PCs.
    const std::vector<std::string>& agents() const { return agents_; }
    void setAgents(std::vector<std::string> names);
    // The sentence about the head angle.
    const std::optional<std::string>& face() const { return face_; }
    void setFace(std::optional<std::string> text);
    const std::optional<Angle>& angle() const { return angle_; }
    void setAngle(std::optional<Angle> angle);
    bool calibrating() const { return calibrating_; }
    void setCalibrating(bool on);
    const std::optional<std::string>& instruction() const { return instruction_; }
    void setInstruction(std::optional<std::string> text);
    double progress() const { return progress_; }
    void setProgress(double progress);
    // The last calibration captured every point.
    bool done() const { return done_; }
    void setDone(bool done);
    bool muted() const { return muted_; }
    // Stores, then calls onMute with the stored flag, every time.
    void setMuted(bool muted);
    const std::optional<std::string>& checkResult() const { return checkResult_; }
    void setCheckResult(std::optional<std::string> text);
    // Why the last calibration or accuracy check could not start or ended early (no picture
    // from the camera); until the next one starts.
    const std::optional<std::string>& runProblem() const { return runProblem_; }
    void setRunProblem(std::optional<std::string> text);
    const std::optional<PairCheck>& pairCheck() const { return pairCheck_; }
    void setPairCheck(std::optional<PairCheck> check);
    // Why the last pairing did not finish and what to do, until the next one starts.
    const std::optional<std::string>& pairNote() const { return pairNote_; }
    void setPairNote(std::optional<std::string> note);

    // Whether the current step is complete, so the guide may go on.
    bool stepDone() const;
    // The layout changed: nothing stored, but the views read screens() again.
    void screensChanged();

    // The camera preview's model: an empty one of the model's own until the application
    // hands over the one its camera fills.
    FeedModel* feed;
    // The current layout's screens, in layout order.
    std::function<std::vector<Screen>()> screens = [] { return std::vector<Screen>{}; };

    // Hooks the application fills; they do nothing until then.
    std::function<void(int)> onEnter = [](int) {};
    std::function<void()> onAllowCamera = [] {};
    std::function<void()> onOpenAccess = [] {};
    std::function<void()> onNewCode = [] {};
    std::function<void()> onStartLook = [] {};
    std::function<void()> onStopLook = [] {};
    std::function<void()> onStartPrecise = [] {};
    std::function<void(const std::string& id, bool portrait)> onPortrait = [](const std::string&,
                                                                              bool) {};
    std::function<void(bool ok)> onPairAnswer = [](bool) {};
    std::function<void(bool muted)> onMute = [](bool) {};
    std::function<void()> onIdentify = [] {};
    std::function<void()> onFinish = [] {};

signals:
    void changed();

private:
    template <class T> void store(T& field, T value) {
        field = std::move(value);
        emit changed();
    }

    std::unique_ptr<FeedModel> ownFeed_;
    int step_ = 0;
    Camera camera_ = Camera::unknown;
    std::optional<std::string> cameraNote_;
    bool accessOK_ = false;
    std::optional<std::string> tailscaleIP_;
    std::optional<std::string> networkIP_;
    std::optional<std::string> targetID_;
    std::optional<std::string> firstSwitch_;
    std::string macName_;
    std::string code_;
    std::vector<std::string> agents_;
    std::optional<std::string> face_;
    std::optional<Angle> angle_;
    bool calibrating_ = false;
    std::optional<std::string> instruction_;
    double progress_ = 0;
    bool done_ = false;
    bool muted_ = false;
    std::optional<std::string> checkResult_;
    std::optional<std::string> runProblem_;
    std::optional<PairCheck> pairCheck_;
    std::optional<std::string> pairNote_;
};

} // namespace helm
