#pragma once

#include "desk/Defaults.h"
#include "desk/Observers.h"

#include <functional>
#include <string>
#include <vector>

namespace helm {

// The user's sixteen preferences. Every write goes down one path: the value is kept, stored
// under its "p." key at once, and onChange is called, also when the value did not change, so
// the application can push the preferences into every part that caches them.
class Prefs {
public:
    // Reads every preference from d; a missing value or one of the wrong type reads as the
    // default. Values are not range-checked here (see settle).
    explicit Prefs(Defaults& d);

    Defaults& d;
    std::function<void()> onChange = [] {};
    // The views that show the preferences, told after each write and after onChange, so a
    // control follows a change made anywhere (a reset included) at once.
    Observers observers;

    int speed() const { return speed_; }
    bool mouseJump() const { return mouseJump_; }
    bool edgeBackup() const { return edgeBackup_; }
    bool sounds() const { return sounds_; }
    bool voice() const { return voice_; }
    bool panel() const { return panel_; }
    bool clipText() const { return clipText_; }
    bool clipPictures() const { return clipPictures_; }
    bool clipFiles() const { return clipFiles_; }
    double pcPointer() const { return pcPointer_; }
    bool allInputs() const { return allInputs_; }
    double eyeMix() const { return eyeMix_; }
    const std::string& jumpId() const { return jumpId_; }
    const std::string& jumpColor() const { return jumpColor_; }
    bool tailscaleOnly() const { return tailscaleOnly_; }
    const std::vector<std::string>& allowedPCs() const { return allowedPCs_; }

    void setSpeed(int v);
    void setMouseJump(bool v);
    void setEdgeBackup(bool v);
    void setSounds(bool v);
    void setVoice(bool v);
    void setPanel(bool v);
    void setClipText(bool v);
    void setClipPictures(bool v);
    void setClipFiles(bool v);
    // Doubles that are not finite cannot be stored and are ignored.
    void setPcPointer(double v);
    void setAllInputs(bool v);
    void setEyeMix(double v);
    void setJumpId(const std::string& v);
    void setJumpColor(const std::string& v);
    void setTailscaleOnly(bool v);
    void setAllowedPCs(const std::vector<std::string>& v);

    // The screen picker's settle time in seconds for the switching speed; a speed below 0
    // counts as 0 and one above 2 as 2.
    double settle() const;

    // Back to the defaults: every "p." key is removed and fifteen preferences are assigned
    // their defaults through the change path. The allowed PCs stay, and stay stored, so the
    // list in use is the one the next launch reads.
    void reset();

private:
    int speed_ = 0;
    bool mouseJump_ = true;
    bool edgeBackup_ = true;
    bool sounds_ = true;
    bool voice_ = true;
    bool panel_ = false;
    bool clipText_ = true;
    bool clipPictures_ = true;
    bool clipFiles_ = true;
    double pcPointer_ = 1.0;
    bool allInputs_ = true;
    double eyeMix_ = 0.5;
    std::string jumpId_ = "glide";
    std::string jumpColor_ = "#30D158";
    bool tailscaleOnly_ = false;
    std::vector<std::string> allowedPCs_;

    template <typename T> void write(T& field, const T& value, const char* key);
};

} // namespace helm
