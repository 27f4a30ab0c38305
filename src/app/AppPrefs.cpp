#include "app/App.h"

#include "app/Log.h"
#include "app/NumberText.h"
#include "gaze/CalFit.h"
#include "link/Hub.h"

#include <utility>

namespace helm {

void App::applyPrefs() {
    picker.settle = prefs.settle();

    // Before launch has created the hub there is nothing to restart: it takes the flag when
    // it is wired up. A hub still waiting for its keys listens with the flag once they are in.
    if (hub_ && hub_->tailscaleOnly != prefs.tailscaleOnly()) {
        hub_->tailscaleOnly = prefs.tailscaleOnly();
        if (keysIn_) {
            hub_->restart();
        }
        log(std::string("tailscale only = ") + (prefs.tailscaleOnly() ? "true" : "false"));
    }

    if (layout_.cal && layout_.mix != prefs.eyeMix()) {
        Layout refitted = layout_;
        helm::apply(*refitted.cal, refitted, prefs.eyeMix());
        setLayout(std::move(refitted));
        log("head/eyes mix " + shortest(prefs.eyeMix()));
    }

    // Spoken prompts and chimes would reach the person at the desk, who is not part of a test.
    if (simOnly_) {
        voice.muted = true;
        voice.chimesOff = true;
    } else {
        voice.muted = !prefs.voice();
        voice.chimesOff = !prefs.sounds();
    }
    showPanel();
    sendJump();
    updateCaps();
    refresh();
}

void App::resetDefaults() {
    prefs.reset();
    followEyes = true;
    unstick();
    if (!cameraOn && !commandLine_.noCamera()) {
        setCamera(true, "reset");
    }
    note("Settings are back to their defaults.");
    log("reset to defaults");
}

} // namespace helm
