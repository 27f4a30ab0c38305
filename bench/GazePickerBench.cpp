// Cost of one picker update per camera frame, for desks of 2, 6 and 12 screens.
#include "gaze/GazePicker.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>

using namespace helm;

namespace {

// A row of screens 35 degrees apart around the seat, 60 cm away; with `inSpace` each has a
// calibrated rectangle and the layout a bias, so every screen is scored by its gaze ray.
Layout row(int count, bool inSpace) {
    Layout l;
    const V3 seat = V3::seat;
    for (int i = 0; i < count; ++i) {
        Screen s;
        char id[32];
        std::snprintf(id, sizeof id, "mac/%d", i);
        s.id = id;
        s.number = i + 1;
        s.yaw = (i - (count - 1) / 2.0) * 35;
        s.pitch = 10;
        s.width = 30;
        s.height = 18;
        if (inSpace) {
            double a = s.yaw * std::numbers::pi / 180;
            V3 dir{std::sin(a), 0, -std::cos(a)};
            s.rect = Rect3{seat + dir * 60 + V3{0, 10, 0}, V3{std::cos(a), 0, std::sin(a)}, 25, 15};
        }
        l.screens.push_back(s);
    }
    if (inSpace) {
        l.bias = Angle{0, 0};
        l.seat = seat;
        l.keyboard = V3{0, -30, 30};
    }
    return l;
}

void run(benchmark::State& state, bool inSpace) {
    const int count = static_cast<int>(state.range(0));
    Layout layout = row(count, inSpace);
    GazePicker picker;
    picker.settle = 0.06;
    const double span = (count - 1) * 35.0 / 2 + 10;
    double t = 0;
    int frame = 0;
    for (auto _ : state) {
        // A slow sweep across the whole desk, so switches, pending candidates and steady
        // frames all occur.
        double yaw = std::sin(frame * 0.01) * span;
        Angle gaze{yaw, 10 + std::sin(frame * 0.037) * 4};
        benchmark::DoNotOptimize(picker.update(gaze, layout, t, V3::seat));
        t += 1 / 15.0;
        ++frame;
    }
}

void BM_PickerUpdateRays(benchmark::State& state) {
    run(state, true);
}
void BM_PickerUpdateAngles(benchmark::State& state) {
    run(state, false);
}

} // namespace

BENCHMARK(BM_PickerUpdateRays)->Arg(2)->Arg(6)->Arg(12);
BENCHMARK(BM_PickerUpdateAngles)->Arg(2)->Arg(6)->Arg(12);
