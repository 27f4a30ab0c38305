#pragma once

#include <iosfwd>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace helm {

// Decides which screen holds keyboard focus and which holds mouse focus. It never touches the
// system: every operation answers with the focus moves for the application to carry out. A
// move that falls due while a key (keyboard focus) or a button (mouse focus) is held waits
// until everything is released, so focus never jumps in the middle of a key press or a drag.
// Screens are known only by their ids; key codes and button numbers are opaque, each caller
// keeps its own range apart (a PC's keys arrive as their code plus 10000, for example).
struct Router {
    // One move of keyboard or mouse focus from one screen id to another.
    struct Effect {
        enum class Kind { keys, mouse };

        Kind kind;
        std::string from;
        std::string to;

        static Effect keys(std::string from, std::string to) {
            return {Kind::keys, std::move(from), std::move(to)};
        }
        static Effect mouse(std::string from, std::string to) {
            return {Kind::mouse, std::move(from), std::move(to)};
        }

        bool operator==(const Effect&) const = default;
    };
    using Effects = std::vector<Effect>;

    // The home screen: where focus goes when the screen holding it is lost. Set once at
    // creation; it stays assignable only so the application can replace the whole router.
    std::string hub;
    std::string gaze;  // the screen last looked at
    std::string keys;  // the screen holding keyboard focus
    std::string mouse; // the screen holding mouse focus
    std::optional<std::string> locked;
    bool paused = false;
    // Media-clock seconds of the last key down or up; far in the past for a new router.
    double lastKey = -1'000'000'000.0;
    std::set<int> heldKeys;

    explicit Router(std::string hub);

    // A look at a screen; ignored entirely (gaze included) while paused.
    Effects look(const std::string& id, double at);
    // Keys only record what is held: a release is settled by the next tick, not here.
    void keyDown(int code, double at);
    void keyUp(int code, double at);
    // A button release settles at once: a move held back by a drag follows as soon as it ends.
    Effects button(int number, bool down);
    Effects tick(double at);
    // Locks both foci to the keyboard-focus screen, or unlocks and follows the latest look.
    Effects toggleLock(double at);
    void setPaused(bool value);
    // A screen went away (its PC disconnected): focus on it goes home at once, whatever is
    // held, paused or locked, and nothing counts as held any more. Taken by value: a caller
    // may pass one of the router's own fields, which this overwrites.
    Effects lost(std::string id);

private:
    // Held mouse buttons; nothing outside the router reads them.
    std::set<int> heldButtons;

    Effects settle();
};

// Readable form for logs and test failures: "keys(from: a, to: b)".
std::string describe(const Router::Effect& effect);
std::ostream& operator<<(std::ostream& out, const Router::Effect& effect);

} // namespace helm
