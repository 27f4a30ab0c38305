#include "link/LinkBudget.h"

namespace helm {

LinkBudget::Share::Share(std::shared_ptr<LinkBudget> budget, std::string pc, std::uint64_t bytes)
    : budget_(std::move(budget)), pc_(std::move(pc)), bytes_(bytes) {}

LinkBudget::Share::~Share() {
    budget_->add(pc_, -static_cast<std::int64_t>(bytes_));
}

void LinkBudget::Share::resize(std::uint64_t bytes) {
    budget_->add(pc_, static_cast<std::int64_t>(bytes) - static_cast<std::int64_t>(bytes_));
    bytes_ = bytes;
}

LinkBudget::LinkBudget(std::uint64_t limit) : limit(limit) {}

LinkBudget::Hold LinkBudget::take(const std::string& pc, std::uint64_t bytes,
                                  std::uint64_t besides) {
    {
        std::lock_guard lock(mutex_);
        auto it = waiting_.find(pc);
        const std::uint64_t used = it == waiting_.end() ? 0 : it->second;
        if (used + besides + bytes > limit)
            return nullptr;
        waiting_[pc] = used + bytes;
    }
    return std::make_shared<Share>(shared_from_this(), pc, bytes);
}

std::uint64_t LinkBudget::waiting(const std::string& pc) const {
    std::lock_guard lock(mutex_);
    auto it = waiting_.find(pc);
    return it == waiting_.end() ? 0 : it->second;
}

void LinkBudget::add(const std::string& pc, std::int64_t delta) {
    std::lock_guard lock(mutex_);
    std::uint64_t& used = waiting_[pc];
    used = delta < 0 && static_cast<std::uint64_t>(-delta) > used
               ? 0
               : used + static_cast<std::uint64_t>(delta);
    if (used == 0)
        waiting_.erase(pc);
}

} // namespace helm
