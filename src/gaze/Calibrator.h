#pragma once

#include "desk/Angle.h"
#include "desk/CalRecord.h"
#include "desk/Layout.h"
#include "desk/Screen.h"
#include "desk/V3.h"

#include <optional>
#include <vector>

namespace helm {

// One calibration run: an ordered list of targets to look at, each captured once the gaze has
// held still on it long enough. Fed one sample per read camera frame; time is passed in.
struct Calibrator {
    using Corner = CalCorner;
    using Target = CalTarget;
    using Step = CalStep;

    struct Event {
        enum class Kind { captured, finished };
        Kind kind = Kind::finished;
        // The step just captured (for `captured`; more steps follow).
        std::optional<Step> step;

        static Event captured(Step s) { return {Kind::captured, std::move(s)}; }
        static Event finished() { return {Kind::finished, std::nullopt}; }
        friend bool operator==(const Event&, const Event&) = default;
    };

    struct Sample {
        double t = 0;
        Angle a; // combined
        Angle head;
        Angle eye;
    };

    std::vector<Step> steps;
    int index = 0;
    std::vector<Angle> results;
    std::vector<Angle> heads;
    std::vector<Angle> eyes;
    std::vector<std::optional<V3>> positions;
    double steadyFor = 0.4;
    double steadyDeg = 1.8;
    double minMove = 5;
    double minWait = 0.3;
    std::vector<Sample> samples;
    std::vector<V3> spots;
    double stepStart = 0;
    double hold = 0;

    // warmUp: begin with the camera, head-turn and keyboard steps. precise: nine points per
    // screen and a longer hold.
    Calibrator(const std::vector<Screen>& screens, bool warmUp, double at, bool precise = false);

    std::optional<Step> current() const;
    double progress() const;

    // Restarts the current step's wait and steady window (the prompt was shown again).
    void ready(double at);

    std::optional<Event> feed(const std::optional<Angle>& head, const std::optional<Angle>& eye,
                              double mix, double at, const std::optional<V3>& pos = std::nullopt);
    std::optional<Event> feed(const std::optional<Angle>& angle, double at,
                              const std::optional<V3>& pos = std::nullopt) {
        return feed(angle, std::nullopt, 0, at, pos);
    }

    // The captured steps with their means.
    CalRecord record() const;

    // Merges this run into the layout's stored record and fits the layout to the result.
    void apply(Layout& layout, double mix) const;
};

} // namespace helm
