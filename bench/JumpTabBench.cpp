// The settings window open on its Mouse jump tab, on a real X server: the gallery's looping
// previews of every built-in effect, at the screen's rate, each asking the desktop's
// reduce-motion setting for its frame; beside it the same window on its General tab. Reports
// the program's CPU time over 3 s as a share of one core (cpu_pct) and the previews' paints a
// second. Run:
//   xvfb-run -a -s "-screen 0 1920x1080x24" build/default/bench/jump_tab_bench
#include "DesktopBench.h"
#include "desk/Defaults.h"
#include "desk/Prefs.h"
#include "overlays/draw/JumpPreview.h"
#include "overlays/draw/JumpsLoad.h"
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

void settingsTab(benchmark::State& state, const char* tab) {
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
    bench::measureShare(state, paints);
    state.counters["previews"] = previews;
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    QApplication app(argc, argv);
    // The General tab draws nothing once shown: the floor of the same window.
    for (const char* tab : {"jump", "general"}) {
        benchmark::RegisterBenchmark((std::string("SettingsTabCpu/") + tab).c_str(),
                                     [tab](benchmark::State& s) { settingsTab(s, tab); })
            ->Iterations(1)
            ->UseManualTime()
            ->Unit(benchmark::kSecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
