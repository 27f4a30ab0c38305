#include "app/RepeatFilter.h"

#include "app/LinesOutside.h"

#include <utility>
#include <vector>

namespace helm {

RepeatFilter::RepeatFilter(Write write, Clock::duration window)
    : write_(std::move(write)), window_(window) {}

void RepeatFilter::operator()(const std::string& line, Clock::time_point now) {
    take(line, now, true);
}

void RepeatFilter::always(const std::string& line, Clock::time_point now) {
    take(line, now, false);
}

void RepeatFilter::take(const std::string& line, Clock::time_point now, bool bounded) {
    writeOutside(mutex_, write_, [&](std::vector<std::string>& out) {
        expire(now, out);
        if (auto it = seen_.find(line); it != seen_.end()) {
            ++it->second.held;
        } else if (!bounded || (seen_.size() < maxKinds && fresh_ < maxNew)) {
            fresh_ += bounded ? 1 : 0;
            seen_.emplace(line, Seen{now, 0});
            out.push_back(line);
        } else if (left_++ == 0) {
            leftSince_ = now;
        }
    });
}

void RepeatFilter::flush(Clock::time_point now) {
    writeOutside(mutex_, write_, [&](std::vector<std::string>& out) { expire(now, out); });
}

void RepeatFilter::finish() {
    writeOutside(mutex_, write_,
                 [&](std::vector<std::string>& out) { expire(Clock::now(), out, true); });
}

void RepeatFilter::expire(Clock::time_point now, std::vector<std::string>& out, bool all) {
    if (all || now - windowStart_ >= window_) {
        windowStart_ = now;
        fresh_ = 0;
    }
    if (left_ > 0 && (all || now - leftSince_ >= window_)) {
        out.push_back("log: " + std::to_string(left_) + " more lines left out");
        left_ = 0;
    }
    for (auto it = seen_.begin(); it != seen_.end();) {
        Seen& s = it->second;
        if (!all && now - s.written < window_) {
            ++it;
        } else if (s.held > 0) {
            out.push_back(s.held == 1
                              ? it->first
                              : it->first + " (repeated " + std::to_string(s.held) + " times)");
            s.written = now;
            s.held = 0;
            ++it;
        } else {
            it = seen_.erase(it);
        }
    }
}

} // namespace helm
