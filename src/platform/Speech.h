#pragma once

#include <functional>
#include <string>

namespace helm {

// A speech engine: speaks one sentence at a time. Main thread only.
class Speech {
public:
    virtual ~Speech() = default;

    // Speaks text at rate (0 slowest, 0.5 the usual pace, 1 fastest). `ended` is called at
    // most once, on any thread, when the sentence has been spoken; a stopped sentence may
    // still report its end, late.
    virtual void speak(const std::string& text, double rate, std::function<void()> ended) = 0;
    // Stops the sentence being spoken at once.
    virtual void stop() = 0;
};

// Short event sounds of the desktop's sound theme. Main thread only.
class Chimes {
public:
    virtual ~Chimes() = default;

    // Plays the theme's sound with this event id; a missing sound plays nothing.
    virtual void play(const std::string& eventId) = 0;
};

} // namespace helm
