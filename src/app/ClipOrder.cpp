#include "app/ClipOrder.h"

#include <algorithm>

namespace helm {

ClipOrder::Ticket ClipOrder::begin(const std::string& pc) {
    const Ticket t = next_++;
    steps_[pc].push_back(Step{t, true, false, {}});
    return t;
}

void ClipOrder::ready(const std::string& pc, Ticket ticket, std::function<void()> send) {
    auto it = steps_.find(pc);
    if (it == steps_.end())
        return; // forgotten: the PC left
    for (Step& s : it->second) {
        if (s.ticket == ticket)
            s.send = std::move(send);
    }
    run(pc);
}

void ClipOrder::end(const std::string& pc, Ticket ticket) {
    auto it = steps_.find(pc);
    if (it == steps_.end())
        return;
    std::erase_if(it->second, [ticket](const Step& s) { return s.ticket == ticket; });
    run(pc);
}

std::function<void()> ClipOrder::withdraw(const std::string& pc, Ticket ticket) {
    std::function<void()> send;
    if (auto it = steps_.find(pc); it != steps_.end()) {
        for (Step& s : it->second) {
            if (s.ticket == ticket)
                send = std::move(s.send);
        }
    }
    end(pc, ticket);
    return send;
}

void ClipOrder::giveWay(const std::string& pc, Ticket ticket) {
    auto it = steps_.find(pc);
    if (it == steps_.end() || it->second.empty())
        return;
    // Only the push under way holds others, and it is always the first.
    if (const Step& front = it->second.front(); front.ticket == ticket && front.started) {
        it->second.pop_front();
        run(pc);
    }
}

void ClipOrder::after(const std::string& pc, std::function<void()> send) {
    steps_[pc].push_back({next_++, false, false, std::move(send)});
    run(pc);
}

void ClipOrder::forget(const std::string& pc) {
    steps_.erase(pc);
}

// What a step sends may end it at once or decide more for the same PC, so the queue is looked
// up afresh after each step.
void ClipOrder::run(const std::string& pc) {
    for (;;) {
        auto it = steps_.find(pc);
        if (it == steps_.end())
            return;
        if (it->second.empty()) {
            steps_.erase(it);
            return;
        }
        Step& front = it->second.front();
        if (front.started || !front.send)
            return; // a push on its way, or still being prepared
        front.started = true;
        std::function<void()> send = std::move(front.send);
        const bool push = front.push;
        if (!push)
            it->second.pop_front();
        send();
        if (push)
            return; // its end carries on
    }
}

} // namespace helm
