#include "app/HubLog.h"

#include <utility>
#include <vector>

namespace helm {

HubLog::HubLog(Write write) : write_(std::move(write)), hub_(write_), noise_(write_) {}

void HubLog::operator()(LogSource from, const std::string& pc, const std::string& line,
                        Clock::time_point now) {
    switch (from) {
    case LogSource::noise:
        noise_(line, now);
        return;
    case LogSource::event:
        filterFor(pc).always(line, now);
        return;
    case LogSource::pc:
        filterFor(pc)(line, now);
        return;
    case LogSource::hub:
        hub_(line, now);
        return;
    }
}

RepeatFilter& HubLog::filterFor(const std::string& pc) {
    std::lock_guard lock(mutex_);
    if (pc.empty()) {
        return hub_;
    }
    if (auto it = pcs_.find(pc); it != pcs_.end()) {
        return *it->second;
    }
    if (pcs_.size() >= maxPCs) {
        return hub_;
    }
    return *pcs_.emplace(pc, std::make_unique<RepeatFilter>(write_)).first->second;
}

std::vector<RepeatFilter*> HubLog::filters() {
    std::vector<RepeatFilter*> all{&hub_};
    std::lock_guard lock(mutex_);
    for (const auto& [pc, filter] : pcs_) {
        all.push_back(filter.get());
    }
    return all;
}

void HubLog::flush(Clock::time_point now) {
    for (RepeatFilter* f : filters()) {
        f->flush(now);
    }
    noise_.flush(now);
}

void HubLog::finish() {
    for (RepeatFilter* f : filters()) {
        f->finish();
    }
    noise_.finish();
}

} // namespace helm
