#include "app/App.h"

#include "app/Log.h"

namespace helm {

void App::applyPrefs() {
    // Spoken prompts and chimes would reach the person at the desk, who is not part of a test.
    if (simOnly_) {
        voice.muted = true;
        voice.chimesOff = true;
    } else {
        voice.muted = !prefs.voice();
        voice.chimesOff = !prefs.sounds();
    }
    refresh();
}

void App::resetDefaults() {
    prefs.reset();
    followEyes = true;
    log("reset to defaults");
}

} // namespace helm
