#pragma once

#include "desk/Angle.h"
#include "desk/Layout.h"
#include "desk/Prefs.h"
#include "gaze/feed/FeedModel.h"
#include "overlays/JumpRecipe.h"
#include "platform/MediaClock.h"

#include <QObject>

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace helm {

class LoginItem;

// What the settings window shows besides the preferences themselves, and one callback for
// every action it can ask for. The application fills the callbacks in once and pushes fresh
// content in; changed() is emitted only when a value really changes. Main thread only.
class SettingsModel : public QObject {
    Q_OBJECT
public:
    // One computer of the desk as the settings list it: "mac" is this computer.
    struct Computer {
        std::string id;
        std::string name;
        int monitors = 1;
        bool online = false;
        bool local = false;
        bool operator==(const Computer&) const = default;
    };

    // The computers of the layout in the order of their first screens, each with its screen
    // count; this computer is always online, a PC while its id is in connected.
    static std::vector<Computer> computersOf(const Layout& layout,
                                             const std::set<std::string>& connected);

    // loginItem answers and changes starting at login; none reads as off and refuses changes.
    explicit SettingsModel(Prefs& prefs, LoginItem* loginItem = nullptr);

    Prefs& prefs;

    // The open tab. Every assignment, of the same value too, then calls onTab.
    const std::string& tab() const { return tab_; }
    void setTab(const std::string& tab);

    // The camera preview's model: the application's own once it hands it over.
    FeedModel* feed() const { return feed_; }
    void setFeed(FeedModel* feed) { feed_ = feed != nullptr ? feed : &ownFeed_; }

    std::function<void(const std::string&)> onTab = [](const std::string&) {};
    std::function<void()> onReset = [] {};
    std::function<void()> onRecord = [] {};
    std::vector<JumpRecipe> jumps; // the recipe file's recipes in file order
    std::function<void(const JumpRecipe&)> onTryJump = [](const JumpRecipe&) {};
    std::function<void()> onCalibrate = [] {};
    std::function<void()> onPrecise = [] {};
    std::function<void()> onCheck = [] {};
    std::function<void(const std::string&)> onUseSetup = [](const std::string&) {};
    std::function<void()> onNewSetup = [] {};
    std::function<void(const std::string&, const std::string&)> onRenameSetup =
        [](const std::string&, const std::string&) {};
    std::function<void(const std::string&)> onDeleteSetup = [](const std::string&) {};
    std::function<void(const std::string&, const std::string&)> onRename =
        [](const std::string&, const std::string&) {};
    std::function<void(const std::string&)> onForget = [](const std::string&) {};
    std::function<void()> onNewSecret = [] {};
    std::function<void()> onAddPC = [] {};
    std::function<void()> onIdentify = [] {};
    // The desktop's reduced-motion setting, asked on every preview frame.
    std::function<bool()> reduceMotion = [] { return false; };
    // Seconds on the media clock, read by the previews on every frame; pictures pin it.
    std::function<double()> clock = mediaNow;
    // Shows the folder that received files land in.
    std::function<void()> onShowReceived = [] {};

    const std::string& liveLook() const { return liveLook_; }
    const std::optional<std::string>& checkResult() const { return checkResult_; }
    // Why the last pairing did not finish and what to do, until the next one starts.
    const std::optional<std::string>& pairNote() const { return pairNote_; }
    const std::vector<std::string>& setups() const { return setups_; }
    const std::string& activeSetup() const { return activeSetup_; }
    const std::vector<Computer>& computers() const { return computers_; }
    const std::optional<Angle>& angle() const { return angle_; }
    const std::string& health() const { return health_; }
    bool healthOK() const { return healthOK_; }
    double brightness() const { return brightness_; }
    bool startAtLogin() const { return startAtLogin_; }
    const std::optional<std::string>& loginMessage() const { return loginMessage_; }
    // The file the PCs' keys are kept in, where no keyring holds them.
    const std::optional<std::string>& secretsFile() const { return secretsFile_; }
    // Why the last test recording could not start, and why the received files could not be
    // shown; each under its button until its next press.
    const std::optional<std::string>& recordMessage() const { return recordMessage_; }
    const std::optional<std::string>& receivedMessage() const { return receivedMessage_; }
    // Which hotkeys another program holds, while any does.
    const std::optional<std::string>& hotkeysMessage() const { return hotkeysMessage_; }

    void setLiveLook(const std::string& v) { set(liveLook_, v); }
    void setCheckResult(const std::optional<std::string>& v) { set(checkResult_, v); }
    void setPairNote(const std::optional<std::string>& v) { set(pairNote_, v); }
    void setSetups(const std::vector<std::string>& v) { set(setups_, v); }
    void setActiveSetup(const std::string& v) { set(activeSetup_, v); }
    void setComputers(const std::vector<Computer>& v) { set(computers_, v); }
    void setAngle(const std::optional<Angle>& v) { set(angle_, v); }
    void setHealth(const std::string& v) { set(health_, v); }
    void setHealthOK(bool v) { set(healthOK_, v); }
    void setBrightness(double v) { set(brightness_, v); }
    void setSecretsFile(const std::optional<std::string>& v) { set(secretsFile_, v); }
    void setRecordMessage(const std::optional<std::string>& v) { set(recordMessage_, v); }
    void setReceivedMessage(const std::optional<std::string>& v) { set(receivedMessage_, v); }
    void setHotkeysMessage(const std::optional<std::string>& v) { set(hotkeysMessage_, v); }

    // Turns starting at login on or off, then reads back what is in force; a refusal leaves
    // the reason in loginMessage. Both are up to date when this returns.
    void setStartAtLogin(bool on);

signals:
    void changed();

private:
    std::string tab_ = "general";
    FeedModel ownFeed_;
    FeedModel* feed_ = &ownFeed_;
    LoginItem* loginItem_;
    std::string liveLook_ = "—";
    std::optional<std::string> checkResult_;
    std::optional<std::string> pairNote_;
    std::vector<std::string> setups_;
    std::string activeSetup_ = "Home";
    std::vector<Computer> computers_;
    std::optional<Angle> angle_;
    std::string health_ = "Camera on";
    bool healthOK_ = true;
    double brightness_ = 0.5;
    bool startAtLogin_ = false;
    std::optional<std::string> loginMessage_;
    std::optional<std::string> secretsFile_;
    std::optional<std::string> recordMessage_;
    std::optional<std::string> receivedMessage_;
    std::optional<std::string> hotkeysMessage_;

    template <typename T> void set(T& field, const T& value) {
        if (field == value) {
            return;
        }
        field = value;
        emit changed();
    }
};

} // namespace helm
