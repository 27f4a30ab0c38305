#include "gaze/CalFit.h"

#include "gaze/Head.h"

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace helm {

namespace {

using Kind = CalTarget::Kind;

// Entries past the shortest of the parallel lists are ignored: a stored record whose lists
// disagree must not be read past its end.
std::size_t usable(const CalRecord& r) {
    return std::min({r.steps.size(), r.heads.size(), r.eyes.size()});
}

std::optional<V3> positionAt(const CalRecord& r, std::size_t k) {
    return k < r.positions.size() ? r.positions[k] : std::nullopt;
}

// +1 when the two lists rise together (or there are too few to tell), -1 when they oppose.
double sign(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.size() < 3) {
        return 1;
    }
    double n = static_cast<double>(a.size());
    double ma = 0;
    double mb = 0;
    for (std::size_t k = 0; k < a.size(); ++k) {
        ma += a[k];
        mb += b[k];
    }
    ma /= n;
    mb /= n;
    double sum = 0;
    for (std::size_t k = 0; k < a.size(); ++k) {
        sum += (a[k] - ma) * (b[k] - mb);
    }
    return sum < 0 ? -1 : 1;
}

} // namespace

CalRecord merged(const CalRecord& fresh, const std::optional<CalRecord>& into) {
    if (!into) {
        return fresh;
    }
    bool fullRun = std::any_of(fresh.steps.begin(), fresh.steps.end(),
                               [](const CalStep& s) { return s.target.kind == Kind::camera; });
    if (fullRun) {
        return fresh;
    }
    std::set<std::string> relearned;
    for (const CalStep& s : fresh.steps) {
        if (s.target.kind == Kind::corner) {
            relearned.insert(s.target.screen);
        }
    }
    CalRecord out;
    const CalRecord& old = *into;
    for (std::size_t k = 0; k < usable(old); ++k) {
        const CalTarget& t = old.steps[k].target;
        if (t.kind == Kind::corner && relearned.count(t.screen) > 0) {
            continue;
        }
        out.steps.push_back(old.steps[k]);
        out.heads.push_back(old.heads[k]);
        out.eyes.push_back(old.eyes[k]);
        out.positions.push_back(positionAt(old, k));
    }
    for (std::size_t k = 0; k < usable(fresh); ++k) {
        out.steps.push_back(fresh.steps[k]);
        out.heads.push_back(fresh.heads[k]);
        out.eyes.push_back(fresh.eyes[k]);
        out.positions.push_back(positionAt(fresh, k));
    }
    return out;
}

void apply(const CalRecord& record, Layout& layout, double mix) {
    const std::size_t n = usable(record);
    const auto& steps = record.steps;
    const auto& heads = record.heads;
    const auto& eyes = record.eyes;

    std::vector<std::size_t> corners;
    for (std::size_t k = 0; k < n; ++k) {
        if (steps[k].target.kind == Kind::corner) {
            corners.push_back(k);
        }
    }

    // Whether the eye landmarks move with the head or against it, per axis, from how they
    // varied together over the screen points.
    std::vector<double> hy, ey, hp, ep;
    for (std::size_t k : corners) {
        hy.push_back(heads[k].yaw);
        ey.push_back(eyes[k].yaw);
        hp.push_back(heads[k].pitch);
        ep.push_back(eyes[k].pitch);
    }
    const double sy = sign(hy, ey);
    const double sp = sign(hp, ep);
    layout.eyeSign = Angle{sy, sp};
    layout.mix = mix;

    std::vector<Angle> combined(n);
    for (std::size_t k = 0; k < n; ++k) {
        combined[k] = mix > 0 ? Angle{heads[k].yaw + sy * mix * eyes[k].yaw,
                                      heads[k].pitch + sp * mix * eyes[k].pitch}
                              : heads[k];
    }

    auto first = [&](Kind kind) -> std::optional<std::size_t> {
        for (std::size_t k = 0; k < n; ++k) {
            if (steps[k].target.kind == kind) {
                return k;
            }
        }
        return std::nullopt;
    };
    auto camera = first(Kind::camera);
    auto right = first(Kind::turnRight);
    if (camera && right) {
        // Raw head yaws: which way the head's yaw grows when it turns right.
        layout.rightSign = heads[*right].yaw < heads[*camera].yaw ? -1 : 1;
        layout.bias = combined[*camera];
    }

    V3 sum;
    int present = 0;
    for (std::size_t k = 0; k < n; ++k) {
        if (auto p = positionAt(record, k)) {
            sum = sum + *p;
            ++present;
        }
    }
    if (present > 0) {
        layout.seat = V3{sum.x / present, sum.y / present, sum.z / present};
    } else if (!layout.seat) {
        layout.seat = V3::seat;
    }
    const V3 seat = *layout.seat;
    const Angle bias = layout.bias.value_or(Angle{0, 0});
    const double rightSign = layout.rightSign;
    auto ray = [&](std::size_t k) {
        V3 from = positionAt(record, k).value_or(seat);
        return std::pair{from, Head::direction(from, combined[k], bias, rightSign)};
    };

    if (auto kb = first(Kind::keyboard)) {
        auto [from, dir] = ray(*kb);
        // The keyboard lies about an arm's length along the look.
        layout.keyboard = from + dir * 45;
    }

    std::vector<std::pair<std::string, std::vector<std::size_t>>> groups;
    for (std::size_t k : corners) {
        const std::string& id = steps[k].target.screen;
        auto it = std::find_if(groups.begin(), groups.end(),
                               [&](const auto& g) { return g.first == id; });
        if (it == groups.end()) {
            groups.push_back({id, {k}});
        } else {
            it->second.push_back(k);
        }
    }

    // The dots sit inside the screen's edges; the eyes' share of the gaze spreads them wider,
    // so the growth to the edges shrinks as the mix rises.
    const double kw = 1.2 - 0.1 * mix;
    const double kh = 1.35 - 0.2 * mix;
    for (auto& group : groups) {
        // Named copies: clang 14 cannot capture structured bindings in lambdas.
        const auto& id = group.first;
        auto& members = group.second;
        if (members.size() < 2) {
            continue;
        }
        auto screen = std::find_if(layout.screens.begin(), layout.screens.end(),
                                   [&screenId = id](const Screen& s) { return s.id == screenId; });
        if (screen == layout.screens.end()) {
            continue;
        }
        auto [minYaw, maxYaw] =
            std::minmax_element(members.begin(), members.end(), [&](std::size_t a, std::size_t b) {
                return combined[a].yaw < combined[b].yaw;
            });
        auto [minPitch, maxPitch] =
            std::minmax_element(members.begin(), members.end(), [&](std::size_t a, std::size_t b) {
                return combined[a].pitch < combined[b].pitch;
            });
        double loYaw = combined[*minYaw].yaw;
        double hiYaw = combined[*maxYaw].yaw;
        double loPitch = combined[*minPitch].pitch;
        double hiPitch = combined[*maxPitch].pitch;
        screen->yaw = (hiYaw + loYaw) / 2;
        screen->pitch = (hiPitch + loPitch) / 2;
        screen->width = std::max(kw * (hiYaw - loYaw), 8.0);
        screen->height = std::max(kh * (hiPitch - loPitch), 6.0);
        screen->learned = true;

        // The fit takes the rays in corner order, so its first and third are opposite corners.
        std::stable_sort(members.begin(), members.end(), [&](std::size_t a, std::size_t b) {
            return steps[a].target.at < steps[b].target.at;
        });
        std::vector<V3> rays;
        for (std::size_t j : members) {
            rays.push_back(ray(j).second);
        }
        V3 from = positionAt(record, members.front()).value_or(seat);
        screen->rect = Rect3::fit(from, rays, screen->sizeCm(), Extent{kw, kh});
    }
}

} // namespace helm
