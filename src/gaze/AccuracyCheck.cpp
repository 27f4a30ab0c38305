#include "gaze/AccuracyCheck.h"

#include <algorithm>
#include <utility>

namespace helm {

AccuracyCheck::AccuracyCheck(std::vector<Screen> screens) {
    std::stable_sort(screens.begin(), screens.end(),
                     [](const Screen& a, const Screen& b) { return a.number < b.number; });
    const std::size_t n = screens.size();
    for (std::size_t k = 0; k < 2 * n; ++k) {
        list.push_back(screens[(2 * k + k / n) % n]);
    }
}

std::optional<double> AccuracyCheck::feed(const std::optional<Angle>& angle, const Layout& layout,
                                          double at, const std::optional<V3>& pos) {
    if (i < 0 || static_cast<std::size_t>(i) >= list.size()) {
        return std::nullopt;
    }
    const std::string& target = list[static_cast<std::size_t>(i)].id;
    picker.update(angle, layout, at, pos); // its choice only scores; focus stays
    if (at - start > warmUpSecs) {
        Hits& h = hits[target];
        ++h.n;
        if (picker.current == target) {
            ++h.ok;
        }
    }
    return std::clamp((at - start) / lookSecs, 0.0, 1.0);
}

int AccuracyCheck::percent() const {
    long n = 0;
    long ok = 0;
    for (const auto& [id, h] : hits) {
        n += h.n;
        ok += h.ok;
    }
    if (n <= 0) {
        return 0;
    }
    return static_cast<int>((200 * ok + n) / (2 * n));
}

std::optional<std::string> AccuracyCheck::hardest() const {
    auto numberOf = [this](const std::string& id) {
        for (const Screen& s : list) {
            if (s.id == id) {
                return s.number;
            }
        }
        return 0;
    };
    std::optional<std::pair<std::string, Hits>> worst;
    for (const auto& [id, h] : hits) {
        if (!worst) {
            worst = {id, h};
            continue;
        }
        // ok / n against the worst so far, in integers: no rounding decides a tie.
        const long lhs = static_cast<long>(h.ok) * std::max(worst->second.n, 1);
        const long rhs = static_cast<long>(worst->second.ok) * std::max(h.n, 1);
        if (lhs < rhs || (lhs == rhs && numberOf(id) < numberOf(worst->first))) {
            worst = {id, h};
        }
    }
    // Exactly 80 % is good enough.
    if (!worst || 5L * worst->second.ok >= 4L * std::max(worst->second.n, 1)) {
        return std::nullopt;
    }
    return worst->first;
}

} // namespace helm
