// A frame of the landing panel on a real X server with a compositing manager: the effect's
// paint into the window's backing store and its flush to the server. Run under Xvfb at
// 1920 × 1080; xcompmgr is started here. An 8 ms glide tick leaves each frame 8 ms. With the
// server, the compositor and the frames each on cores of their own:
//   taskset -c 4 xvfb-run -a -s "-screen 0 1920x1080x24" env HELM_COMPOSITOR_CPUS=7
//       taskset -c 5,6 build/default/bench/landing_panel_bench
#include "DesktopBench.h"
#include "EveryLayerType.h"
#include "overlays/draw/JumpView.h"
#include "overlays/draw/JumpsLoad.h"
#include "overlays/panels/MacOverlays.h"
#include "platform/x11/X11DesktopWindows.h"
#include "platform/x11/X11DisplaySource.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTimer>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <optional>
#include <thread>
#include <vector>

using namespace helm;

namespace {

double ms(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

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
    auto* view = new JumpView(shown->drawer(), nullptr, [&t] { return t; });
    o.landing()->setContent(view);
    bench::Paints paints; // a tick whose frame equals the last paints nothing
    view->installEventFilter(&paints);
    QApplication::processEvents();
    // Frames as the view's own timer asks for them, one interval of the clock apart, each
    // repainting only where it differs from the last.
    const double step = view->interval() / 1000.0;
    const int count = static_cast<int>(std::ceil(recipe.dur / step)) + 1;
    auto play = [&](auto&& each) {
        for (int i = 0; i < count; ++i) {
            const auto start = std::chrono::steady_clock::now();
            t = std::min(i * step, recipe.dur);
            view->tick();
            QCoreApplication::sendPostedEvents(); // paint and flush, now
            const auto painted = std::chrono::steady_clock::now();
            QApplication::sync(); // the server has copied the frame
            const auto end = std::chrono::steady_clock::now();
            each(ms(end - start), ms(end - painted));
            // The rest of the interval belongs to the server and the compositor, as on screen.
            std::this_thread::sleep_until(start + std::chrono::duration<double>(step));
        }
    };
    // One untimed pass: the first frames make the window's backing store and shared-memory
    // image, once per panel, not per frame.
    play([](double, double) {});
    double worst = 0, total = 0, server = 0;
    long frames = 0;
    paints.n = 0;
    paints.pixels = 0;
    for (auto _ : state) {
        play([&](double frame, double copy) {
            worst = std::max(worst, frame);
            total += frame;
            server += copy;
            ++frames;
        });
        if (!o.landing()->isVisible()) {
            state.SkipWithError("the landing panel left the screen");
            return;
        }
    }
    state.counters["server_ms"] = server / static_cast<double>(frames);
    state.counters["frames"] = static_cast<double>(frames);
    state.counters["painted"] = static_cast<double>(paints.n);
    state.counters["mpx_per_frame"] = paints.pixels / 1e6 / static_cast<double>(frames);
    state.counters["worst_ms"] = worst;
    state.counters["mean_ms"] = total / static_cast<double>(frames);
}

} // namespace

int main(int argc, char** argv) {
    return bench::runComposited(argc, argv, [] {
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
    });
}
