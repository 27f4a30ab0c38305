// A frame of the landing panel on a real X server with a compositing manager: the effect's
// paint into the window's backing store and its flush to the server. Run under Xvfb at
// 1920 × 1080; xcompmgr is started here. An 8 ms glide tick leaves each frame 8 ms.
#include "EveryLayerType.h"
#include "overlays/draw/JumpView.h"
#include "overlays/draw/JumpsLoad.h"
#include "overlays/panels/MacOverlays.h"
#include "platform/x11/X11DesktopWindows.h"
#include "platform/x11/X11DisplaySource.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

using namespace helm;

namespace {

JumpRecipe heaviest() {
    return bench::everyLayerType().colored("#30D158");
}

void landingFrame(benchmark::State& state, const JumpRecipe& recipe) {
    X11DisplaySource list;
    X11DesktopWindows windows;
    MacOverlays o;
    o.displays = &list;
    o.windows = &windows;
    o.arrival({1200, 600}, recipe, "L", 2, "WORK PC");
    if (o.landing() == nullptr) {
        state.SkipWithError("no landing panel: no compositing manager or no display");
        return;
    }
    // Kept on screen for the whole measurement, past the effect's own order-out.
    const_cast<QTimer*>(o.landingHide())->stop();
    // The view's clock is pinned to the frame being measured.
    double t = 0;
    const auto* shown = dynamic_cast<JumpView*>(o.landing()->content());
    o.landing()->setContent(new JumpView(shown->drawer(), nullptr, [&t] { return t; }));
    QApplication::processEvents();
    // One untimed pass: the first frames make the window's backing store and shared-memory
    // image, once per panel, not per frame.
    for (int i = 0; i < 60; ++i) {
        t = recipe.dur * i / 60.0;
        o.landing()->content()->repaint();
    }
    QApplication::sync();
    double worst = 0, total = 0;
    long frames = 0;
    for (auto _ : state) {
        for (int i = 0; i < 60; ++i) {
            t = recipe.dur * i / 60.0;
            const auto start = std::chrono::steady_clock::now();
            o.landing()->content()->repaint(); // paint and flush, synchronously
            if (!o.landing()->isVisible()) {
                state.SkipWithError("the landing panel left the screen");
                return;
            }
            QApplication::sync();
            const double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count();
            worst = std::max(worst, ms);
            total += ms;
            ++frames;
        }
    }
    state.counters["worst_ms"] = worst;
    state.counters["mean_ms"] = total / static_cast<double>(frames);
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    QApplication app(argc, argv);
    X11DesktopWindows probe;
    QProcess compositor;
    if (!probe.compositing()) {
        compositor.start("xcompmgr", {});
        QElapsedTimer wait;
        wait.start();
        while (!probe.compositing() && wait.elapsed() < 3000) {
            QThread::msleep(10);
        }
    }
    // Every recipe of the built-in file, then all layer types at once.
    std::vector<JumpRecipe> recipes;
    if (std::optional<Jumps::File> file = Jumps::load()) {
        for (const JumpRecipe& r : file->recipes) {
            recipes.push_back(r.colored("#30D158"));
        }
    }
    recipes.push_back(heaviest());
    for (const JumpRecipe& r : recipes) {
        benchmark::RegisterBenchmark(("LandingPanelFrame1080p/" + r.id).c_str(),
                                     [r](benchmark::State& state) { landingFrame(state, r); })
            ->Iterations(5)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    compositor.terminate();
    compositor.waitForFinished(2000);
    return 0;
}
