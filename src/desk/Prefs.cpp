#include "desk/Prefs.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace helm {

namespace {

constexpr const char* kSpeed = "p.speed";
constexpr const char* kMouseJump = "p.jump";
constexpr const char* kEdgeBackup = "p.edge";
constexpr const char* kSounds = "p.sounds";
constexpr const char* kVoice = "p.voice";
constexpr const char* kPanel = "p.panel";
constexpr const char* kClipText = "p.clipText";
constexpr const char* kClipPictures = "p.clipPics";
constexpr const char* kClipFiles = "p.clipFiles";
constexpr const char* kPcPointer = "p.pcPointer";
constexpr const char* kAllInputs = "p.allInputs";
constexpr const char* kEyeMix = "p.eyeMix";
constexpr const char* kJumpId = "p.jump.id";
constexpr const char* kJumpColor = "p.jump.color";
constexpr const char* kTailscaleOnly = "p.tsOnly";
constexpr const char* kAllowedPCs = "p.allowedPCs";

int readInt(const Defaults& d, const char* key, int fallback) {
    std::optional<long long> v = d.integer(key);
    if (!v || *v < std::numeric_limits<int>::min() || *v > std::numeric_limits<int>::max()) {
        return fallback;
    }
    return static_cast<int>(*v);
}

} // namespace

Prefs::Prefs(Defaults& defaults) : d(defaults) {
    speed_ = readInt(d, kSpeed, speed_);
    mouseJump_ = d.boolean(kMouseJump).value_or(mouseJump_);
    edgeBackup_ = d.boolean(kEdgeBackup).value_or(edgeBackup_);
    sounds_ = d.boolean(kSounds).value_or(sounds_);
    voice_ = d.boolean(kVoice).value_or(voice_);
    panel_ = d.boolean(kPanel).value_or(panel_);
    clipText_ = d.boolean(kClipText).value_or(clipText_);
    clipPictures_ = d.boolean(kClipPictures).value_or(clipPictures_);
    clipFiles_ = d.boolean(kClipFiles).value_or(clipFiles_);
    pcPointer_ = d.number(kPcPointer).value_or(pcPointer_);
    allInputs_ = d.boolean(kAllInputs).value_or(allInputs_);
    eyeMix_ = d.number(kEyeMix).value_or(eyeMix_);
    jumpId_ = d.string(kJumpId).value_or(jumpId_);
    jumpColor_ = d.string(kJumpColor).value_or(jumpColor_);
    tailscaleOnly_ = d.boolean(kTailscaleOnly).value_or(tailscaleOnly_);
    allowedPCs_ = d.strings(kAllowedPCs).value_or(allowedPCs_);
}

template <typename T> void Prefs::write(T& field, const T& value, const char* key) {
    field = value;
    d.set(key, json::Json(value));
    onChange();
    observers.notify();
}

void Prefs::setSpeed(int v) {
    write(speed_, v, kSpeed);
}
void Prefs::setMouseJump(bool v) {
    write(mouseJump_, v, kMouseJump);
}
void Prefs::setEdgeBackup(bool v) {
    write(edgeBackup_, v, kEdgeBackup);
}
void Prefs::setSounds(bool v) {
    write(sounds_, v, kSounds);
}
void Prefs::setVoice(bool v) {
    write(voice_, v, kVoice);
}
void Prefs::setPanel(bool v) {
    write(panel_, v, kPanel);
}
void Prefs::setClipText(bool v) {
    write(clipText_, v, kClipText);
}
void Prefs::setClipPictures(bool v) {
    write(clipPictures_, v, kClipPictures);
}
void Prefs::setClipFiles(bool v) {
    write(clipFiles_, v, kClipFiles);
}
void Prefs::setPcPointer(double v) {
    if (std::isfinite(v)) {
        write(pcPointer_, v, kPcPointer);
    }
}
void Prefs::setAllInputs(bool v) {
    write(allInputs_, v, kAllInputs);
}
void Prefs::setEyeMix(double v) {
    if (std::isfinite(v)) {
        write(eyeMix_, v, kEyeMix);
    }
}
void Prefs::setJumpId(const std::string& v) {
    write(jumpId_, v, kJumpId);
}
void Prefs::setJumpColor(const std::string& v) {
    write(jumpColor_, v, kJumpColor);
}
void Prefs::setTailscaleOnly(bool v) {
    write(tailscaleOnly_, v, kTailscaleOnly);
}
void Prefs::setAllowedPCs(const std::vector<std::string>& v) {
    write(allowedPCs_, v, kAllowedPCs);
}

double Prefs::settle() const {
    static constexpr double times[] = {0.06, 0.1, 0.2};
    return times[std::clamp(speed_, 0, 2)];
}

void Prefs::reset() {
    for (const std::string& key : d.keys()) {
        if (key.rfind("p.", 0) == 0) {
            d.remove(key);
        }
    }
    // A store read from the emptied defaults holds exactly the defaults.
    Prefs fresh(d);
    setSpeed(fresh.speed_);
    setMouseJump(fresh.mouseJump_);
    setEdgeBackup(fresh.edgeBackup_);
    setSounds(fresh.sounds_);
    setVoice(fresh.voice_);
    setPanel(fresh.panel_);
    setClipText(fresh.clipText_);
    setClipPictures(fresh.clipPictures_);
    setClipFiles(fresh.clipFiles_);
    setPcPointer(fresh.pcPointer_);
    setAllInputs(fresh.allInputs_);
    setEyeMix(fresh.eyeMix_);
    setTailscaleOnly(fresh.tailscaleOnly_);
    setJumpId(fresh.jumpId_);
    setJumpColor(fresh.jumpColor_);
    // The allowed PCs stay in use for this run; store them again so the next launch reads the
    // same list instead of silently losing it.
    if (!allowedPCs_.empty()) {
        d.set(kAllowedPCs, json::Json(allowedPCs_));
    }
}

} // namespace helm
