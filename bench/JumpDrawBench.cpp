// Frame times of the jump effect: every bundled recipe full-screen, all layer types stacked,
// and a settings preview tile. A 60 Hz effect has 16.7 ms a frame; the target is 4 ms.
#include "EveryLayerType.h"
#include "overlays/draw/JumpDrawer.h"
#include "overlays/draw/JumpPreview.h"
#include "overlays/draw/JumpsLoad.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <vector>

using namespace helm;

namespace {

// Time this thread spent on the processor, in milliseconds: unlike the wall clock it does not
// count the time other processes on a busy machine took, which would pass for slow frames.
double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

void needApplication() {
    static QGuiApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "jump_draw_bench";
        static char* argv[] = {name, nullptr};
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
}

// Sixty frames over the effect's duration, each a full clear and a draw; reports the worst and
// the mean frame in milliseconds, by the wall clock and by the processor time the frame took, and
// the worst of the frames' best times over the iterations.
void playFullScreen(benchmark::State& state, const JumpRecipe& recipe) {
    needApplication();
    QImage screen(1920, 1080, QImage::Format_ARGB32_Premultiplied);
    JumpDrawer d{recipe.colored("#30D158"),
                 QPointF(1200, 600),
                 QRectF(0, 0, 1920, 1080),
                 "L",
                 2,
                 "WORK PC",
                 1,
                 false};
    // One untimed pass first: the first frame a process draws pays once for setting up Qt's
    // raster engine and touching the image (over 20 ms), which is not the effect's cost.
    for (int i = 0; i < 60; ++i) {
        screen.fill(Qt::transparent);
        QPainter g(&screen);
        d.draw(g, i / 60.0);
    }
    double worst = 0, total = 0, worstCpu = 0, totalCpu = 0;
    long frames = 0;
    // Each frame's best time over the iterations: what the frame itself costs, once the moments
    // when other processes held the processor are filtered out.
    std::vector<double> best(60, 1e9);
    for (auto _ : state) {
        for (int i = 0; i < 60; ++i) {
            auto start = std::chrono::steady_clock::now();
            double cpuStart = cpuMs();
            screen.fill(Qt::transparent);
            {
                QPainter g(&screen);
                d.draw(g, i / 60.0);
            }
            benchmark::DoNotOptimize(screen.constBits());
            double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count();
            double cpu = cpuMs() - cpuStart;
            best[static_cast<std::size_t>(i)] = std::min(best[static_cast<std::size_t>(i)], ms);
            worst = std::max(worst, ms);
            total += ms;
            worstCpu = std::max(worstCpu, cpu);
            totalCpu += cpu;
            ++frames;
        }
    }
    state.counters["worst_ms"] = worst;
    state.counters["mean_ms"] = total / static_cast<double>(frames);
    state.counters["worst_cpu_ms"] = worstCpu;
    state.counters["worst_best_ms"] = *std::max_element(best.begin(), best.end());
    state.counters["mean_cpu_ms"] = totalCpu / static_cast<double>(frames);
}

JumpRecipe everyType() {
    return bench::everyLayerType();
}

void previewFrame(benchmark::State& state) {
    needApplication();
    std::optional<Jumps::File> f = Jumps::load();
    JumpRecipe glide = Jumps::choose(f, "glide").value_or(JumpRecipe{});
    QImage tile(320, 180, QImage::Format_ARGB32_Premultiplied);
    double t = 0;
    for (auto _ : state) {
        tile.fill(Qt::transparent);
        QPainter g(&tile);
        JumpPreview::paint(g, 320, glide, "#30D158", t, false);
        g.end();
        benchmark::DoNotOptimize(tile.constBits());
        t = t > 1.5 ? 0 : t + 1.0 / 60;
    }
}

} // namespace

// Registered here, once the application exists and the resources are in place.
int main(int argc, char** argv) {
    needApplication();
    if (std::optional<Jumps::File> f = Jumps::load()) {
        for (const JumpRecipe& r : f->recipes) {
            benchmark::RegisterBenchmark(("JumpFrame1080p/" + r.id).c_str(),
                                         [r](benchmark::State& s) { playFullScreen(s, r); })
                ->Iterations(10)
                ->Unit(benchmark::kMillisecond);
        }
    }
    benchmark::RegisterBenchmark("JumpFrame1080p/all-15-types",
                                 [](benchmark::State& s) { playFullScreen(s, everyType()); })
        ->Iterations(10)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("PreviewFrame320x180", previewFrame)
        ->Unit(benchmark::kMicrosecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
