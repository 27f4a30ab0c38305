// The calibration target's panel over a whole screen of a real X server with a compositing
// manager, as it runs while the user holds a look: the dot drifting and its spinner turning at
// the screen's rate, and the hold ring taking a new value with each gaze frame (15 a second).
// Reports the program's CPU time over 3 s as a share of one core (cpu_pct; the server's and
// the compositor's own work are not counted), the paints and the pixels they cover; "none" is
// the same process with no panel up, the floor of the others, and "dark" the panel dimming the
// whole screen with nothing moving on it. The screen is the server's; run
// it at both sizes:
//   xvfb-run -a -s "-screen 0 1920x1080x24" build/default/bench/target_panel_bench
//   xvfb-run -a -s "-screen 0 3840x2160x24" build/default/bench/target_panel_bench
#include "DesktopBench.h"
#include "overlays/draw/TargetView.h"
#include "overlays/panels/MacOverlays.h"
#include "overlays/panels/OverlayPanel.h"
#include "platform/x11/X11DesktopWindows.h"
#include "platform/x11/X11DisplaySource.h"
#include "platform/x11/X11ReduceMotion.h"

#include <benchmark/benchmark.h>

#include <QTimer>

#include <cmath>
#include <optional>
#include <string>

using namespace helm;

namespace {

// mode absent: no panel at all, only the gaze frames and the event loop, the floor the
// panels are measured from.
void targetPanel(benchmark::State& state, std::optional<TargetMode> mode) {
    X11DisplaySource list;
    X11DesktopWindows windows;
    X11ReduceMotion motion;
    MacOverlays o;
    o.displays = &list;
    o.windows = &windows;
    o.reduceMotion = [&motion] { return motion.reduced(); };
    bench::Paints paints;
    if (mode) {
        o.show(0, 2, "DELL U2723QE", *mode);
        if (o.panels().empty() || !o.panels().begin()->second->isVisible()) {
            state.SkipWithError("no target panel: no display");
            return;
        }
        o.panels().begin()->second->content()->installEventFilter(&paints);
    }
    // The gaze frames: the ring fills in about 1.2 s, then the next look starts it again.
    QTimer gaze;
    QObject::connect(&gaze, &QTimer::timeout, [&o] {
        const double next = o.progress.value() + 0.055;
        o.progress.setValue(next > 1.05 ? 0 : std::min(next, 1.0));
    });
    gaze.start(66);
    bench::measureShare(state, paints);
    o.hideAll();
}

} // namespace

int main(int argc, char** argv) {
    return bench::runComposited(argc, argv, [] {
        X11DisplaySource list;
        const std::vector<DisplayInfo> displays = list.displays();
        const std::string size = displays.empty() ? "none"
                                                  : std::to_string(int(displays.front().w)) + "x" +
                                                        std::to_string(int(displays.front().h));
        const std::pair<const char*, std::optional<TargetMode>> modes[] = {
            {"none", std::nullopt},
            {"dark", TargetMode::dark()},
            {"corner", TargetMode::at(CalCorner::tl)},
            {"camera", TargetMode::camera()},
        };
        for (const auto& [name, mode] : modes) {
            benchmark::RegisterBenchmark(
                ("TargetPanelCpu/" + std::string(name) + "/" + size).c_str(),
                [mode = mode](benchmark::State& s) { targetPanel(s, mode); })
                ->Iterations(1)
                ->UseManualTime()
                ->Unit(benchmark::kSecond);
        }
    });
}
