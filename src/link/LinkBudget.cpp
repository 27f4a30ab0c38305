#include "link/LinkBudget.h"

namespace helm {

LinkBudget::Share::Share(std::shared_ptr<LinkBudget> budget, std::string pc, std::uint64_t bytes,
                         std::uint64_t clip)
    : budget_(std::move(budget)), pc_(std::move(pc)), clip_(clip), bytes_(bytes),
      state_(clip ? State::waiting : State::line) {}

LinkBudget::Share::~Share() {
    std::lock_guard lock(budget_->mutex_);
    budget_->forgetClip(this);
    budget_->add(pc_, -static_cast<std::int64_t>(bytes_));
}

void LinkBudget::Share::resize(std::uint64_t bytes) {
    std::lock_guard lock(budget_->mutex_);
    if (state_ == State::replaced)
        return;
    budget_->add(pc_, static_cast<std::int64_t>(bytes) - static_cast<std::int64_t>(bytes_));
    bytes_ = bytes;
}

bool LinkBudget::Share::reserve(std::uint64_t bytes) {
    std::lock_guard lock(budget_->mutex_);
    if (state_ == State::replaced)
        return false;
    auto it = budget_->waiting_.find(pc_);
    const std::uint64_t others = (it == budget_->waiting_.end() ? 0 : it->second) - bytes_;
    if (others + bytes > budget_->limit)
        return false;
    budget_->add(pc_, static_cast<std::int64_t>(bytes) - static_cast<std::int64_t>(bytes_));
    bytes_ = bytes;
    return true;
}

bool LinkBudget::Share::replaced() const {
    std::lock_guard lock(budget_->mutex_);
    return state_ == State::replaced;
}

bool LinkBudget::Share::start() {
    std::lock_guard lock(budget_->mutex_);
    if (state_ == State::replaced)
        return false;
    if (state_ == State::waiting) {
        budget_->forgetClip(this);
        state_ = State::started;
    }
    return true;
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

LinkBudget::Hold LinkBudget::count(const std::string& pc, std::uint64_t bytes) {
    {
        std::lock_guard lock(mutex_);
        add(pc, static_cast<std::int64_t>(bytes));
    }
    return std::make_shared<Share>(shared_from_this(), pc, bytes);
}

LinkBudget::NewClip LinkBudget::newClip(const std::string& pc, std::uint64_t clip) {
    NewClip out{std::make_shared<Share>(shared_from_this(), pc, 0, clip), {}};
    std::lock_guard lock(mutex_);
    std::vector<Share*>& waiting = clips_[pc];
    for (Share* old : waiting) {
        add(pc, -static_cast<std::int64_t>(old->bytes_));
        old->bytes_ = 0;
        old->state_ = Share::State::replaced;
        out.replaced.push_back(old->clip_);
    }
    waiting.assign(1, out.share.get());
    return out;
}

std::uint64_t LinkBudget::waiting(const std::string& pc) const {
    std::lock_guard lock(mutex_);
    auto it = waiting_.find(pc);
    return it == waiting_.end() ? 0 : it->second;
}

void LinkBudget::add(const std::string& pc, std::int64_t delta) {
    std::uint64_t& used = waiting_[pc];
    used = delta < 0 && static_cast<std::uint64_t>(-delta) > used
               ? 0
               : used + static_cast<std::uint64_t>(delta);
    if (used == 0)
        waiting_.erase(pc);
}

void LinkBudget::forgetClip(Share* share) {
    auto it = clips_.find(share->pc_);
    if (it == clips_.end())
        return;
    std::erase(it->second, share);
    if (it->second.empty())
        clips_.erase(it);
}

} // namespace helm
