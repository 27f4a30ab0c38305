#include "gaze/GazePicker.h"

#include "gaze/Head.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace helm {

double GazePicker::distance(const Angle& angle, const Screen& screen) const {
    double dx = std::max(std::abs(angle.yaw - screen.yaw) - screen.width / 2, 0.0);
    double dy = std::max(std::abs(angle.pitch - screen.pitch) - screen.height / 2, 0.0);
    return std::sqrt(dx * dx + (pitchWeight * dy) * (pitchWeight * dy));
}

std::optional<std::string> GazePicker::update(const std::optional<Angle>& angle,
                                              const Layout& layout, double at,
                                              const std::optional<V3>& pos) {
    if (!angle || layout.screens.empty()) {
        candidate.reset();
        return std::nullopt;
    }
    atKeyboard = false;

    // With a bias the desk is known in space: screens with a rectangle are scored by the gaze
    // ray from the head, the rest by angle.
    V3 origin = pos ? *pos : layout.seat.value_or(V3::seat);
    V3 dir{};
    if (layout.bias) {
        dir = Head::direction(origin, *angle, *layout.bias, layout.rightSign);
    }
    auto score = [&](const Screen& s) {
        if (layout.bias && s.rect) {
            return 100 * s.rect->miss(origin, dir) + s.rect->centre(origin, dir);
        }
        return 100 * distance(*angle, s) + std::abs(angle->yaw - s.yaw) +
               std::abs(angle->pitch - s.pitch);
    };
    // A score that is not a number (a broken angle, screen or rectangle) cannot be ranked:
    // such a screen is left out, and counts as infinitely far when it is the current one.
    std::vector<std::pair<std::size_t, double>> ranked;
    ranked.reserve(layout.screens.size());
    for (std::size_t i = 0; i < layout.screens.size(); ++i) {
        double sc = score(layout.screens[i]);
        if (std::isfinite(sc)) {
            ranked.emplace_back(i, sc);
        }
    }

    if (layout.bias && layout.keyboard) {
        double k = Head::degrees(*layout.keyboard - origin, dir);
        if (k < keyboardRadius) {
            double need = std::max(6.0, k / 2);
            bool hitsScreen = std::any_of(ranked.begin(), ranked.end(),
                                          [&](const auto& r) { return r.second / 100 < need; });
            if (!hitsScreen) {
                atKeyboard = true;
                candidate.reset();
                return std::nullopt;
            }
        }
    }

    // Stable: on a tie the screen listed first in the layout wins.
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.second < b.second; });
    if (ranked.empty() || ranked.front().second / 100 > maxOff) {
        candidate.reset();
        return std::nullopt;
    }
    const std::string& bestId = layout.screens[ranked.front().first].id;
    double best = ranked.front().second;

    if (!current) {
        current = bestId;
        return bestId;
    }
    if (bestId == *current) {
        candidate.reset();
        return std::nullopt;
    }

    double cur = std::numeric_limits<double>::infinity();
    for (const auto& [i, sc] : ranked) {
        if (layout.screens[i].id == *current) {
            cur = sc;
            break;
        }
    }
    bool clearlyBetter = cur >= best + 100 * margin;
    bool onTarget = best < 100 && cur >= 100 * margin + 100;
    if (!clearlyBetter && !onTarget) {
        candidate.reset();
        return std::nullopt;
    }

    if (candidate != bestId) {
        candidate = bestId;
        since = at;
    }
    if (at - since >= settle) {
        current = bestId;
        candidate.reset();
        return bestId;
    }
    return std::nullopt;
}

} // namespace helm
