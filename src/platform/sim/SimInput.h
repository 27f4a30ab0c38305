#pragma once

#include "platform/InputService.h"

#include <set>
#include <string>
#include <vector>

namespace helm {

// The input service of simulation mode and tests: no keyboard or mouse of its own. It records
// what the program asks of it and delivers events a test makes up.
class SimInput : public InputService {
public:
    bool isTrusted = true;
    bool isIso = false;
    // Whether a wanted grab is granted; a refused one stays not held.
    bool grantKeyboard = true, grantPointer = true;
    std::vector<Hotkey> hotkeys;
    // What was posted, in order: "key 55 1", "button 0 0", "motion 10 20", "scroll 48 0",
    // and "release" for each release of everything posted.
    std::vector<std::string> posted;

    bool trusted() override { return isTrusted; }
    bool iso() const override { return isIso; }
    bool observe(Handler h) override;
    void grabHotkeys(const std::vector<Hotkey>& keys) override { hotkeys = keys; }
    // The hotkeys a test makes out to be another program's.
    std::set<int> taken;
    const std::set<int>& takenHotkeys() const override { return taken; }
    void onHotkeysChange(std::function<void()>) override {} // nothing here takes them back
    void grabEscape(bool on) override { escapeGrabbed = on; }
    bool escapeGrabbed = false;
    void wantGrabs(bool keyboard, bool pointer) override;
    bool keyboardGrabbed() const override { return keyboard; }
    bool pointerGrabbed() const override { return pointer; }
    void onGrabChange(std::function<void()> callback) override { changed = std::move(callback); }
    void postKey(int code, bool down) override;
    void postButton(int number, bool down) override;
    void postMotion(double x, double y) override;
    void postScroll(double dy, double dx) override;
    void releasePosted() override { posted.push_back("release"); }

    // Hands an event to the observer, as a real keyboard or mouse would.
    void send(const InputEvent& e);

private:
    Handler handler;
    std::function<void()> changed;
    bool keyboard = false, pointer = false;
};

} // namespace helm
