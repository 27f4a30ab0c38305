#pragma once
// What the benchmarks on a real X server (xvfb-run) share: a compositing manager, and the
// share of one core the program spends while its event loop runs.
#include "platform/x11/X11DesktopWindows.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPaintEvent>
#include <QProcess>
#include <QThread>
#include <QTimer>

#include <cstdlib>
#include <ctime>

namespace helm::bench {

// Starts xcompmgr unless a compositing manager already runs, and waits for it (3 s at most).
// HELM_COMPOSITOR_CPUS keeps it off the cores the program is measured on.
inline void startCompositor(QProcess& compositor) {
    X11DesktopWindows probe;
    if (probe.compositing()) {
        return;
    }
    if (const char* cpus = std::getenv("HELM_COMPOSITOR_CPUS")) {
        compositor.start("taskset", {"-c", cpus, "xcompmgr"});
    } else {
        compositor.start("xcompmgr", {});
    }
    QElapsedTimer wait;
    wait.start();
    while (!probe.compositing() && wait.elapsed() < 3000) {
        QThread::msleep(10);
    }
}

inline double processSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Runs the event loop for that many seconds of wall time and gives the CPU time of every
// thread of the process over it, as a share of one core. Process time rather than wall time:
// other programs' work on a busy machine delays the frames but is not counted.
inline double cpuShare(double seconds) {
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    QElapsedTimer wall;
    const double cpu = processSeconds();
    wall.start();
    loop.exec();
    return (processSeconds() - cpu) / (static_cast<double>(wall.nsecsElapsed()) * 1e-9);
}

// Counts the paints of the widgets it watches, and the pixels they repaint, which the server
// copies and the compositor blends: a measure of the frames' cost that a busy machine does not
// blur.
struct Paints : QObject {
    long n = 0;
    double pixels = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            ++n;
            for (const QRect& r : static_cast<QPaintEvent*>(e)->region()) {
                pixels += static_cast<double>(r.width()) * r.height();
            }
        }
        return false;
    }
};

// One iteration of 3 s of the event loop, after half a second in which the first frames make
// the window's backing store and the server's image: the CPU share (cpu_pct), the paints a
// second and the pixels a paint.
inline void measureShare(benchmark::State& state, Paints& paints) {
    cpuShare(0.5);
    paints.n = 0;
    paints.pixels = 0;
    double share = 0;
    const double seconds = 3;
    for (auto _ : state) {
        share = cpuShare(seconds);
        state.SetIterationTime(seconds);
    }
    state.counters["cpu_pct"] = share * 100;
    state.counters["paints_per_s"] = static_cast<double>(paints.n) / seconds;
    state.counters["mpx_per_paint"] =
        paints.n > 0 ? paints.pixels / 1e6 / static_cast<double>(paints.n) : 0;
}

// A benchmark program's main on a real X server: the application, a compositing manager for
// the run, and the benchmarks that add registers once both are up.
template <class Register> int runComposited(int argc, char** argv, Register add) {
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    QApplication app(argc, argv);
    QProcess compositor;
    startCompositor(compositor);
    add();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    compositor.terminate();
    compositor.waitForFinished(2000);
    return 0;
}

} // namespace helm::bench
