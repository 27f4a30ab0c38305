#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace helm {

// Keeps a flood of lines (a hostile peer's bad hellos, a PC's valid lines) from filling the log:
// each distinct line is written at most once per window; the copies in between are counted, and
// the count is written with the line once the window is over, by the next copy or by `flush`.
// Safe to use from several threads.
class RepeatFilter {
public:
    using Clock = std::chrono::steady_clock;
    using Write = std::function<void(const std::string&)>;

    explicit RepeatFilter(Write write, Clock::duration window = std::chrono::seconds(1));

    void operator()(const std::string& line, Clock::time_point now = Clock::now());
    // A line that must not be left out for the lines of other kinds around it (a PC's link
    // coming or going): only its own copies within a window are held back and counted.
    void always(const std::string& line, Clock::time_point now = Clock::now());
    // Writes the counts of lines whose window is over.
    void flush(Clock::time_point now = Clock::now());
    // Writes every count held, as if each window were over (at quit).
    void finish();

    // Distinct lines followed at once, and new ones written per window; lines beyond either
    // are only counted, and the count is written once the window is over. Lines given to
    // `always` pass both bounds: their kinds are few.
    static constexpr std::size_t maxKinds = 256;
    static constexpr int maxNew = 32;

private:
    struct Seen {
        Clock::time_point written;
        long long held = 0; // copies since then, not written
    };

    const Write write_;
    const Clock::duration window_;
    std::mutex mutex_;
    std::map<std::string, Seen> seen_;
    Clock::time_point windowStart_{};
    int fresh_ = 0;      // new lines written since windowStart_
    long long left_ = 0; // lines not written for being too many kinds at once
    Clock::time_point leftSince_{};

    void take(const std::string& line, Clock::time_point now, bool bounded);
    void expire(Clock::time_point now, std::vector<std::string>& out, bool all = false);
};

} // namespace helm
