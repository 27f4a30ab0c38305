#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace helm {

// Lines that any host can cause without proving a secret (logins of names that are not
// paired, hellos that make no sense): a flood of them must neither hide other lines nor roll
// the log over. Per minute the first lines of a few kinds are written as they come, the rest
// only counted; once the minute is over the noisiest kinds are written with their counts and
// all others in one line. The kinds counted one by one are bounded too, since a hostile host
// can make up names without end. Safe to use from several threads.
class NoiseSummary {
public:
    using Clock = std::chrono::steady_clock;
    using Write = std::function<void(const std::string&)>;
    static constexpr Clock::duration window = std::chrono::minutes(1);
    static constexpr std::size_t maxWritten = 20; // kinds written as they come, per minute
    static constexpr std::size_t maxShown = 20;   // kinds written with their counts, per minute
    static constexpr std::size_t maxKinds = 512;  // kinds counted one by one, per minute

    explicit NoiseSummary(Write write);

    void operator()(const std::string& line, Clock::time_point now = Clock::now());
    // Writes the summary of a minute that is over.
    void flush(Clock::time_point now = Clock::now());
    // Writes what the current minute has counted so far (at quit).
    void finish();

private:
    struct Kind {
        long long held = 0; // copies counted, not written
        bool written = false;
    };

    const Write write_;
    std::mutex mutex_;
    std::map<std::string, Kind> kinds_;
    bool open_ = false; // a minute is being counted
    Clock::time_point start_{};
    std::size_t written_ = 0;
    long long others_ = 0; // copies of kinds past maxKinds

    void expire(Clock::time_point now, std::vector<std::string>& out);
    void summarise(std::vector<std::string>& out);
};

} // namespace helm
