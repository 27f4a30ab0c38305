#include "platform/x11/PostedEvents.h"

#include <algorithm>

namespace helm {

namespace {

// A post comes back within milliseconds; one not seen by then never will be (a press of a key
// already down, a move to where the pointer stands).
constexpr auto lifetime = std::chrono::seconds(2);
// Posting faster than the events are read never grows the list past this.
constexpr std::size_t most = 512;

} // namespace

PostedEvents& PostedEvents::shared() {
    static PostedEvents list;
    return list;
}

void PostedEvents::add(Kind kind, int detail, bool press, Clock::time_point at) {
    std::lock_guard<std::mutex> hold(lock_);
    if (posts_.size() >= most) {
        posts_.pop_front();
    }
    posts_.push_back({kind, detail, press, at});
}

bool PostedEvents::claim(Kind kind, int detail, bool press, Clock::time_point at) {
    std::lock_guard<std::mutex> hold(lock_);
    while (!posts_.empty() && at - posts_.front().at > lifetime) {
        posts_.pop_front();
    }
    auto match = std::find_if(posts_.begin(), posts_.end(), [&](const Post& p) {
        return p.kind == kind && p.detail == detail && p.press == press;
    });
    if (match == posts_.end()) {
        return false;
    }
    auto end =
        std::remove_if(posts_.begin(), match + 1, [kind](const Post& p) { return p.kind == kind; });
    posts_.erase(end, match + 1);
    return true;
}

} // namespace helm
