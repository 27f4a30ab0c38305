#pragma once

#include "app/NoiseSummary.h"
#include "app/RepeatFilter.h"
#include "link/LogSource.h"

#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace helm {

// The lines of the hub and of what its PCs cause, kept so that no source can hide another's:
// each PC's lines go through a repeat filter of their own, its link's comings and goings are
// never left out for lines of other kinds, and what unproven connections cause is summarised
// per minute. Safe to use from several threads.
class HubLog {
public:
    using Clock = RepeatFilter::Clock;
    using Write = RepeatFilter::Write;
    // PCs with a filter of their own; the lines of any more share the hub's.
    static constexpr std::size_t maxPCs = 64;

    explicit HubLog(Write write);

    void operator()(LogSource from, const std::string& pc, const std::string& line,
                    Clock::time_point now = Clock::now());
    // Writes the counts of lines whose window is over.
    void flush(Clock::time_point now = Clock::now());
    // Writes every count held (at quit).
    void finish();

private:
    const Write write_;
    RepeatFilter hub_;
    NoiseSummary noise_;
    std::mutex mutex_;
    std::map<std::string, std::unique_ptr<RepeatFilter>> pcs_;

    RepeatFilter& filterFor(const std::string& pc);
    std::vector<RepeatFilter*> filters();
};

} // namespace helm
