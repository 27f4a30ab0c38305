#pragma once

namespace helm {

// The speech and chime player's switches. Speaking and chiming arrive with the set-up guide;
// the application already keeps the switches in step with the preferences.
struct Voice {
    bool muted = false;     // no spoken prompts
    bool chimesOff = false; // no chimes
};

} // namespace helm
