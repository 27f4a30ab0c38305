// One repaint of the flat desk map at the desk window's size, with 3 and with 12 screens, the
// gaze on the desk and every screen of a different computer colour. It must stay far inside
// the 66 ms between gaze updates.
#include "windows/ScreenMap.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <string>

namespace {

QApplication& application() {
    static int argc = 1;
    static char name[] = "screen_map_bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static QApplication app(argc, argv);
    return app;
}

helm::Layout desk(int screens) {
    helm::Layout l;
    for (int i = 0; i < screens; ++i) {
        helm::Screen s;
        s.id = "s" + std::to_string(i);
        s.number = i + 1;
        s.name = "Display";
        s.computerName = "Computer " + std::to_string(i % 4);
        if (i % 4 != 0) {
            s.computer = "pc" + std::to_string(i % 4);
        }
        s.yaw = (i % 4) * 32 - 48;
        s.pitch = (i / 4) * 20 - 20;
        s.learned = i % 2 == 0;
        l.screens.push_back(s);
    }
    return l;
}

void BM_ScreenMapRepaint(benchmark::State& state) {
    application();
    helm::DeskModel model(desk(static_cast<int>(state.range(0))));
    model.angle = helm::Angle{5, -3};
    model.looking = "s0";
    helm::ScreenMap map(model, true);
    map.resize(558, 513);
    QImage image(558, 513, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::transparent);
        QPainter p(&image);
        map.render(&p, QPoint(), QRegion(), QWidget::DrawChildren);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_ScreenMapRepaint)
    ->Arg(3)
    ->Arg(12)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The same with the gaze off the desk and moving, so every repaint refits and redraws the grid.
void BM_ScreenMapRepaintRefit(benchmark::State& state) {
    application();
    helm::DeskModel model(desk(static_cast<int>(state.range(0))));
    helm::ScreenMap map(model, true);
    map.resize(558, 513);
    QImage image(558, 513, QImage::Format_ARGB32_Premultiplied);
    double yaw = 90;
    for (auto _ : state) {
        yaw = yaw > 120 ? 90 : yaw + 0.5;
        model.angle = helm::Angle{yaw, 0};
        image.fill(Qt::transparent);
        QPainter p(&image);
        map.render(&p, QPoint(), QRegion(), QWidget::DrawChildren);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_ScreenMapRepaintRefit)
    ->Arg(12)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace
