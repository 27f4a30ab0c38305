#include "app/NoiseSummary.h"

#include "app/LinesOutside.h"

#include <algorithm>
#include <utility>

namespace helm {

NoiseSummary::NoiseSummary(Write write) : write_(std::move(write)) {}

void NoiseSummary::operator()(const std::string& line, Clock::time_point now) {
    writeOutside(mutex_, write_, [&](std::vector<std::string>& out) {
        expire(now, out);
        if (!open_) {
            open_ = true;
            start_ = now;
        }
        if (auto it = kinds_.find(line); it != kinds_.end()) {
            ++it->second.held;
        } else if (kinds_.size() >= maxKinds) {
            ++others_;
        } else if (written_ < maxWritten) {
            ++written_;
            kinds_.emplace(line, Kind{0, true});
            out.push_back(line);
        } else {
            kinds_.emplace(line, Kind{1, false});
        }
    });
}

void NoiseSummary::flush(Clock::time_point now) {
    writeOutside(mutex_, write_, [&](std::vector<std::string>& out) { expire(now, out); });
}

void NoiseSummary::finish() {
    writeOutside(mutex_, write_, [&](std::vector<std::string>& out) { summarise(out); });
}

void NoiseSummary::expire(Clock::time_point now, std::vector<std::string>& out) {
    if (open_ && now - start_ >= window) {
        summarise(out);
    }
}

void NoiseSummary::summarise(std::vector<std::string>& out) {
    std::vector<std::pair<const std::string*, const Kind*>> counted;
    for (const auto& [line, kind] : kinds_) {
        if (kind.held > 0) {
            counted.emplace_back(&line, &kind);
        }
    }
    // The noisiest first; the map's order among equals, so the summary does not depend on
    // which copy came first.
    std::stable_sort(counted.begin(), counted.end(),
                     [](const auto& a, const auto& b) { return a.second->held > b.second->held; });
    const std::size_t shown = std::min(counted.size(), maxShown);
    for (std::size_t i = 0; i < shown; ++i) {
        const auto& [line, kind] = counted[i];
        const std::string n = std::to_string(kind->held);
        if (kind->written) {
            out.push_back(*line + (kind->held == 1 ? " (once more" : " (" + n + " more times") +
                          " in the last minute)");
        } else if (kind->held == 1) {
            out.push_back(*line);
        } else {
            out.push_back(*line + " (" + n + " times in the last minute)");
        }
    }
    long long rest = others_;
    for (std::size_t i = shown; i < counted.size(); ++i) {
        rest += counted[i].second->held;
    }
    if (rest > 0) {
        const std::size_t kinds = counted.size() - shown;
        out.push_back("log: " + std::to_string(rest) +
                      " more lines left out in the last minute, of " +
                      (others_ > 0 ? "more than " : "") + std::to_string(kinds) +
                      (kinds == 1 && others_ == 0 ? " other kind" : " other kinds"));
    }
    kinds_.clear();
    open_ = false;
    written_ = 0;
    others_ = 0;
}

} // namespace helm
