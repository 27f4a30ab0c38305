#pragma once

#include <chrono>
#include <deque>
#include <mutex>

namespace helm {

// What this program posted through XTest and has not yet seen come back, from every connection
// it posts on (the link's thread moves the pointer on one of its own). XTest events look the
// same whoever posts them: one that matches a post of ours is ours, any other comes from
// another program (an on-screen keyboard, a remote desktop) and counts as the user's own.
class PostedEvents {
public:
    using Clock = std::chrono::steady_clock;
    enum class Kind { key, button, motion };

    // The one list every poster of this program writes to. Any thread.
    static PostedEvents& shared();

    // detail: the X key code or button number; 0 for a motion.
    void add(Kind kind, int detail, bool press, Clock::time_point at);
    // Whether an XTest event seen at `at` is one we posted; its post is used up, with any of
    // the same kind posted before it (the server dropped those: they never come).
    bool claim(Kind kind, int detail, bool press, Clock::time_point at);

private:
    struct Post {
        Kind kind;
        int detail;
        bool press;
        Clock::time_point at;
    };
    std::mutex lock_; // posters on the link's thread, the claims on the main one
    std::deque<Post> posts_;
};

} // namespace helm
