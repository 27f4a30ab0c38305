// The settings window open on its Mouse jump tab, on a real X server: the gallery's looping
// previews of every built-in effect, at the screen's rate, each asking the desktop's
// reduce-motion setting for its frame; beside it the same window on its General tab. Reports
// the program's CPU time over 3 s as a share of one core (cpu_pct) and the previews' paints a
// second, and the megabytes of frames the previews keep (kept_mb). Run:
//   xvfb-run -a -s "-screen 0 1920x1080x24" build/default/bench/jump_tab_bench
#include "DesktopBench.h"
#include "desk/Defaults.h"
#include "desk/Prefs.h"
#include "overlays/draw/JumpPreview.h"
#include "overlays/draw/JumpsLoad.h"
#include "overlays/draw/LoopFrames.h"
#include "platform/x11/X11ReduceMotion.h"
#include "ui/DarkPalette.h"
#include "windows/SettingsModel.h"
#include "windows/SettingsView.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QVBoxLayout>

#include <optional>
#include <string>

using namespace helm;

namespace {

// settle: seconds shown before the measured ones.
void settingsTab(benchmark::State& state, const char* tab, double settle) {
    Defaults d;
    Prefs prefs(d);
    SettingsModel model(prefs);
    if (std::optional<Jumps::File> f = Jumps::load()) {
        model.jumps = f->recipes;
    }
    X11ReduceMotion motion;
    model.reduceMotion = [&motion] { return motion.reduced(); };
    model.setTab(tab);
    QWidget window;
    window.setPalette(darkPalette());
    window.setFixedSize(820, 560);
    auto* box = new QVBoxLayout(&window);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(new SettingsView(model, prefs, &window));
    window.show();
    bench::Paints paints;
    int previews = 0;
    // The preview has no meta-object of its own: findChildren cannot tell it from a widget.
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (dynamic_cast<JumpPreview*>(w) != nullptr) {
            w->installEventFilter(&paints);
            ++previews;
        }
    }
    if (settle > 0) {
        bench::cpuShare(settle);
    }
    bench::measureShare(state, paints);
    state.counters["previews"] = previews;
    state.counters["kept_mb"] = static_cast<double>(LoopFrames::held()) / (1 << 20);
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    QApplication app(argc, argv);
    // The General tab draws nothing once shown: the floor of the same window. The previews
    // keep each frame of their loop once drawn: "jump" is the page just opened, while the
    // first loops are drawn, and "jump/settled" the page after its longest loop (2 s) has
    // played once.
    const struct {
        const char* name;
        const char* tab;
        double settle;
    } runs[] = {{"jump", "jump", 0}, {"jump/settled", "jump", 2.5}, {"general", "general", 0}};
    for (const auto& run : runs) {
        benchmark::RegisterBenchmark(
            (std::string("SettingsTabCpu/") + run.name).c_str(),
            [run](benchmark::State& s) { settingsTab(s, run.tab, run.settle); })
            ->Iterations(1)
            ->UseManualTime()
            ->Unit(benchmark::kSecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
