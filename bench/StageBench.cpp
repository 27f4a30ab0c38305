// Cost of one paint of the desk in 3-D at 900 × 560, antialiased: the guide picture's three
// screens, and a desk of twelve.
#include "windows/stage/SampleDesk.h"
#include "windows/stage/Stage.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <string>

using namespace helm;

namespace {

QGuiApplication& app() {
    static int argc = 1;
    static char name[] = "stage_bench";
    static char* argv[] = {name, nullptr};
    // Never destroyed: the font cache it owns must outlive every static.
    static QGuiApplication* a = new QGuiApplication(argc, argv);
    return *a;
}

// The guide picture's laptop and two monitors, or screens in rows of four around the seat.
DeskModel desk(int count) {
    if (count == 3)
        return sampleDesk();
    std::vector<Screen> screens;
    for (int i = 0; i < count; ++i) {
        Screen s;
        s.id = "pc/" + std::to_string(i);
        s.number = i + 1;
        s.computer = i == 0 ? std::nullopt : std::optional<std::string>("work-pc");
        s.computerName = i == 0 ? "MacBook Air" : "WORK PC";
        s.yaw = (i % 4 - 1.5) * 40;
        s.pitch = (i / 4) * 25 - 10;
        s.width = 40;
        s.height = 23;
        screens.push_back(s);
    }
    return calibratedDesk(std::move(screens));
}

void paint(benchmark::State& state) {
    app();
    Stage stage;
    stage.update(desk(int(state.range(0))), std::nullopt);
    QImage img(900, 560, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&img);
        stage.paint(p, QSizeF(900, 560), stage.eye());
        p.end();
        benchmark::DoNotOptimize(img.constBits());
    }
}

} // namespace

BENCHMARK(paint)
    ->Arg(3)
    ->Arg(12)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
