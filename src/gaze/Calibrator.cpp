#include "gaze/Calibrator.h"

#include "gaze/CalFit.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <string>

namespace helm {

namespace {

using Corner = Calibrator::Corner;
using Target = Calibrator::Target;
using Step = Calibrator::Step;

// Nine points clockwise from the top left, centre last.
const std::vector<Corner> precisePoints{Corner::tl, Corner::mt, Corner::tr, Corner::mr, Corner::br,
                                        Corner::mb, Corner::bl, Corner::ml, Corner::c};
// A tall screen gets its side middles too, so its height is measured at more than two rows.
const std::vector<Corner> portraitPoints{Corner::tl, Corner::tr, Corner::mr,
                                         Corner::br, Corner::bl, Corner::ml};
const std::vector<Corner> landscapePoints{Corner::tl, Corner::tr, Corner::br, Corner::bl};

std::string firstPrompt(int number, Corner at) {
    char head[32];
    std::snprintf(head, sizeof head, "Screen %d, ", number);
    return head + std::string(words(at)) + ".";
}

std::string laterPrompt(Corner at) {
    std::string text = words(at);
    if (!text.empty()) {
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    }
    return text + ".";
}

template <typename Get> Angle meanOf(const std::vector<Calibrator::Sample>& samples, Get get) {
    Angle sum;
    for (const auto& s : samples) {
        sum.yaw += get(s).yaw;
        sum.pitch += get(s).pitch;
    }
    double n = static_cast<double>(samples.size());
    return {sum.yaw / n, sum.pitch / n};
}

} // namespace

Calibrator::Calibrator(const std::vector<Screen>& screens, bool warmUp, double at, bool precise)
    : steadyFor(precise ? 0.7 : 0.4), stepStart(at) {
    if (warmUp) {
        steps.push_back(Step{Target::camera(), "Look at the camera."});
        steps.push_back(Step{Target::turnRight(), "Turn your head right."});
        steps.push_back(Step{Target::keyboard(), "Look at your keyboard."});
    }
    std::vector<Screen> sorted = screens;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const Screen& a, const Screen& b) { return a.number < b.number; });
    for (const Screen& screen : sorted) {
        const auto& points = precise               ? precisePoints
                             : screen.isPortrait() ? portraitPoints
                                                   : landscapePoints;
        for (std::size_t i = 0; i < points.size(); ++i) {
            std::string prompt =
                i == 0 ? firstPrompt(screen.number, points[i]) : laterPrompt(points[i]);
            steps.push_back(Step{Target::corner(screen.id, points[i]), std::move(prompt)});
        }
    }
}

std::optional<Calibrator::Step> Calibrator::current() const {
    if (index < 0 || static_cast<std::size_t>(index) >= steps.size()) {
        return std::nullopt;
    }
    return steps[static_cast<std::size_t>(index)];
}

double Calibrator::progress() const {
    if (steps.empty()) {
        return 0;
    }
    return static_cast<double>(index) / static_cast<double>(steps.size());
}

void Calibrator::ready(double at) {
    stepStart = at;
    samples.clear();
    spots.clear();
    hold = 0;
}

std::optional<Calibrator::Event> Calibrator::feed(const std::optional<Angle>& head,
                                                  const std::optional<Angle>& eye, double mix,
                                                  double t, const std::optional<V3>& pos) {
    std::optional<Step> step = current();
    if (!step) {
        return std::nullopt;
    }
    if (!head) {
        // Losing the head breaks the hold: it must start over.
        samples.clear();
        spots.clear();
        hold = 0;
        return std::nullopt;
    }
    Angle e = eye.value_or(Angle{0, 0});
    Angle a{head->yaw + mix * e.yaw, head->pitch + mix * e.pitch};
    samples.push_back(Sample{t, a, *head, e});

    // The window keeps the recent samples that agree with the newest. Only the oldest is tested:
    // a sample that agrees sits in front of any later stray one and keeps it in the window.
    while (samples.size() > 1) {
        const Sample& oldest = samples.front();
        bool stale = t - oldest.t > steadyFor;
        bool off = std::abs(oldest.a.yaw - a.yaw) > steadyDeg ||
                   std::abs(oldest.a.pitch - a.pitch) > steadyDeg;
        if (!stale && !off) {
            break;
        }
        samples.erase(samples.begin());
    }
    if (pos) {
        spots.push_back(*pos);
        if (spots.size() > 8) {
            spots.erase(spots.begin());
        }
    }
    double start = samples.front().t;

    if (t - stepStart < minWait) {
        hold = 0;
        return std::nullopt;
    }
    // Each point must be a fresh look, not the previous point held on; the camera comes first
    // and has nothing to differ from.
    if (!results.empty() && step->target.kind != Target::Kind::camera) {
        const Angle& last = results.back();
        if (std::hypot(a.yaw - last.yaw, a.pitch - last.pitch) < minMove) {
            hold = 0;
            return std::nullopt;
        }
    }
    double need = steadyFor - 0.05;
    hold = std::min((t - start) / need, 1.0);
    if (t - start < need) {
        return std::nullopt;
    }

    results.push_back(meanOf(samples, [](const Sample& s) { return s.a; }));
    heads.push_back(meanOf(samples, [](const Sample& s) { return s.head; }));
    eyes.push_back(meanOf(samples, [](const Sample& s) { return s.eye; }));
    ++index;
    samples.clear();
    stepStart = t;
    hold = 0;
    if (spots.empty()) {
        positions.push_back(std::nullopt);
    } else {
        V3 sum;
        for (const V3& p : spots) {
            sum = sum + p;
        }
        double n = static_cast<double>(spots.size());
        positions.push_back(V3{sum.x / n, sum.y / n, sum.z / n});
    }
    spots.clear();

    if (static_cast<std::size_t>(index) < steps.size()) {
        return Event::captured(*step);
    }
    return Event::finished();
}

CalRecord Calibrator::record() const {
    std::size_t n = std::min(heads.size(), steps.size());
    return CalRecord{std::vector<Step>(steps.begin(), steps.begin() + static_cast<long>(n)), heads,
                     eyes, positions};
}

void Calibrator::apply(Layout& layout, double mix) const {
    layout.cal = merged(record(), layout.cal);
    helm::apply(*layout.cal, layout, mix);
}

} // namespace helm
