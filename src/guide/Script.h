#pragma once

#include "desk/Layout.h"
#include "desk/Screen.h"

#include <optional>
#include <string>
#include <vector>

namespace helm {

// A test session's cue list, "script.json" beside its movie: the desk as it stood when the
// recording started, and every prompt given with its time from the movie's start.
struct Script {
    struct Cue {
        double start = 0; // seconds from the movie's start
        double end = 0;   // start plus the prompt's planned length
        std::string kind;
        std::optional<std::string> screen; // id of the screen the prompt is about
        friend bool operator==(const Cue&, const Cue&) = default;
    };

    // One prompt of the plan: what it asks for, for how long, and the words said.
    struct Item {
        std::string kind;
        std::optional<Screen> screen;
        double secs = 0;
        std::string say;
    };

    Layout layout;
    std::vector<Cue> cues;

    friend bool operator==(const Script&, const Script&) = default;

    // The prompts of a session over these screens, in the order they are given.
    static std::vector<Item> plan(const std::vector<Screen>& screens);
    // Where recordings are kept: $XDG_DATA_HOME/Pivmor/Recordings.
    static std::string folder();

    // Compact JSON; a cue without a screen has no "screen" key. Throws json::EncodeError.
    std::string encode() const;
    // Throws json::DecodeError; unknown keys are ignored.
    static Script decode(const std::string& text);
};

} // namespace helm
