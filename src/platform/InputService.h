#pragma once

#include "input/Hotkeys.h"
#include "input/InputEvent.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace helm {

// The keyboard and mouse of this computer as the program needs them: every event observed,
// the hotkeys reserved, the input swallowed while focus is on a PC, events posted. The events
// it reports are never withheld from this computer's programs one by one; swallowing is done by
// the grabs, which the service takes and keeps as it is told. All calls on the main thread.
class InputService {
public:
    using Handler = std::function<void(const InputEvent&)>;
    using Log = std::function<void(const std::string&)>;

    virtual ~InputService() = default;

    // Whether this computer lets the program watch and post input; without it the program
    // only watches the user's eyes.
    virtual bool trusted() = 0;
    // True when the keyboard is an ISO one (the key left of 1 and the one right of left Shift
    // swap their Mac codes).
    virtual bool iso() const = 0;
    // Starts reporting every key, button, movement and wheel event; false when it could not.
    virtual bool observe(Handler handler) = 0;
    // Reserves each hotkey's key with exactly the modifiers that count for it (control and
    // option, whatever else is held) so no other program acts on it; a combination another
    // program holds is logged and left to that program.
    virtual void grabHotkeys(const std::vector<Hotkey>& keys) = 0;
    // The hotkeys, by Mac code, whose combination another program holds: their presses reach
    // that program, so this one must not act on them too, except under the keyboard grab,
    // which takes every key first. Each is tried again when the keyboard mapping changes and
    // every little while, and is reserved as soon as it is free.
    virtual const std::set<int>& takenHotkeys() const = 0;
    // Called whenever that set changes.
    virtual void onHotkeysChange(std::function<void()> callback) = 0;
    // Reserves Escape (with or without the lock keys) while on, so it reaches the program
    // whatever window has focus; off gives it back to the focused window.
    virtual void grabEscape(bool on) = 0;
    // The grabs wanted now. A grab that cannot be taken is retried briefly and then given up
    // until it is wanted afresh; while it is not held, the input it would swallow reaches
    // this computer's programs, so the caller must not forward it too.
    virtual void wantGrabs(bool keyboard, bool pointer) = 0;
    virtual bool keyboardGrabbed() const = 0;
    virtual bool pointerGrabbed() const = 0;
    // Called whenever a grab is taken, released or given up.
    virtual void onGrabChange(std::function<void()> callback) = 0;

    // Posted events come back to the handler marked. Keys are Mac codes, buttons 0 left,
    // 1 right, 2 middle; a location is in the shared frame; wheel amounts are points.
    virtual void postKey(int code, bool down) = 0;
    virtual void postButton(int number, bool down) = 0;
    virtual void postMotion(double x, double y) = 0;
    virtual void postScroll(double dy, double dx) = 0;
    // Releases every posted key and button still held, so none stays stuck.
    virtual void releasePosted() = 0;
};

} // namespace helm
